// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The three plot windows opened as a player opens them, from the main
// window's menu, on real game databases; what they draw is read back from
// their chart and compared with the tables read by plain SQL.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "model/reports.h"
#include "model/runcommand.h"
#include "testgame.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "ui/windows/form1.h"
#include "ui/windows/form2.h"
#include "ui/windows/form3.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

// Readable failures: QString as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro::ui {
namespace {

using model::Icon;
using model::MessageBox;

const MessageBox kNoPlanNumber{"No Data to Show Plan Number!!!", "Plan Number", Icon::Critical};
const MessageBox kNoChartData{"No Data to Show on Chart!!!", "Plot For Tessaro", Icon::Critical};
const QString kDuringTitle = " Plot For All Weeks of Game Play In Plan : [Plan No - %1] ";
const QString kHistoryTitle = " Historical Plot For All Past Plan Quarters of Game Play ";

// A menu item, the column it plots and the Y title it gives.
struct Choice {
    const char* menuItem;
    int selector;
    const char* column;
    const char* yTitle;
};

const std::vector<Choice> kDuringChoices = {
    {"menu_expop_dur", 1, "ET", "EXPERIENCED PEOPLE"},
    {"menu_trpop_dur", 2, "ETT", "TRAINEE PEOPLE"},
    {"menu_pqlty_dur", 3, "EOQ", "PRODUCT QUALITY"},
    {"menu_ccmpl_dur", 4, "EOC", "CUSTOMER COMPLAINTS"},
    {"menu_prinv_dur", 5, "EINV", "PRODUCT INVENTORY"},
    {"menu_oblog_dur", 6, "EOBL", "ORDER BACKLOG"},
};
const std::vector<Choice> kPastChoices = {
    {"menu_expop_past", 1, "pt", "EXPERIENCED PEOPLE"},
    {"menu_trpop_past", 2, "ptt", "TRAINEE PEOPLE"},
    {"menu_pqlty_past", 3, "poq", "PRODUCT QUALITY"},
    {"menu_ccmpl_past", 4, "poc", "CUSTOMER COMPLAINTS"},
    {"menu_prinv_past", 5, "pinv", "INVENTORY POSITION"},
    {"menu_oblog_past", 6, "pobl", "ORDER BACKLOG"},
    {"menu_hrdec_past", 7, "PHRD", "HIRING DECISION"},
    {"menu_prdec_past", 8, "PORD", "PRODUCTION DECISION"},
};
const std::vector<Choice> kValueChoices = {
    {"menu_pgval_past", 1, "ZVG", "PLAN GAME VALUE"},
    {"menu_agval_past", 2, "ZCVG", "AVERAGE GAME VALUE"},
};

void deletePending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class PlotWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerGameForms(); }

    void SetUp() override {
        setScreenOverride(ScreenSpec{800, 600, 96, 96});
        setMessageRecorder([this](const MessageBox& box) { messages.push_back(box); });
        cs = testing::newGame(dir);
    }

    void TearDown() override {
        GameWindows::instance().stop();
        deletePending();
        CommonDialog::setAnswerHook({});
        setMessageRecorder({});
        setScreenOverride(std::nullopt);
    }

    void runs(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(testing::press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    }

    // The main window on the game, with no message left from its load.
    MDIForm1* start() {
        GameWindows::instance().start(cs);
        messages.clear();
        return GameWindows::instance().mainWindow();
    }

    // Chooses a menu item of the main window; returns the plot window it opened.
    PlotForm* choose(const char* menuItem) {
        MDIForm1* main = GameWindows::instance().mainWindow();
        if (!main) return nullptr;
        auto* action = main->findChild<QAction*>(menuItem);
        if (!action) {
            ADD_FAILURE() << "no menu item " << menuItem;
            return nullptr;
        }
        const QList<PlotForm*> before = main->findChildren<PlotForm*>();
        action->trigger();
        for (PlotForm* form : main->findChildren<PlotForm*>())
            if (!before.contains(form)) return form;
        return nullptr;
    }

    // The column of every row of a table in the table's order, as SQL gives
    // it ("<null>" for an empty value).
    std::vector<std::string> column(const std::string& table, const std::string& name,
                                    const std::string& order) const {
        std::vector<std::string> out;
        const auto rows = testing::count(cs, table);
        for (long long i = 0; i < rows; ++i)
            out.push_back(testing::scalarText(cs, "SELECT " + name + " FROM " + table +
                                                      " ORDER BY " + order + " LIMIT 1 OFFSET " +
                                                      std::to_string(i)));
        return out;
    }

    testing::TempDir dir;
    std::string cs;
    std::vector<MessageBox> messages;
};

