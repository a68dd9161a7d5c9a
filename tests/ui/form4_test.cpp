// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form4.h"

#include <QAction>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "windowtest.h"

namespace tessaro::ui {
namespace {

using DecisionWindow = WindowTest;

Form4* openForm4() {
    return qobject_cast<Form4*>(GameWindows::instance().openForm("Form4"));
}

void typeAndRun(Form4* form, const char* production, const char* hiring, const char* password) {
    form->box(model::Box::Production)->setText(production);
    form->box(model::Box::Hiring)->setText(hiring);
    form->box(model::Box::Password)->setText(password);
    form->findChild<QPushButton*>("Command1")->click();
    QApplication::processEvents();
}

TEST_F(DecisionWindow, setUpShowsTheQuarterBeingDecidedAndEmptyBoxes) {
    testing::sql(cs, "DELETE FROM PLIO WHERE PNPLPD > 0; DELETE FROM PLED; DELETE FROM PLDI");
    start();
    Form4* form = openForm4();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "New Plan Decisions");
    EXPECT_EQ(textOf(form, "Label2"), "2");
    EXPECT_EQ(textOf(form, "Label1"), "Game Players' Decisions For The Plan-Quarter :    ");
    EXPECT_EQ(textOf(form, "Label9"), "Beginning of Plan-Quarter");
    EXPECT_EQ(textOf(form, "Label3"), "Production Orders Planned : ");
    EXPECT_EQ(textOf(form, "Label4"), "Trainees' Hiring Planned     : ");
    EXPECT_EQ(textOf(form, "Label11"), "Password");
    EXPECT_EQ(textOf(form, "Label6") + textOf(form, "Label7") + textOf(form, "Label8") +
                  textOf(form, "Label10"),
              "");
    EXPECT_EQ(find<QPushButton>(form, "Command1")->text(), "System Dynamics Run");
    EXPECT_EQ(find<QGroupBox>(form, "Frame1")->title(), "New Decision and SD Run");
    EXPECT_EQ(
        textOf(form, "Label5"),
        "\r\nThe Game players need to make two decisions after each plan-quarter of three months "
        "duration.\r\n\r\nThese are :\r\n\r\n1. Production Orders Planned (in Units)\r\n\r\n"
        "   Range : 2000 - 5,000\r\n\r\n2. Trainees' Hiring Planned (in Nos.)\r\n\r\n   Range : 5 "
        "- 25");
    QLineEdit* password = form->box(model::Box::Password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    password->setText("wota");
    EXPECT_EQ(password->displayText(), "****");

    // Typed text does not survive closing and opening the window again.
    form->box(model::Box::Production)->setText("4000");
    form->subWindow()->close();
    QApplication::processEvents();
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(testing::press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    Form4* again = openForm4();
    EXPECT_EQ(again->box(model::Box::Production)->text(), "");
    EXPECT_EQ(again->box(model::Box::Password)->text(), "");
    EXPECT_EQ(textOf(again, "Label2"), "8");
}

TEST_F(DecisionWindow, aRunFromTheWindowRebuildsTheBoardOfTheNextQuarter) {
    MDIForm1* first = start();
    Form4* form = openForm4();
    typeAndRun(form, "3000", "10", "wota");
    EXPECT_EQ(texts(), (std::vector<std::string>{"The decisions are entered successfully.....",
                                                 "SD Simulation Run is now over !!!"}));
    EXPECT_EQ(messages[1].title, "");  // shown under the program's title
    MDIForm1* rebuilt = GameWindows::instance().mainWindow();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt, first);
    EXPECT_EQ(textOf(rebuilt, "Label69"), "3");
    EXPECT_TRUE(rebuilt->picture1()->isVisible());
    EXPECT_TRUE(rebuilt->mdiArea()->subWindowList().isEmpty());
}

TEST_F(DecisionWindow, threeQuartersPlayedInTheWindowEqualTheSameQuartersPlayedByCommand) {
    testing::TempDir other;
    const auto byCommand = testing::newGame(other);
    start();
    const char* decisions[][2] = {{"3500", "15"}, {"2000", "5"}, {"5000", "25"}};
    for (const auto& d : decisions) {
        typeAndRun(openForm4(), d[0], d[1], "WOTA");
        testing::press(byCommand, d[0], d[1], "WOTA");
    }
    EXPECT_EQ(testing::dump(cs), testing::dump(byCommand));
    EXPECT_EQ(textOf(GameWindows::instance().mainWindow(), "Label69"), "5");
}

TEST_F(DecisionWindow, refusedInputKeepsTheWindowOpenWithTheFocusOnTheBoxToCorrect) {
    start();
    Form4* form = openForm4();
    form->subWindow()->activateWindow();
    typeAndRun(form, "3000", "10", "nope");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              (model::MessageBox{"Login Failed :: For SD Run :: Invalid Password........",
                                 "Invalid Password", model::Icon::None}));
    EXPECT_EQ(form->box(model::Box::Production)->text(), "3000");
    EXPECT_EQ(QApplication::focusWidget(), form->box(model::Box::Password));

