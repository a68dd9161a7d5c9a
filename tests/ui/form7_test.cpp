// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The plan report window against game databases in known states.
#include "ui/windows/form7.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

#include "childwindowtest.h"
#include "ui/windows/mdiform1.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;
using Texts = std::vector<std::vector<std::string>>;
using testing::press;

const model::MessageBox kNoPlanNumber{"No Data to Show Plan Number!!!", "Plan Number",
                                      model::Icon::Critical};
const model::MessageBox kNoReport{"No Data to Show in Plan Report!!!", "Plan Report",
                                  model::Icon::Critical};

// The report of a single PLIO row and a single PLDI row, every value chosen
// so that its rounding shows: halves go to the even neighbour.
constexpr const char* kOneQuarter =
    "DELETE FROM PLIO WHERE PNPLPD > 0;"
    "UPDATE PLIO SET PRORD=4444, PRHRD=22, PT=101.4, PTT=12.5, POQ=0.5, POC=1.5, PINV=-7.5,"
    " POBL=2115.49, PHR=3.5, PQR=2.5, POR=1081, POFR=1121.5, PPR=1016.6;"
    "UPDATE PLDI SET ZT=100, ZTT=13.5, ZOQ=0.96, ZOC=1.2, ZINV=1202, ZOBL=2280.5,"
    " ZHR=10, ZQR=8.49, ZOR=3282, ZOFR=3606, ZPR=3537.5";

class PlanReportWindow : public ChildWindowTest {
protected:
    Form7* openReport() { return open<Form7>("Form7"); }
};

TEST_F(PlanReportWindow, singlePlanZeroRowShowsTheDefaultDecisionsAndItsOwnValues) {
    testing::sql(cs, kOneQuarter);
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w->windowTitle(), "This Plan Report");
    EXPECT_EQ(labelText(w, "Label1"), "Plan Report For Plan Quarter Number  :");
    EXPECT_EQ(labelText(w, "Label2"), "0");
    EXPECT_EQ(labelText(w, "Label3"), "Your Decision Vs Actual");
    EXPECT_EQ(labelText(w, "Label4"), "");

    const Texts variables = {
        {"Level Variables", "End-plan", "Avg. Value", "Rate Variables", "End-plan (Nos/month)",
         "Total (Nos)"},
        {"Experienced People", "101", "100", "Trainees' Hiring", "4", "10"},
        {"People in Training", "12", "14", "People Quitting", "2", "8"},
        {"Product Quality", "0", "1", "Customer Orders", "1081", "3282"},
        {"Customer Complaints", "2", "1", "Order Filling", "1122", "3606"},
        {"Inventory Level", "-8", "1202", "Production", "1017", "3538"},
        {"Order Backlog", "2115", "2280", "", "", ""},
    };
    EXPECT_EQ(texts(*w->variablesGrid()), variables);
    // The first quarter ran on 3000 and 10 whatever the row holds.
    const Texts decisions = {
        {"Production Orders Decision :  3000", "Total Units Produced :  3538"},
        {"Trainees' Hiring Decision  :  10", "Total Trainees Hired :  10"},
    };
    EXPECT_EQ(texts(*w->decisionGrid()), decisions);
}

TEST_F(PlanReportWindow, singleRowOfAnotherPlanLeavesTheDecisionsAtZero) {
    testing::sql(cs, kOneQuarter);
    testing::sql(cs, "UPDATE PLIO SET PNPLPD=5");
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(labelText(w, "Label2"), "5");
    EXPECT_EQ(w->decisionGrid()->textMatrix(0, 0), "Production Orders Decision :  0");
    EXPECT_EQ(w->decisionGrid()->textMatrix(1, 0), "Trainees' Hiring Decision  :  0");
    EXPECT_EQ(w->variablesGrid()->textMatrix(1, 1), "101");
}