// Row labels " 1" ... " n".
void expectPointLabels(const MSChart& chart, int n) {
    ASSERT_EQ(chart.rowCount(), n);
    for (int row = 1; row <= n; ++row)
        EXPECT_EQ(chart.rowLabel(row), " " + QString::number(row)) << row;
}

// The chart's points against the values SQL read, an empty one being 0.
void expectPoints(const MSChart& chart, const std::vector<std::string>& stored) {
    ASSERT_EQ(chart.rowCount(), static_cast<int>(stored.size()));
    ASSERT_EQ(chart.columnCount(), 1);
    for (int row = 1; row <= chart.rowCount(); ++row) {
        const std::string& s = stored[static_cast<std::size_t>(row - 1)];
        const double expected = s == "<null>" ? 0.0 : std::stod(s);
        const auto drawn = chart.value(row, 1);
        ASSERT_TRUE(drawn.has_value())
            << "row " << row << " text " << chart.dataText(row, 1).toStdString();
        EXPECT_NEAR(*drawn, expected, 1e-9 * std::max(1.0, std::abs(expected))) << "row " << row;
    }
}

// The layout every plot shares.
void expectSharedLayout(const PlotForm& form) {
    const MSChart& c = *form.chart();
    EXPECT_EQ(c.chartType(), ChartType::Line2d);
    EXPECT_FALSE(c.autoMarkers());
    EXPECT_EQ(c.pointMarkerStyle(1), MarkerStyle::FilledCircle);
    EXPECT_TRUE(c.pointMarkerVisible(1));
    EXPECT_EQ(c.pointFill(1), QColor(0, 255, 0));
    EXPECT_EQ(c.columnCount(), 1);
    EXPECT_EQ(c.columnLabel(1), "red");
    const QFont title = c.titleFont();
    EXPECT_EQ(title.family(), "Times New Roman");
    EXPECT_EQ(title.pointSizeF(), 16);
    EXPECT_TRUE(title.bold());
    for (auto axis : {Axis::X, Axis::Y}) {
        const QFont f = c.axisTitleFont(axis);
        EXPECT_EQ(f.family(), "Times New Roman");
        EXPECT_EQ(f.pointSizeF(), 14);
        EXPECT_TRUE(f.bold());
    }
    EXPECT_TRUE(c.axisTitleVertical(Axis::Y));
    for (auto axis : {Axis::X, Axis::Y, Axis::Y2}) {
        EXPECT_EQ(c.axisLabelFont(axis).pointSizeF(), 11);
        EXPECT_TRUE(c.axisLabelFont(axis).bold());
        EXPECT_EQ(c.axisLabelColor(axis), QColor(148, 0, 211));
    }
    EXPECT_EQ(c.plotBackdrop(), QColor(255, 255, 255));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(72, 209, 204));
    EXPECT_TRUE(form.autoFillBackground());
}

// A chart as it comes from the designer: nothing the load would set.
void expectDesignContent(const PlotForm& form) {
    const MSChart fresh;
    const MSChart& c = *form.chart();
    EXPECT_EQ(c.chartType(), fresh.chartType());
    EXPECT_EQ(c.rowCount(), fresh.rowCount());
    EXPECT_EQ(c.columnCount(), fresh.columnCount());
    EXPECT_EQ(c.columnLabel(1), fresh.columnLabel(1));
    EXPECT_EQ(c.rowLabel(1), fresh.rowLabel(1));
    EXPECT_EQ(c.dataText(1, 1), fresh.dataText(1, 1));
    EXPECT_EQ(c.titleText(), fresh.titleText());
    EXPECT_EQ(c.axisTitle(Axis::X), fresh.axisTitle(Axis::X));
    EXPECT_EQ(c.axisTitle(Axis::Y), fresh.axisTitle(Axis::Y));
    EXPECT_EQ(c.autoMarkers(), fresh.autoMarkers());
    EXPECT_EQ(c.pointMarkerStyle(1), fresh.pointMarkerStyle(1));
    // Neither the caption nor the colour of a loaded plot.
    EXPECT_EQ(form.windowTitle(), form.objectName());
    EXPECT_NE(form.palette().color(QPalette::Window), QColor(72, 209, 204));
}

