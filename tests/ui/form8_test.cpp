// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The performance sheet window against game databases in known states.
#include "ui/windows/form8.h"

#include <QApplication>
#include <QTableWidget>

#include "childwindowtest.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;
using Texts = std::vector<std::vector<std::string>>;
using testing::press;

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kShade(214, 211, 214);
const QColor kWhite(255, 255, 255);

class PerformanceSheetWindow : public ChildWindowTest {
protected:
    Form8* openSheet() { return open<Form8>("Form8"); }

    // Sets the value of the game and its average in the last PLDI row and
    // returns the text colours of the two cells that show them.
    std::pair<QColor, QColor> valueColours(double value, double average) {
        testing::sql(cs, "UPDATE PLDI SET ZVG=" + std::to_string(value) +
                             ", ZCVG=" + std::to_string(average));
        Form8* w = openSheet();
        std::pair<QColor, QColor> colours;
        if (w)
            colours = {w->sheetGrid()->cellForeColor(13, 1), w->sheetGrid()->cellForeColor(14, 1)};
        GameWindows::instance().stop();
        flushDeletes();
        return colours;
    }
};

TEST_F(PerformanceSheetWindow, showsTheLastAccountingRowAsStoredRoundedHalfToEven) {
    ASSERT_EQ(press(cs, "4200", "17", "WOTA"), model::RunOutcome::PlanRun);
    ASSERT_EQ(press(cs, "2600", "8", "WOTA"), model::RunOutcome::PlanRun);
    // PLDI rows 1 to 3; the totals do not add up, and the sheet must not care.
    testing::sql(cs,
                 "UPDATE PLDI SET ZTE=777, ZVG=777 WHERE ZNPLPD=2;"
                 "UPDATE PLDI SET ZTE=12.5, ZOUC=13.5, ZPC=-0.5, ZINVC=7, ZHC=1, ZSC=2, ZTTC=3,"
                 " ZQC=4, ZINSC=999, ZTC=5, ZVG=-350.5, ZCVG=2.5 WHERE ZNPLPD=3");
    Form8* w = openSheet();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w->windowTitle(), "Performance Sheet");
    EXPECT_EQ(labelText(w, "Label1"), "Performance Sheet For Plan Quarter Number  :");
    EXPECT_EQ(labelText(w, "Label2"), "3");
    EXPECT_EQ(labelText(w, "Label3"), "");

    const Texts sheet = {
        {"Earning Side", "Values in 1000 Rs."},
        {"1. Earnings From Orders Filled in this plan :", "12"},
        {"Cost Side", "Values in 1000 Rs."},
        {"1. Costs of Order Backlog in this plan :", "14"},
        {"2. Costs of Production in this plan :", "0"},
        {"3. Costs of Inventory in this plan :", "7"},
        {"4. Manpower Costs :", "4. Manpower Costs :"},
        {"   a) Costs of Hiring New People :", "1"},
        {"   b) Salaries to Experienced People :", "2"},
        {"   c) Salaries to Trainees :", "3"},
        {"   d) Costs of people quitting :", "4"},
        {"Total, (a) + (b) + (c) + (d) :", "999"},
        {"5. Total Costs in this plan (1+2+3+4)", "5"},
        {"Value of The Game :      ", "-350"},
        {"Average Value of The Game :      ", "2"},
    };
    EXPECT_EQ(texts(*w->sheetGrid()), sheet);
    EXPECT_EQ(w->sheetGrid()->cellForeColor(13, 1), kRed);
    EXPECT_EQ(w->sheetGrid()->cellForeColor(14, 1), kBlack);
}

TEST_F(PerformanceSheetWindow, negativeGameValuesAreRedAndOthersBlack) {
    EXPECT_EQ(valueColours(-1, 0), std::pair(kRed, kBlack));
    EXPECT_EQ(valueColours(-5, -3), std::pair(kRed, kRed));
    EXPECT_EQ(valueColours(0, 7), std::pair(kBlack, kBlack));
    EXPECT_EQ(valueColours(4, -2), std::pair(kBlack, kRed));
}