TEST_F(PlanReportWindow, decisionsComeFromTheSecondLastRowAndEverythingElseFromTheLast) {
    ASSERT_EQ(press(cs, "4200", "17", "WOTA"), model::RunOutcome::PlanRun);
    ASSERT_EQ(press(cs, "2600", "8", "WOTA"), model::RunOutcome::PlanRun);
    // Rows 0 to 3 now; decoys in the rows the report must not read.
    testing::sql(cs,
                 "UPDATE PLIO SET PRORD=1111, PRHRD=11 WHERE PNPLPD=1;"
                 "UPDATE PLIO SET PT=111 WHERE PNPLPD=2;"
                 "UPDATE PLIO SET PRORD=9999, PRHRD=99, PT=222.5, PHR=6.5 WHERE PNPLPD=3;"
                 "UPDATE PLDI SET ZPR=1, ZHR=1, ZT=1 WHERE ZNPLPD=2;"
                 "UPDATE PLDI SET ZPR=3000.5, ZHR=7, ZT=98.5 WHERE ZNPLPD=3");
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(labelText(w, "Label2"), "3");
    const Texts decisions = {
        {"Production Orders Decision :  2600", "Total Units Produced :  3000"},
        {"Trainees' Hiring Decision  :  8", "Total Trainees Hired :  7"},
    };
    EXPECT_EQ(texts(*w->decisionGrid()), decisions);
    const MSFlexGrid& g = *w->variablesGrid();
    EXPECT_EQ(g.textMatrix(1, 1), "222");
    EXPECT_EQ(g.textMatrix(1, 2), "98");
    EXPECT_EQ(g.textMatrix(1, 4), "6");
    EXPECT_EQ(g.textMatrix(1, 5), "7");
    EXPECT_EQ(g.textMatrix(5, 5), "3000");
    // A value the run wrote, rounded as the window rounds.
    const double backlog =
        std::stod(testing::scalarText(cs, "SELECT POBL FROM PLIO WHERE PNPLPD=3"));
    EXPECT_EQ(g.textMatrix(6, 1).toStdString(),
              std::to_string(std::lround(std::nearbyint(backlog))));
}

TEST_F(PlanReportWindow, emptyDecisionsShowZero) {
    ASSERT_EQ(press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    testing::sql(cs, "UPDATE PLIO SET PRORD=NULL, PRHRD=NULL WHERE PNPLPD=1");
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->decisionGrid()->textMatrix(0, 0), "Production Orders Decision :  0");
    EXPECT_EQ(w->decisionGrid()->textMatrix(1, 0), "Trainees' Hiring Decision  :  0");
    GameWindows::instance().stop();

    // Only one of them empty: that one shows 0.
    testing::sql(cs, "UPDATE PLIO SET PRORD=2500 WHERE PNPLPD=1");
    w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->decisionGrid()->textMatrix(0, 0), "Production Orders Decision :  2500");
    EXPECT_EQ(w->decisionGrid()->textMatrix(1, 0), "Trainees' Hiring Decision  :  0");
}

TEST_F(PlanReportWindow, gridsHaveTheirShapesSizesAndCellFormats) {
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    const MSFlexGrid& g1 = *w->variablesGrid();
    EXPECT_EQ(std::vector({g1.rows(), g1.cols(), g1.fixedRows(), g1.fixedCols()}),
              std::vector({7, 6, 1, 1}));
    const std::vector<int> widths = {3000, 2500, 2500, 3000, 2500, 2500};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(g1.colWidth(c), widths[static_cast<std::size_t>(c)]) << c;
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(g1.rowHeight(r), 500) << r;
        for (int c = 0; c < 6; ++c) {
            EXPECT_TRUE(g1.cellFontBold(r, c)) << r << "," << c;
            EXPECT_EQ(g1.cellFontSize(r, c), 10) << r << "," << c;
            const bool value = r > 0 && (c == 1 || c == 2 || c == 4 || c == 5);
            EXPECT_EQ(g1.cellAlignment(r, c), value ? Align::CenterCenter : Align::General)
                << r << "," << c;
        }
    }
    EXPECT_EQ(std::vector({g1.row(), g1.col(), g1.rowSel(), g1.colSel()}),
              std::vector({0, 0, 0, 0}));

    const MSFlexGrid& g2 = *w->decisionGrid();
    EXPECT_EQ(std::vector({g2.rows(), g2.cols(), g2.fixedRows(), g2.fixedCols()}),
              std::vector({2, 2, 0, 0}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(g2.colWidth(i), 8000);
        EXPECT_EQ(g2.rowHeight(i), 800);
    }
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            EXPECT_TRUE(g2.cellFontBold(r, c));
            EXPECT_EQ(g2.cellFontSize(r, c), 10);
            EXPECT_EQ(g2.cellAlignment(r, c), Align::CenterCenter);
        }
    }
    EXPECT_EQ(std::vector({g2.row(), g2.col(), g2.rowSel(), g2.colSel()}),
              std::vector({0, 0, 0, 0}));
}

