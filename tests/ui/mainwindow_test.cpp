// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>

#include "store/connection.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

using MainWindow = WindowTest;

const QColor kRed(255, 0, 0);

QColor foreground(QLabel* l) {
    return l->palette().color(QPalette::WindowText);
}

TEST_F(MainWindow, boardOfANewGameShowsQuarterTwoAndTheInitialBeforePlanRow) {
    MDIForm1* w = start();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w->windowTitle(), "Tessaro V 1.1");
    EXPECT_EQ(textOf(w, "Label69"), "2");
    EXPECT_EQ(textOf(w, "Label1"), "Tessaro");
    EXPECT_EQ(textOf(w, "Label67"), "   T H E  G A M E  B O A R D");
    // The brief shows the stored numbers as their plain text.
    EXPECT_EQ(textOf(w, "Label41").toStdString(),
              testing::scalarText(cs, "SELECT CAST(ZTE AS INTEGER) FROM PLDI"));
    EXPECT_EQ(textOf(w, "Label28").toStdString(),
              testing::scalarText(cs, "SELECT CAST(ZHR AS INTEGER) FROM PLDI"));
    const char* before[] = {"Label6",  "Label9",  "Label12", "Label15", "Label18",
                            "Label21", "Label45", "Label48", "Label51", "Label54"};
    const char* fixed[] = {"100", "10", "1.0", "1.0", "1000", "1000", "10", "3000", "0", "0"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(textOf(w, before[i]), fixed[i]) << before[i];
    EXPECT_EQ(textOf(w, "Label46"), "0");  // no hiring decision stored yet
    EXPECT_EQ(textOf(w, "Label66"), "2000");
    EXPECT_EQ(find<QLabel>(w, "Label5")->toolTip(), "Experienced People");
    EXPECT_EQ(find<QLabel>(w, "Label50")->toolTip(), "Plan Game Value");

    MSChart* chart = w->chart();
    EXPECT_EQ(chart->rowCount(), 10);
    EXPECT_EQ(chart->columnCount(), 2);
    EXPECT_EQ(chart->columnLabel(1), "Before Plan");
    EXPECT_EQ(chart->columnLabel(2), "After Plan");
    EXPECT_EQ(chart->rowLabel(1), "Exp.People");
    EXPECT_EQ(chart->rowLabel(10), "Average Game Value");
    EXPECT_EQ(chart->dataText(7, 1), "100");
    EXPECT_EQ(chart->dataText(8, 1), "100");
    EXPECT_EQ(chart->dataText(9, 1), "0");
    EXPECT_EQ(chart->dataText(8, 2), "0");
    EXPECT_TRUE(chart->legendVisible());
}

TEST_F(MainWindow, storedValuesShowUnroundedAndNegativeGameValuesTurnRed) {
    testing::press(cs, "3000", "10", "WOTA");
    testing::press(cs, "3000", "10", "WOTA");
    testing::sql(cs,
                 "UPDATE PLIO SET PT=94.53125 WHERE PNPLPD=3;"
                 "UPDATE PLDI SET ZVG=-350, ZCVG=0 WHERE ZNPLPD=3");
    MDIForm1* w = start();
    EXPECT_EQ(textOf(w, "Label69"), "4");
    EXPECT_EQ(textOf(w, "Label7"), "94.53125");
    EXPECT_EQ(w->chart()->dataText(1, 2), "94.53125");
    EXPECT_EQ(textOf(w, "Label52"), "-350");
    EXPECT_EQ(foreground(find<QLabel>(w, "Label52")), kRed);
    EXPECT_EQ(foreground(find<QLabel>(w, "Label55")), QColor(0, 255, 255));  // 0 stays cyan
    EXPECT_EQ(w->chart()->dataText(9, 2), "-17.5");
    // Decisions of the quarter before, as stored.
    EXPECT_EQ(textOf(w, "Label45"), "10");
    EXPECT_EQ(textOf(w, "Label48"), "3000");
}

TEST_F(MainWindow, emptyAccountingStopsTheLoadWithItsMessage) {
    testing::sql(cs, "DELETE FROM PLDI");
    MDIForm1* w = start();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (model::MessageBox{"No Data to Show Plan Number!!!", "Plan Number",
                                              model::Icon::Critical}));
    EXPECT_EQ(w->windowTitle(), "Tessaro V 1.1");
    EXPECT_EQ(textOf(w, "Label69"), "");
    EXPECT_EQ(textOf(w, "Label7"), "");
    EXPECT_NE(w->chart()->columnLabel(1), "Before Plan");  // the chart keeps its design content
}

