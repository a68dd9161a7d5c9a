// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Every window at the screen sizes players have: wholly on the screen, its
// values in sight without scrolling, every text whole, and its fonts all by
// one rule.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <cmath>
#include <fstream>
#include <map>

#include "model/gamefile.h"
#include "placement.h"
#include "readable.h"
#include "store/gamelocation.h"
#include "ui/components/chartexport.h"
#include "ui/windows/form4.h"
#include "ui/windows/form7.h"
#include "ui/windows/form8.h"
#include "ui/windows/plotform.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

const ScreenSpec kScreens[] = {
    {800, 600, 96, 96}, {1024, 768, 96, 96}, {1280, 1024, 96, 96}, {1920, 1080, 96, 96}};

// The menu item that opens each window, with long values where the windows
// show them.
const std::pair<const char*, const char*> kWindows[] = {
    {"Form4", "menu_new_plan_decision"}, {"Form1", "menu_oblog_dur"},
    {"Form2", "menu_prdec_past"},        {"Form3", "menu_agval_past"},
    {"Form7", "menu_this_plan"},         {"Form8", "menu_performance_sheet"},
    {"LeagueWindow", "menu_league"}};

std::string sizeOf(const ScreenSpec& s) {
    return std::to_string(s.widthPx) + "x" + std::to_string(s.heightPx);
}

class ScreenSizes : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Three quarters, with the long unrounded values the model writes.
        for (const char* d : {"3500", "2800", "4200"}) testing::press(cs, d, "15", "WOTA");
        // The league of this game, two other teams and a file that is none.
        QStringList league = {QString::fromStdString(store::pathFromConnectionString(cs))};
        for (const char* team : {"Riverside Works", "hillcrest"}) {
            const std::string file = dir.file(std::string(team) + ".mdb");
            const std::string game = store::connectionStringForFile(file);
            model::ensureGameDatabase(game);
            testing::press(game, "2600", "8", "WOTA");
            league << QString::fromStdString(file);
        }
        const std::string notes = dir.file("minutes.mdb");
        std::ofstream(notes) << "minutes of the team meeting";
        league << QString::fromStdString(notes);
        CommonDialog::setOpenAnswerHook([league](CommonDialog&) { return league; });
    }
    void TearDown() override {
        CommonDialog::setOpenAnswerHook({});
        WindowTest::TearDown();
    }

    Form* openByMenu(const char* item) {
        find<QAction>(GameWindows::instance().mainWindow(), item)->trigger();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* sub = GameWindows::instance().mainWindow()->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<Form*>(sub->widget()) : nullptr;
    }
};

TEST_F(ScreenSizes, everyWindowOpensWhollyInsideTheMainWindowWithItsValuesInSight) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        setScreenOverride(screen);
        MDIForm1* main = start();
        ASSERT_NE(main, nullptr);
        // The main window fits the screen.
        EXPECT_LE(main->frameGeometry().width(), screen.widthPx);
        EXPECT_LE(main->frameGeometry().height(), screen.heightPx);
        for (const auto& [name, item] : kWindows) {
            SCOPED_TRACE(name);
            Form* form = openByMenu(item);
            ASSERT_NE(form, nullptr);
            ASSERT_EQ(form->objectName(), name);
            EXPECT_TRUE(messages.empty());
            expectWhollyInSight(*main, *form);
        }
        GameWindows::instance().stop();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ScreenSizes, everyTextShowsWholeAtEveryScreenSize) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        setScreenOverride(screen);
        MDIForm1* main = start();
        ASSERT_NE(main, nullptr);
        for (const std::string& bad : unreadableTexts(main->controls())) ADD_FAILURE() << bad;
        for (const auto& [name, item] : kWindows) {
            SCOPED_TRACE(name);
            Form* form = openByMenu(item);
            ASSERT_NE(form, nullptr);
            for (const std::string& bad : unreadableTexts(form->controls())) ADD_FAILURE() << bad;
        }
        GameWindows::instance().stop();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ScreenSizes, longBoardValuesShowInPartAtALegibleSizeAndWholeInTheirTooltip) {
    MDIForm1* main = start();
    // The model's values come unrounded: 15 significant digits.
    const QString stored = textOf(main, "Label7");
    ASSERT_GE(stored.size(), 12);
    auto* cell = find<FitLabel>(main, "Label7");
    EXPECT_GE(cell->font().pointSizeF(), 8);
    EXPECT_TRUE(cell->displayedText().endsWith(QChar(0x2026)));
    EXPECT_TRUE(stored.startsWith(cell->displayedText().chopped(1)));
    EXPECT_EQ(cell->toolTip(), stored);
    EXPECT_EQ(cell->accessibleDescription(), stored);
    // A short value shows whole in the size the scaling gives it.
    auto* count = find<FitLabel>(main, "Label52");
    EXPECT_EQ(count->displayedText(), count->text());
}