    messages.clear();
    typeAndRun(form, "3000", "26", "WOTA");
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "Invalid Input............ Or Field should not be Left Blank"});
    EXPECT_EQ(messages[0].title, "Invalid Planned Data");
    EXPECT_EQ(messages[0].icon, model::Icon::Critical);
    EXPECT_EQ(QApplication::focusWidget(), form->box(model::Box::Hiring));

    messages.clear();
    typeAndRun(form, "", "", "nope");
    EXPECT_EQ(texts(), std::vector<std::string>{"Enter Appropriate parameters...."});
    EXPECT_EQ(messages[0].title, "");
    EXPECT_EQ(GameWindows::instance().mainWindow()->mdiArea()->subWindowList().size(), 1);
}

TEST_F(DecisionWindow, refusedDecisionsWithTheReinitialisationPasswordReinitialise) {
    testing::press(cs, "3000", "10", "WOTA");
    start();
    typeAndRun(openForm4(), "3000", "4", "pelix");
    // A game of more than one quarter is archived first, and the box after
    // the game's own names the copy.
    ASSERT_EQ(texts().size(), 3u);
    EXPECT_EQ(texts()[0], "Invalid Input............ Or Field should not be Left Blank");
    EXPECT_EQ(texts()[1], "SD Reinitialization is now over !!!");
    EXPECT_NE(texts()[2].find(dir.file("TESSARO_DB-")), std::string::npos) << texts()[2];
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
    EXPECT_EQ(textOf(GameWindows::instance().mainWindow(), "Label69"), "2");
}

TEST_F(DecisionWindow, emptyPlanTableLeavesTheDesignTexts) {
    start();
    testing::sql(cs, "DELETE FROM PLIO");
    Form4* form = openForm4();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (model::MessageBox{"No Data to Show Plan Number!!!", "Plan Number",
                                              model::Icon::Critical}));
    EXPECT_EQ(form->windowTitle(), "New Plan Decisions");
    EXPECT_EQ(textOf(form, "Label1"), "Game Players' Decisions For The Plan-Quarter :    ");
    EXPECT_EQ(textOf(form, "Label2"), "Label2");
    EXPECT_EQ(form->box(model::Box::Password)->text(), "Text1");
    EXPECT_EQ(find<QPushButton>(form, "Command1")->text(), "Command1");
}

TEST_F(DecisionWindow, opensWithTheFocusInTheProductionBoxSoTheFirstKeysLandThere) {
    MDIForm1* main = start();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    find<QAction>(main, "menu_new_plan_decision")->trigger();
    QApplication::processEvents();
    auto* form = qobject_cast<Form4*>(GameWindows::instance().openWindow("Form4"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), form->box(model::Box::Production));
    QTest::keyClicks(QApplication::focusWidget(), "3500");
    EXPECT_EQ(form->box(model::Box::Production)->text(), "3500");
}

TEST_F(DecisionWindow, returnInThePasswordBoxRunsAsTheButtonDoes) {
    start();
    Form4* form = openForm4();
    form->box(model::Box::Production)->setText("3000");
    form->box(model::Box::Hiring)->setText("10");
    form->box(model::Box::Password)->setText("WOTA");
    QTest::keyClick(form->box(model::Box::Password), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(texts(), (std::vector<std::string>{"The decisions are entered successfully.....",
                                                 "SD Simulation Run is now over !!!"}));
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
    // Return elsewhere runs nothing.
    Form4* again = openForm4();
    again->box(model::Box::Production)->setText("3000");
    QTest::keyClick(again->box(model::Box::Production), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
}

TEST_F(DecisionWindow, theRunButtonIsAFlatOrangeFaceWithItsCaption) {
    start();
    Form4* form = openForm4();
    auto* run = find<QPushButton>(form, "Command1");
    const QImage face = run->grab().toImage();
    const QColor orange(255, 128, 0);
    // Inside the rim, top and bottom alike: no gradient.
    const int w = face.width(), h = face.height();
    for (const QPoint p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3),
                           QPoint(w / 2, 2), QPoint(w / 2, h - 3)})
        EXPECT_EQ(face.pixelColor(p), orange) << p.x() << "," << p.y();
    int text = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) text += face.pixelColor(x, y) == QColor(0, 0, 0);
    EXPECT_GT(text, 20);  // the caption is drawn
}

}  // namespace
}  // namespace tessaro::ui