TEST_F(PlotWindows, eachWindowHasItsNamedControls) {
    runs(1);
    start();
    const std::vector<std::pair<const char*, const char*>> windows = {
        {"menu_expop_dur", "Save As.."},
        {"menu_expop_past", "Save As.."},
        {"menu_pgval_past", "Save As"}};
    const char* const names[] = {"Form1", "Form2", "Form3"};
    for (std::size_t i = 0; i < windows.size(); ++i) {
        PlotForm* form = choose(windows[i].first);
        ASSERT_NE(form, nullptr) << windows[i].first;
        EXPECT_EQ(form->objectName(), names[i]);
        EXPECT_EQ(form->findChild<MSChart*>("MSChart1"), form->chart());
        EXPECT_EQ(form->findChild<CommonDialog*>("CommonDialog1"), form->commonDialog());
        ASSERT_NE(form->findChild<QPushButton*>("Command1"), nullptr);
        EXPECT_EQ(form->findChild<QPushButton*>("Command1")->text(), "Close");
        EXPECT_EQ(form->findChild<QPushButton*>("Command2")->text(), windows[i].second);
        EXPECT_EQ(form->findChild<QPushButton*>("Command3")->text(), "Minimize");
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, duringPlanPlotDrawsEveryWeekOfTheVariableChosen) {
    runs(1);
    // A value with decimals in the fifth week, to see it is not rounded.
    testing::sql(cs,
                 "UPDATE PLED SET EOBL = 12.75 WHERE rowid = "
                 "(SELECT rowid FROM PLED ORDER BY rowid LIMIT 1 OFFSET 4)");
    start();
    const auto weeks = static_cast<int>(testing::count(cs, "PLED"));
    EXPECT_EQ(weeks, 25);
    // One after another in the same main window, as a player would.
    for (const Choice& choice : kDuringChoices) {
        SCOPED_TRACE(choice.menuItem);
        PlotForm* form = choose(choice.menuItem);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->objectName(), "Form1");
        EXPECT_EQ(MDIForm1::p, choice.selector);
        EXPECT_EQ(form->windowTitle(), "During Plan Plots");
        expectSharedLayout(*form);
        const MSChart& c = *form->chart();
        EXPECT_EQ(c.titleText(), kDuringTitle.arg(testing::count(cs, "PLIO")));
        EXPECT_EQ(c.axisTitle(Axis::X), "WEEKS");
        EXPECT_EQ(c.axisTitle(Axis::Y), choice.yTitle);
        expectPointLabels(c, weeks);
        expectPoints(c, column("PLED", choice.column, "rowid"));
        if (choice.selector == 6) {
            EXPECT_EQ(c.dataText(5, 1), "12.75");
        }
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, duringPlanTitleCountsThePlanRows) {
    runs(2);
    start();
    PlotForm* form = choose("menu_pqlty_dur");
    ASSERT_NE(form, nullptr);
    const auto rows = testing::count(cs, "PLIO");
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(form->chart()->titleText(), kDuringTitle.arg(rows));

    // A new quarter adds a row; the window reads the count afresh.
    runs(1);
    form = choose("menu_pqlty_dur");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->chart()->titleText(), kDuringTitle.arg(rows + 1));

    // Plan numbers stored in the rows do not matter, only how many rows there are.
    testing::sql(cs, "UPDATE PLIO SET PNPLPD = PNPLPD + 40");
    form = choose("menu_pqlty_dur");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->chart()->titleText(), kDuringTitle.arg(rows + 1));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, pastPlanPlotSkipsTheFirstRowAndPlotsEmptyDecisionsAsZero) {
    runs(2);
    start();
    const auto plans = testing::count(cs, "PLIO");
    for (const Choice& choice : kPastChoices) {
        SCOPED_TRACE(choice.menuItem);
        PlotForm* form = choose(choice.menuItem);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->objectName(), "Form2");
        EXPECT_EQ(MDIForm1::p2, choice.selector);
        EXPECT_EQ(form->windowTitle(), "Past Plan Plots");
        expectSharedLayout(*form);
        const MSChart& c = *form->chart();
        EXPECT_EQ(c.titleText(), kHistoryTitle);
        EXPECT_EQ(c.axisTitle(Axis::X), "PLAN QUARTER");
        EXPECT_EQ(c.axisTitle(Axis::Y), choice.yTitle);
        expectPointLabels(c, static_cast<int>(plans - 1));
        auto stored = column("PLIO", choice.column, "PNPLPD");
        stored.erase(stored.begin());
        expectPoints(c, stored);
    }
    // The last row has no decisions yet; it is drawn as 0, not left out.
    EXPECT_EQ(testing::scalarText(cs, "SELECT PHRD FROM PLIO ORDER BY PNPLPD DESC"), "<null>");
    PlotForm* form = choose("menu_hrdec_past");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->chart()->dataText(static_cast<int>(plans - 1), 1), "0");
    EXPECT_EQ(form->chart()->dataText(1, 1), "10");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, gameValuePlotShowsEveryQuarterOrItsAverage) {
    runs(2);
    testing::sql(cs, "UPDATE PLDI SET ZCVG = NULL WHERE ZNPLPD = 2");
    start();
    const auto quarters = static_cast<int>(testing::count(cs, "PLDI"));
    EXPECT_EQ(quarters, 3);
    for (const Choice& choice : kValueChoices) {
        SCOPED_TRACE(choice.menuItem);
        const std::int16_t p = MDIForm1::p, p2 = MDIForm1::p2;
        PlotForm* form = choose(choice.menuItem);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->objectName(), "Form3");
        EXPECT_EQ(MDIForm1::p3, choice.selector);
        EXPECT_EQ(MDIForm1::p, p);
        EXPECT_EQ(MDIForm1::p2, p2);
        EXPECT_EQ(form->windowTitle(), "Past Plan Plots");
        expectSharedLayout(*form);
        const MSChart& c = *form->chart();
        EXPECT_EQ(c.titleText(), kHistoryTitle);
        EXPECT_EQ(c.axisTitle(Axis::X), "PLAN-QUARTER");
        EXPECT_EQ(c.axisTitle(Axis::Y), choice.yTitle);
        expectPointLabels(c, quarters);
        expectPoints(c, column("PLDI", choice.column, "ZNPLPD"));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, anEmptyTableEndsTheLoadAtItsMessage) {
    struct Case {
        const char* wipe;
        const char* menuItem;
        MessageBox box;
    };
    const Case cases[] = {
        {"DELETE FROM PLIO", "menu_expop_dur", kNoPlanNumber},
        {"DELETE FROM PLED", "menu_ccmpl_dur", kNoChartData},
        // The first plan row alone is the firm before any quarter: no point.
        {"DELETE FROM PLIO WHERE PNPLPD > 0", "menu_pqlty_past", kNoChartData},
        {"DELETE FROM PLIO", "menu_hrdec_past", kNoChartData},
        {"DELETE FROM PLDI", "menu_agval_past", kNoChartData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wipe + std::string(" / ") + c.menuItem);
        testing::TempDir game;
        cs = testing::newGame(game);
        start();
        testing::sql(cs, c.wipe);
        PlotForm* form = choose(c.menuItem);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(messages, std::vector<MessageBox>{c.box});
        expectDesignContent(*form);
        GameWindows::instance().stop();
        deletePending();
    }
}