TEST_F(PlanReportWindow, withoutPlioRowsTheLoadStopsAfterItsHeadings) {
    testing::sql(cs, "DELETE FROM PLIO");
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kNoPlanNumber);
    EXPECT_EQ(labelText(w, "Label1"), "Plan Report For Plan Quarter Number  :");
    EXPECT_EQ(labelText(w, "Label3"), "Your Decision Vs Actual");
    EXPECT_EQ(labelText(w, "Label2"), "");
    // The grids stay as designed: no texts, no formats, no sizes.
    for (const MSFlexGrid* g : {w->variablesGrid(), w->decisionGrid()}) {
        for (const auto& row : texts(*g))
            for (const auto& cell : row) EXPECT_EQ(cell, "");
        EXPECT_FALSE(g->cellFontBold(1, 1));
        EXPECT_NE(g->colWidth(1), 8000);
        EXPECT_NE(g->colWidth(1), 2500);
    }
}

TEST_F(PlanReportWindow, withoutPldiRowsThePlanNumberIsShownBeforeTheMessage) {
    testing::sql(cs, "DELETE FROM PLDI");
    QString planNumberWhenShown = "<no message>";
    onMessage = [&](const model::MessageBox&) {
        // The window is still loading: it is not yet inside the main window.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "Form7") planNumberWhenShown = labelText(top, "Label2");
    };
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kNoReport);
    EXPECT_EQ(planNumberWhenShown, "1");
    EXPECT_EQ(labelText(w, "Label2"), "1");
    for (const MSFlexGrid* g : {w->variablesGrid(), w->decisionGrid()}) {
        for (const auto& row : texts(*g))
            for (const auto& cell : row) EXPECT_EQ(cell, "");
    }
    EXPECT_FALSE(w->variablesGrid()->cellFontBold(1, 1));
}

TEST_F(PlanReportWindow, labelFontsAndGridSizesAreDesignSizesScaledWithTheWindow) {
    // The same window on an 800 x 600 and a 1024 x 768 screen (ratio 1.28
    // both ways): boxes, fonts and grid sizes all grow by it; what the grid
    // reads back stays as the load set it.
    setScreenOverride(ScreenSpec{800, 600, 96, 96});
    Form7* w = openReport();
    ASSERT_NE(w, nullptr);
    const QRectF label1 = controlTwips(w->findChild<QLabel*>("Label1"));
    const QRectF box = controlTwips(w->variablesGrid());
    const int columnPixels = w->variablesGrid()->table()->columnWidth(0);
    const int rowPixels = w->variablesGrid()->table()->rowHeight(0);
    const double zoom = w->font_zoom;
    for (const char* name : {"Label1", "Label2", "Label3"})
        EXPECT_EQ(controlPoints(w->findChild<QLabel*>(name)), 16 * zoom) << name;
    GameWindows::instance().stop();
    flushDeletes();

    setScreenOverride(ScreenSpec{1024, 768, 96, 96});
    w = openReport();
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->font_zoom, zoom * 1.28, 1e-4);
    const QRectF bigLabel1 = controlTwips(w->findChild<QLabel*>("Label1"));
    EXPECT_NEAR(bigLabel1.left(), label1.left() * 1.28, 1);
    EXPECT_NEAR(bigLabel1.width(), label1.width() * 1.28, 1);
    EXPECT_NEAR(bigLabel1.height(), label1.height() * 1.28, 1);
    EXPECT_NEAR(controlTwips(w->variablesGrid()).width(), box.width() * 1.28, 1);
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const auto* label = w->findChild<QLabel*>(name);
        EXPECT_NEAR(controlPoints(label), 16 * zoom * 1.28, 1e-4) << name;
        EXPECT_LE(label->font().pointSizeF(), controlPoints(label)) << name;
        EXPECT_TRUE(label->font().bold()) << name;
    }
    EXPECT_EQ(w->variablesGrid()->colWidth(0), 3000);
    EXPECT_EQ(w->variablesGrid()->cellFontSize(3, 3), 10);
    EXPECT_NEAR(w->variablesGrid()->table()->columnWidth(0), columnPixels * 1.28, 1.5);
    EXPECT_NEAR(w->variablesGrid()->table()->rowHeight(0), rowPixels * 1.28, 1.5);
}

TEST_F(PlanReportWindow, closeRebuildsTheMainWindow) {
    expectCloseRebuildsTheMainWindow("Form7");
}

TEST_F(PlanReportWindow, minimizeMinimisesTheWindow) {
    expectMinimizeMinimisesTheWindow("Form7");
}

TEST_F(PlanReportWindow, brokenDatabaseIsReported) {
    expectBrokenDatabaseReported("Form7");
}

}  // namespace
}  // namespace tessaro::ui