TEST_F(PerformanceSheetWindow, manpowerHeadingAndEqualNeighboursMerge) {
    testing::sql(cs, "UPDATE PLDI SET ZHC=5, ZSC=6, ZTTC=0, ZQC=0, ZVG=-3, ZCVG=-3");
    Form8* w = openSheet();
    ASSERT_NE(w, nullptr);
    const MSFlexGrid& g = *w->sheetGrid();
    EXPECT_EQ(g.mergeCells(), MSFlexGrid::MergeCells::Free);
    // Row 6 reads once across both columns.
    EXPECT_EQ(g.mergedArea(6, 0), QRect(0, 6, 2, 1));
    EXPECT_EQ(g.mergedArea(6, 1), QRect(0, 6, 2, 1));
    EXPECT_EQ(g.table()->columnSpan(6, 0), 2);
    // Two cost lines of 0 show one value cell; their line texts stay apart.
    EXPECT_EQ(g.mergedArea(9, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(g.mergedArea(10, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(g.table()->rowSpan(9, 1), 2);
    EXPECT_EQ(g.mergedArea(9, 0), QRect(0, 9, 1, 1));
    EXPECT_EQ(g.mergedArea(8, 1), QRect(1, 8, 1, 1));
    // Equal value and average share one red cell.
    EXPECT_EQ(g.mergedArea(13, 1), QRect(1, 13, 1, 2));
    EXPECT_EQ(g.cellForeColor(13, 1), kRed);
    // The two heading rows are not neighbours and stay apart.
    EXPECT_EQ(g.mergedArea(0, 1), QRect(1, 0, 1, 1));
    EXPECT_EQ(g.mergedArea(2, 1), QRect(1, 2, 1, 1));
}

TEST_F(PerformanceSheetWindow, sheetHasItsSizesAlignmentsAndShading) {
    Form8* w = openSheet();
    ASSERT_NE(w, nullptr);
    const MSFlexGrid& g = *w->sheetGrid();
    EXPECT_EQ(std::vector({g.rows(), g.cols(), g.fixedRows(), g.fixedCols()}),
              std::vector({15, 2, 0, 0}));
    EXPECT_EQ(g.colWidth(0), 8000);
    EXPECT_EQ(g.colWidth(1), 8000);
    for (int r = 0; r < 15; ++r) {
        EXPECT_EQ(g.rowHeight(r), 500) << r;
        const bool heading = r == 0 || r == 2;
        const bool shaded = heading || r == 12;
        for (int c = 0; c < 2; ++c) {
            EXPECT_TRUE(g.cellFontBold(r, c)) << r << "," << c;
            EXPECT_EQ(g.cellFontSize(r, c), 10) << r << "," << c;
            EXPECT_EQ(g.cellBackColor(r, c), shaded ? kShade : kWhite) << r << "," << c;
            const bool left = c == 0 && !heading;
            EXPECT_EQ(g.cellAlignment(r, c), left ? Align::LeftCenter : Align::CenterCenter)
                << r << "," << c;
        }
    }
}

TEST_F(PerformanceSheetWindow, withoutPldiRowsTheLoadStopsWithItsMessage) {
    testing::sql(cs, "DELETE FROM PLDI");
    Form8* w = openSheet();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (model::MessageBox{"No Data to Show Plan Number!!!", "Plan Number",
                                              model::Icon::Critical}));
    EXPECT_EQ(labelText(w, "Label1"), "Performance Sheet For Plan Quarter Number  :");
    EXPECT_EQ(labelText(w, "Label2"), "");
    // The grid as designed: two columns, no rows added, nothing filled.
    const MSFlexGrid& g = *w->sheetGrid();
    EXPECT_EQ(g.cols(), 2);
    EXPECT_LT(g.rows(), 15);
    for (const auto& row : texts(g))
        for (const auto& cell : row) EXPECT_EQ(cell, "");
    EXPECT_NE(g.colWidth(0), 8000);
    EXPECT_EQ(g.mergeCells(), MSFlexGrid::MergeCells::Never);
}

TEST_F(PerformanceSheetWindow, theTotalCostsShadeFollowsTheCellItMergesInto) {
    // The manpower total and the total cost equal: rows 11 and 12 share one
    // value cell, which stays shaded as row 12 is.
    testing::sql(cs, "UPDATE PLDI SET ZINSC=5000, ZTC=5000");
    Form8* w = openSheet();
    ASSERT_NE(w, nullptr);
    MSFlexGrid& g = *w->sheetGrid();
    ASSERT_EQ(g.mergedArea(12, 1), QRect(1, 11, 1, 2));
    EXPECT_EQ(g.cellBackColor(11, 1), kWhite);  // its own format is unchanged
    EXPECT_EQ(g.shownBackColor(11, 1), kShade);
    EXPECT_EQ(g.shownBackColor(12, 1), kShade);
    EXPECT_EQ(g.shownBackColor(11, 0), kWhite);
    // As drawn: the middle of the merged cell is grey.
    QTableWidget* t = g.table();
    QApplication::processEvents();
    const QImage drawn = t->viewport()->grab().toImage();
    const QRect cell =
        t->visualRect(t->model()->index(11, 1)).united(t->visualRect(t->model()->index(12, 1)));
    EXPECT_EQ(drawn.pixelColor(cell.center().x() + cell.width() / 3, cell.center().y()), kShade);

    // Merging down into the shaded row: the same.
    GameWindows::instance().stop();
    flushDeletes();
    testing::sql(cs, "UPDATE PLDI SET ZINSC=4000, ZTC=-7, ZVG=-7");
    w = openSheet();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->sheetGrid()->mergedArea(13, 1), QRect(1, 12, 1, 2));
    EXPECT_EQ(w->sheetGrid()->shownBackColor(13, 1), kShade);
    EXPECT_EQ(w->sheetGrid()->shownForeColor(12, 1), kRed);  // the value of the game is negative
}

TEST_F(PerformanceSheetWindow, closeRebuildsTheMainWindow) {
    expectCloseRebuildsTheMainWindow("Form8");
}

TEST_F(PerformanceSheetWindow, minimizeMinimisesTheWindow) {
    expectMinimizeMinimisesTheWindow("Form8");
}

TEST_F(PerformanceSheetWindow, brokenDatabaseIsReported) {
    expectBrokenDatabaseReported("Form8");
}

}  // namespace
}  // namespace tessaro::ui