TEST_F(MainWindow, aBrokenDatabaseIsNamedInOneMessage) {
    testing::sql(cs, "DROP TABLE PLED");
    start();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Game Database");
    EXPECT_NE(messages[0].text.find("PLED"), std::string::npos);
}

TEST_F(MainWindow, menuItemsSetTheirSelectorAndHideTheBoard) {
    MDIForm1* w = start();
    MDIForm1::p = 0;
    MDIForm1::p2 = 0;
    MDIForm1::p3 = 0;
    find<QAction>(w, "menu_agval_past")->trigger();
    EXPECT_EQ(MDIForm1::p3, 2);
    EXPECT_EQ(MDIForm1::p, 0);
    EXPECT_EQ(MDIForm1::p2, 0);
    find<QAction>(w, "menu_oblog_dur")->trigger();
    EXPECT_EQ(MDIForm1::p, 6);
    find<QAction>(w, "menu_prdec_past")->trigger();
    EXPECT_EQ(MDIForm1::p2, 8);
    EXPECT_EQ(MDIForm1::p3, 2);
    w->mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    find<QAction>(w, "menu_new_plan_decision")->trigger();
    EXPECT_FALSE(w->picture1()->isVisible());
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(w->mdiArea()->subWindowList().front()->widget()->objectName(), "Form4");
    // Closing the child window brings the board back.
    w->mdiArea()->subWindowList().front()->close();
    QApplication::processEvents();
    EXPECT_TRUE(w->picture1()->isVisible());
}

TEST_F(MainWindow, aChildWindowThatLosesTheFocusToAnotherInSightKeepsTheBoardAway) {
    MDIForm1* w = start();
    find<QAction>(w, "menu_new_plan_decision")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w->picture1()->isVisible());
    // The menu hides the board and shows the plan report; the decision
    // window, no longer the active one, leaves the board hidden, which
    // would cover the report.
    find<QAction>(w, "menu_this_plan")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 2);
    EXPECT_FALSE(w->picture1()->isVisible());
    EXPECT_EQ(w->mdiArea()->activeSubWindow()->widget()->objectName(), "Form7");
}

TEST_F(MainWindow, menuTreeHasEveryEntryWithItsCaption) {
    MDIForm1* w = start();
    const std::vector<std::pair<const char*, const char*>> entries = {
        {"menu_new_plan_decision", "Enter New Decision and Run System Dynamics Model"},
        {"menu_expop_dur", "Experienced People"},
        {"menu_oblog_dur", "Order Backlog"},
        {"menu_hrdec_past", "Hiring Decision"},
        {"menu_pgval_past", "Plan Game Value"},
        {"menu_agval_past", "Average Game Value"},
        {"menu_this_plan", "This Plan Report"},
        {"menu_performance_sheet", "Performance Sheet"},
        {"menu_exit_game", "Exit Game"},
        {"menu_Minimize", "Minimize"}};
    // The captions as stored, with the mnemonic marks taken out.
    const auto shown = [](QString text) { return text.remove(u'&'); };
    for (const auto& [name, caption] : entries) {
        auto* a = w->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(shown(a->text()), caption);
    }
    EXPECT_EQ(shown(w->findChild<QMenu*>("menuplan")->title()), "Decision and Run");
    EXPECT_EQ(shown(w->findChild<QMenu*>("menuduringplanplotmenu")->title()), "During Plan Plot");
    EXPECT_EQ(shown(w->findChild<QMenu*>("menupastplanplot")->title()), "Past Plan Plot");
    EXPECT_EQ(shown(w->findChild<QMenu*>("menu_plan_reports")->title()), "Plan Reports");
    EXPECT_EQ(w->findChildren<QAction*>(QRegularExpression("^menu_.*_dur$")).size(), 6);
    EXPECT_EQ(w->findChildren<QAction*>(QRegularExpression("^menu_.*_past$")).size(), 10);
}

TEST_F(MainWindow, saveAsWritesTheBoardsChartAsABitmap) {
    MDIForm1* w = start();
    const QString target = QString::fromStdString(dir.file("board"));
    CommonDialog::setAnswerHook(
        [&](const CommonDialog&) { return std::optional<QString>(target); });
    find<QPushButton>(w, "Command8")->click();
    CommonDialog::setAnswerHook({});
    EXPECT_TRUE(messages.empty());
    QImage saved(target + ".bmp");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), w->chart()->size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              w->chart()->picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindow, exitGameEndsAtOnceEvenWithAChildWindowOpen) {
    MDIForm1* w = start();
    find<QAction>(w, "menu_new_plan_decision")->trigger();
    find<QAction>(w, "menu_exit_game")->trigger();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tessaro::ui