TEST_F(PlotWindows, aBrokenDatabaseIsReportedAndChangesNothing) {
    runs(1);
    start();
    testing::sql(cs, "DROP TABLE PLED");
    const auto plans = testing::count(cs, "PLIO");
    const auto quarters = testing::count(cs, "PLDI");
    const std::vector<std::pair<const char*, model::PlotKind>> windows = {
        {"menu_expop_dur", model::PlotKind::DuringPlan},
        {"menu_pqlty_past", model::PlotKind::PastPlan},
        {"menu_pgval_past", model::PlotKind::GameValue}};
    for (const auto& [item, kind] : windows) {
        SCOPED_TRACE(item);
        std::optional<MessageBox> expected;
        try {
            model::loadPlot(cs, kind, 1);
        } catch (const std::exception& e) {
            expected = model::databaseFailureBox(e);
        }
        ASSERT_TRUE(expected) << "a missing table should fail the read";
        messages.clear();
        PlotForm* form = choose(item);
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages.front(), *expected);
        EXPECT_EQ(messages.front().icon, Icon::Critical);
        expectDesignContent(*form);
    }
    EXPECT_EQ(testing::count(cs, "PLIO"), plans);
    EXPECT_EQ(testing::count(cs, "PLDI"), quarters);
}

TEST_F(PlotWindows, closingAHistoryPlotKeepsTheMainWindow) {
    runs(1);
    MDIForm1* main = start();
    ASSERT_NE(main, nullptr);
    for (const char* item : {"menu_expop_past", "menu_agval_past"}) {
        SCOPED_TRACE(item);
        QPointer<PlotForm> form = choose(item);
        ASSERT_FALSE(form.isNull());
        EXPECT_FALSE(main->picture1()->isVisibleTo(main));  // the board made way
        form->findChild<QPushButton*>("Command1")->click();
        deletePending();
        EXPECT_TRUE(form.isNull());
        EXPECT_EQ(GameWindows::instance().mainWindow(), main);
        EXPECT_TRUE(main->picture1()->isVisibleTo(main));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, closingTheDuringPlanPlotReloadsTheMainWindow) {
    runs(1);
    QPointer<MDIForm1> main = start();
    ASSERT_FALSE(main.isNull());
    QPointer<PlotForm> form = choose("menu_trpop_dur");
    ASSERT_FALSE(form.isNull());
    form->findChild<QPushButton*>("Command1")->click();
    MDIForm1* reloaded = GameWindows::instance().mainWindow();
    ASSERT_NE(reloaded, nullptr);
    EXPECT_NE(reloaded, main.data());
    EXPECT_TRUE(reloaded->picture1()->isVisibleTo(reloaded));
    deletePending();
    EXPECT_TRUE(main.isNull());
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlotWindows, minimizeMinimisesTheWindowInPlace) {
    runs(1);
    start();
    PlotForm* form = choose("menu_prinv_dur");
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->subWindow(), nullptr);
    const QSize before = form->size();
    form->findChild<QPushButton*>("Command3")->click();
    EXPECT_TRUE(form->subWindow()->isMinimized());
    // On an unchanged screen the layout is scaled by 1.
    EXPECT_EQ(form->scaling.last_width, static_cast<std::int32_t>(twipsAcross(before.width())));
    EXPECT_EQ(form->scaling.last_height, static_cast<std::int32_t>(twipsDown(before.height())));
}