// Each control's font size by the scaling, divided by the window's font
// zoom: the size the control has on the 800 x 600 design.
std::map<std::string, double> designSizes(const Form& form) {
    std::map<std::string, double> out;
    for (QWidget* c : form.controls())
        if (controlPoints(c) > 0)
            out[c->objectName().toStdString()] = controlPoints(c) / form.font_zoom;
    return out;
}

TEST_F(ScreenSizes, everyFontIsItsDesignSizeScaledWithTheWindow) {
    std::map<std::string, std::map<std::string, double>> design;
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        setScreenOverride(screen);
        start();
        const double x = screen.widthPx / 800.0, y = screen.heightPx / 600.0;
        for (const auto& [name, item] : kWindows) {
            SCOPED_TRACE(name);
            Form* form = openByMenu(item);
            ASSERT_NE(form, nullptr);
            // The load's ratios, then at most the shrink that fits the window in.
            EXPECT_LE(form->font_zoom, (x + y) / 2 + 1e-6);
            EXPECT_GE(form->font_zoom, (x + y) / 2 * 0.9);
            const auto sizes = designSizes(*form);
            if (!design.count(name)) design[name] = sizes;
            for (const auto& [control, points] : sizes)
                EXPECT_NEAR(points, design[name].at(control), 1e-3 * points) << control;
            // What the loads set, by name: 14 and 16 points on the design.
            if (qobject_cast<Form4*>(form)) {
                EXPECT_NEAR(sizes.at("Label3"), 14, 1e-3);
                EXPECT_NEAR(sizes.at("Label1"), 16, 1e-3);
                EXPECT_NEAR(sizes.at("Command1"), 10, 1e-3);
                EXPECT_NEAR(sizes.at("Label9"), 14.25, 1e-3);
            }
            if (qobject_cast<Form7*>(form) || qobject_cast<Form8*>(form)) {
                EXPECT_NEAR(sizes.at("Label1"), 16, 1e-3);
                EXPECT_NEAR(sizes.at("Label2"), 16, 1e-3);
            }
            // Grid cells and charts by the same zoom.
            for (MSFlexGrid* grid : form->findChildren<MSFlexGrid*>()) {
                EXPECT_EQ(grid->cellFontSize(1, 1), 10);
                const double shown = grid->shownCellFont(1, 1).pointSizeF();
                EXPECT_LE(shown, 10 * form->font_zoom + 1e-6);
                EXPECT_GE(shown, std::min(8.0, 10 * form->font_zoom) - 1e-6);
            }
            if (auto* plot = qobject_cast<PlotForm*>(form)) {
                EXPECT_NEAR(plot->chart()->fontZoom(), form->font_zoom, 1e-6);
            }
        }
        GameWindows::instance().stop();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ScreenSizes, theReportsColumnsShrinkInTheirProportionsToTheirBox) {
    setScreenOverride(ScreenSpec{800, 600, 96, 96});
    start();
    auto* report = qobject_cast<Form7*>(openByMenu("menu_this_plan"));
    ASSERT_NE(report, nullptr);
    const MSFlexGrid& g = *report->variablesGrid();
    // Read back as set.
    EXPECT_EQ(g.colWidth(0), 3000);
    EXPECT_EQ(g.colWidth(1), 2500);
    const double shrink = g.columnShrink();
    EXPECT_LT(shrink, 0.75);
    EXPECT_GT(shrink, 0.65);
    // Drawn in the proportions 3000 : 2500, to a pixel.
    EXPECT_NEAR(g.table()->columnWidth(0), 3000 / 15.0 * shrink, 1);
    EXPECT_NEAR(g.table()->columnWidth(1), 2500 / 15.0 * shrink, 1);
    EXPECT_NEAR(g.table()->columnWidth(3), g.table()->columnWidth(0), 1);
    // Rows fit as they are.
    EXPECT_EQ(g.rowShrink(), 1);
    auto* sheet = qobject_cast<Form8*>(openByMenu("menu_performance_sheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_NEAR(sheet->sheetGrid()->columnShrink(), shrink, 0.02);
    EXPECT_LT(sheet->sheetGrid()->rowShrink(), 1);
    EXPECT_GT(sheet->sheetGrid()->rowShrink(), 0.8);
}

}  // namespace
}  // namespace tessaro::ui