TEST_F(PlotWindows, saveAsWritesTheChartAsABitmap) {
    runs(2);
    start();
    for (const char* item : {"menu_oblog_dur", "menu_prdec_past", "menu_pgval_past"}) {
        SCOPED_TRACE(item);
        PlotForm* form = choose(item);
        ASSERT_NE(form, nullptr);
        QString filter;
        const QString name = QString::fromStdString(dir.file(form->objectName().toStdString()));
        CommonDialog::setAnswerHook([&](const CommonDialog& d) -> std::optional<QString> {
            filter = d.filter();
            return name;
        });
        form->findChild<QPushButton*>("Command2")->click();
        EXPECT_EQ(filter, "Pictures (*.bmp)|*.bmp");
        EXPECT_EQ(form->commonDialog()->fileName(), name + ".bmp");
        const QImage saved(name + ".bmp", "BMP");
        ASSERT_FALSE(saved.isNull());
        EXPECT_EQ(saved.size(), form->chart()->size());
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
                  form->chart()->picture().convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_TRUE(messages.empty());
}

// The window with its frame fits the main window's client area, and every
// control lies inside the window, the chart taking most of it.
void expectFits(const PlotForm& form) {
    const QMdiSubWindow* sub = form.subWindow();
    ASSERT_NE(sub, nullptr);
    const QMdiArea* area = sub->mdiArea();
    ASSERT_NE(area, nullptr);
    const QRect room = area->viewport()->rect();
    EXPECT_TRUE(room.contains(sub->geometry()))
        << "frame " << sub->geometry().width() << "x" << sub->geometry().height() << "+" << sub->x()
        << "+" << sub->y() << " in " << room.width() << "x" << room.height();
    for (const char* name : {"MSChart1", "Command1", "Command2", "Command3"}) {
        const auto* control = form.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(form.rect().contains(control->geometry())) << name;
    }
    // No control covers another.
    const char* const names[] = {"MSChart1", "Command1", "Command2", "Command3"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        for (std::size_t j = i + 1; j < std::size(names); ++j) {
            const QRect a = form.findChild<QWidget*>(names[i])->geometry();
            const QRect b = form.findChild<QWidget*>(names[j])->geometry();
            EXPECT_FALSE(a.intersects(b)) << names[i] << " " << names[j];
        }
    }
    const QRect chart = form.chart()->geometry();
    EXPECT_GT(chart.width() * chart.height(), form.width() * form.height() * 3 / 4);
    // The buttons are tall enough for their text.
    const auto* close = form.findChild<QPushButton*>("Command1");
    EXPECT_LE(close->sizeHint().height(), close->height() + 2);
}

TEST_F(PlotWindows, theWindowsFitTheMainWindowOnSmallAndLargeScreens) {
    runs(1);
    for (const ScreenSpec screen : {ScreenSpec{800, 600, 96, 96}, ScreenSpec{1920, 1080, 96, 96},
                                    ScreenSpec{1024, 768, 96, 96}}) {
        SCOPED_TRACE(std::to_string(screen.widthPx) + "x" + std::to_string(screen.heightPx));
        setScreenOverride(screen);
        start();
        for (const char* item : {"menu_expop_dur", "menu_pqlty_past", "menu_agval_past"}) {
            SCOPED_TRACE(item);
            PlotForm* form = choose(item);
            ASSERT_NE(form, nullptr);
            expectFits(*form);
            form->closeShowingBoard();
            deletePending();
        }
        GameWindows::instance().stop();
        deletePending();
    }
}

}  // namespace
}  // namespace tessaro::ui
