// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/msflexgrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "ui/windows/forms.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;
const QColor kGrey(192, 192, 192);
const QColor kShade(214, 211, 214);

// Pixels for twips from the screen's DPI (1440 twips to the inch), not
// through the conversion the grid uses.
int pixels(int twips, bool across) {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = across ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// A grid of the given size with no fixed rows or columns.
void plain(MSFlexGrid& grid, int rows, int cols) {
    grid.setRows(rows);
    grid.setCols(cols);
    grid.setFixedRows(0);
    grid.setFixedCols(0);
}

void select(MSFlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

void allowMerging(MSFlexGrid& grid) {
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    for (int r = 0; r < grid.rows(); ++r) grid.setMergeRow(r, true);
    for (int c = 0; c < grid.cols(); ++c) grid.setMergeCol(c, true);
}

// Every block the grid reports is the span the table draws.
void expectTableSpansMatch(const MSFlexGrid& grid) {
    const QTableWidget* table = grid.table();
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            const QRect block = grid.mergedArea(r, c);
            ASSERT_TRUE(block.contains(c, r)) << r << "," << c;
            if (block.topLeft() != QPoint(c, r)) continue;
            EXPECT_EQ(table->rowSpan(r, c), block.height()) << r << "," << c;
            EXPECT_EQ(table->columnSpan(r, c), block.width()) << r << "," << c;
        }
    }
}

Qt::Alignment shown(const MSFlexGrid& grid, int row, int col) {
    return grid.table()->item(row, col)->data(Qt::TextAlignmentRole).value<Qt::Alignment>();
}

TEST(GridShape, startsAsTheOldControlWithItsFixedCellsInGrey) {
    MSFlexGrid grid;
    EXPECT_EQ(std::vector({grid.rows(), grid.cols(), grid.fixedRows(), grid.fixedCols()}),
              std::vector({2, 2, 1, 1}));
    EXPECT_EQ(std::pair(grid.row(), grid.col()), std::pair(1, 1));
    EXPECT_EQ(grid.cellBackColor(0, 1), kGrey);
    EXPECT_EQ(grid.cellBackColor(1, 0), kGrey);
    EXPECT_EQ(grid.cellBackColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(grid.cellForeColor(1, 1), QColor(Qt::black));

    const QTableWidget* table = grid.table();
    EXPECT_EQ(table->item(0, 1)->background().color(), kGrey);
    EXPECT_EQ(table->item(1, 1)->background().color(), QColor(Qt::white));
    EXPECT_TRUE(table->horizontalHeader()->isHidden());
    EXPECT_TRUE(table->verticalHeader()->isHidden());
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(table->item(1, 1)->flags() & Qt::ItemIsEditable);

    grid.setBackColorFixed(QColor(10, 20, 30));
    EXPECT_EQ(table->item(1, 0)->background().color(), QColor(10, 20, 30));
    grid.setFixedCols(0);
    EXPECT_EQ(grid.cellBackColor(1, 0), QColor(Qt::white));
    EXPECT_EQ(table->item(1, 0)->background().color(), QColor(Qt::white));
}

TEST(GridShape, resizingKeepsTheCellsThatRemain) {
    MSFlexGrid grid;
    plain(grid, 4, 3);
    grid.setTextMatrix(1, 1, "kept");
    grid.setTextMatrix(3, 2, "dropped");
    grid.setRow(1);
    grid.setCol(1);
    grid.setCellFontBold(true);
    grid.setCellBackColor(kShade);
    grid.setCellAlignment(Align::RightBottom);
    select(grid, 3, 2, 3, 2);
    grid.setCellFontSize(14);

    grid.setRows(2);
    grid.setCols(2);
    EXPECT_EQ(grid.table()->rowCount(), 2);
    EXPECT_EQ(grid.table()->columnCount(), 2);
    EXPECT_EQ(std::pair(grid.row(), grid.col()), std::pair(1, 1));  // pulled inside
    EXPECT_EQ(grid.table()->item(1, 1)->text(), "kept");
    EXPECT_TRUE(grid.cellFontBold(1, 1));
    EXPECT_EQ(grid.cellBackColor(1, 1), kShade);
    EXPECT_EQ(grid.cellAlignment(1, 1), Align::RightBottom);

    grid.setRows(4);  // cells that come back are new
    grid.setCols(3);
    EXPECT_EQ(grid.textMatrix(3, 2), "");
    EXPECT_EQ(grid.table()->item(3, 2)->text(), "");
    EXPECT_EQ(grid.cellFontSize(3, 2), grid.font().pointSizeF());
    EXPECT_EQ(grid.textMatrix(1, 1), "kept");

    grid.setFixedRows(5);  // more than there are: ignored
    EXPECT_EQ(grid.fixedRows(), 0);
    grid.setFixedRows(4);
    grid.setRows(3);  // the fixed rows shrink with the grid
    EXPECT_EQ(grid.fixedRows(), 3);
}

TEST(GridSizes, twipsRoundTripAndBecomePixels) {
    MSFlexGrid grid;
    plain(grid, 7, 6);
    const int widths[] = {3000, 2500, 2500, 3000, 2500, 30};
    for (int c = 0; c < 6; ++c) grid.setColWidth(c, widths[c]);
    for (int r = 0; r < 7; ++r) grid.setRowHeight(r, r == 6 ? 0 : 500);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid.colWidth(c), widths[c]);
        EXPECT_EQ(grid.table()->columnWidth(c), pixels(widths[c], true)) << c;
    }
    EXPECT_EQ(grid.rowHeight(3), 500);
    EXPECT_EQ(grid.table()->rowHeight(3), pixels(500, false));
    EXPECT_EQ(grid.table()->rowHeight(6), 0);  // no minimum section size

    // -1 goes back to the default; other negatives are ignored.
    MSFlexGrid fresh;
    grid.setColWidth(0, -5);
    grid.setRowHeight(0, -2);
    EXPECT_EQ(grid.colWidth(0), 3000);
    EXPECT_EQ(grid.rowHeight(0), 500);
    grid.setColWidth(0, -1);
    grid.setRowHeight(0, -1);
    EXPECT_EQ(grid.colWidth(0), fresh.colWidth(0));
    EXPECT_EQ(grid.table()->columnWidth(0), pixels(fresh.colWidth(0), true));
    EXPECT_EQ(grid.table()->rowHeight(0), fresh.table()->rowHeight(0));
}

TEST(GridSizes, defaultRowHeightsFollowTheFontAndSetOnesStay) {
    MSFlexGrid grid;
    grid.setRowHeight(1, 500);
    const int before = grid.table()->rowHeight(0);
    QFont big = grid.font();
    big.setPointSizeF(big.pointSizeF() * 3);
    grid.setFont(big);
    EXPECT_GT(grid.table()->rowHeight(0), before);
    EXPECT_EQ(grid.table()->rowHeight(1), pixels(500, false));
}

TEST(GridSelection, settingRowOrColCollapsesTheSelection) {
    MSFlexGrid grid;
    plain(grid, 15, 4);
    select(grid, 1, 0, 14, 3);
    EXPECT_EQ(std::pair(grid.rowSel(), grid.colSel()), std::pair(14, 3));
    grid.setRow(5);
    EXPECT_EQ(std::pair(grid.rowSel(), grid.colSel()), std::pair(5, 0));
    grid.setRowSel(9);
    grid.setColSel(2);
    grid.setCol(3);
    EXPECT_EQ(std::pair(grid.rowSel(), grid.colSel()), std::pair(5, 3));
}

TEST(GridSelection, repeatFormatsTheWholeRangeAndSingleOnlyTheCurrentCell) {
    MSFlexGrid grid;
    plain(grid, 6, 5);
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    select(grid, 4, 3, 1, 1);  // the other corner above and to the left
    grid.setCellFontBold(true);
    grid.setCellBackColor(kShade);
    grid.setFillStyle(MSFlexGrid::FillStyle::Single);
    grid.setCellForeColor(QColor(255, 0, 0));
    grid.setCellFontSize(16);

    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 5; ++c) {
            const bool inside = r >= 1 && r <= 4 && c >= 1 && c <= 3;
            const bool current = r == 4 && c == 3;
            EXPECT_EQ(grid.cellFontBold(r, c), inside) << r << "," << c;
            EXPECT_EQ(grid.cellBackColor(r, c), inside ? kShade : QColor(Qt::white));
            EXPECT_EQ(grid.cellForeColor(r, c), current ? QColor(255, 0, 0) : QColor(Qt::black));
            EXPECT_EQ(grid.cellFontSize(r, c), current ? 16.0 : grid.font().pointSizeF());
            const QTableWidgetItem* item = grid.table()->item(r, c);
            EXPECT_EQ(item->font().bold(), inside) << r << "," << c;
            EXPECT_EQ(item->background().color(), grid.cellBackColor(r, c));
            EXPECT_EQ(item->foreground().color(), grid.cellForeColor(r, c));
        }
    }
    EXPECT_EQ(grid.table()->item(4, 3)->font().pointSizeF(), 16.0);
}

TEST(GridFormats, alignmentsAreDrawnAsTheySayAndGeneralFollowsTheText) {
    MSFlexGrid grid;
    plain(grid, 1, 3);
    grid.setTextMatrix(0, 0, "-1234");
    grid.setTextMatrix(0, 1, "Order Backlog");
    grid.setTextMatrix(0, 2, "x");
    EXPECT_EQ(shown(grid, 0, 0), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(shown(grid, 0, 1), Qt::AlignLeft | Qt::AlignVCenter);
    grid.setTextMatrix(0, 0, "Total");
    EXPECT_EQ(shown(grid, 0, 0), Qt::AlignLeft | Qt::AlignVCenter);

    select(grid, 0, 2, 0, 2);
    const Qt::Alignment across[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment down[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    for (int i = 0; i < 9; ++i) {  // declared across-major: LeftTop, LeftCenter, ...
        grid.setCellAlignment(static_cast<Align>(i));
        EXPECT_EQ(grid.cellAlignment(0, 2), static_cast<Align>(i));
        EXPECT_EQ(shown(grid, 0, 2), across[i / 3] | down[i % 3]) << i;
    }
}

TEST(GridFormats, cellsWithoutASizeFollowTheGridsFontAndSetSizesStay) {
    MSFlexGrid grid;
    QFont base = grid.font();
    base.setPointSizeF(8);
    base.setBold(false);
    grid.setFont(base);
    EXPECT_EQ(grid.cellFontSize(1, 1), 8.0);
    EXPECT_FALSE(grid.cellFontBold(1, 1));
    select(grid, 0, 0, 0, 0);
    grid.setCellFontSize(10);
    grid.setCellFontBold(true);

    base.setPointSizeF(12);  // the layout scaling multiplies the font size
    grid.setFont(base);
    EXPECT_EQ(grid.cellFontSize(0, 0), 10.0);
    EXPECT_EQ(grid.table()->item(0, 0)->font().pointSizeF(), 10.0);
    EXPECT_TRUE(grid.table()->item(0, 0)->font().bold());
    EXPECT_EQ(grid.cellFontSize(1, 1), 12.0);
    EXPECT_EQ(grid.table()->item(1, 1)->font().pointSizeF(), 12.0);
    EXPECT_FALSE(grid.table()->item(1, 1)->font().bold());
}

// The performance sheet's layout: a text column and a value column, merging
// allowed along row 6 and down both columns.
class SheetMerging : public testing::Test {
protected:
    void SetUp() override {
        plain(grid, 15, 2);
        const char* values[] = {"Values in 1000 Rs.",
                                "9120",
                                "Values in 1000 Rs.",
                                "35",
                                "4410",
                                "12",
                                "",
                                "0",
                                "2700",
                                "0",
                                "0",
                                "2760",
                                "7217",
                                "1903",
                                "-84"};
        for (int r = 0; r < 15; ++r) {
            grid.setTextMatrix(r, 0, QString("line %1").arg(r));
            grid.setTextMatrix(r, 1, values[r]);
        }
        grid.setTextMatrix(6, 0, "4. Manpower Costs :");
        grid.setTextMatrix(6, 1, "4. Manpower Costs :");
        grid.setMergeCells(MSFlexGrid::MergeCells::Free);
        grid.setMergeRow(6, true);
        grid.setMergeCol(0, true);
        grid.setMergeCol(1, true);
    }

    MSFlexGrid grid;
};

TEST_F(SheetMerging, headingRowShowsOneCellAndEqualValuesMergeDown) {
    EXPECT_EQ(grid.mergedArea(6, 1), QRect(0, 6, 2, 1));
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 2);
    // Rows 9 and 10 both cost 0; row 7 does too, but row 8 lies between.
    EXPECT_EQ(grid.mergedArea(10, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(grid.table()->rowSpan(9, 1), 2);
    for (int r = 0; r < 15; ++r) {
        if (r == 6) continue;
        EXPECT_EQ(grid.mergedArea(r, 0), QRect(0, r, 1, 1)) << r;
        if (r == 9 || r == 10) continue;
        EXPECT_EQ(grid.mergedArea(r, 1), QRect(1, r, 1, 1)) << r;
    }
    expectTableSpansMatch(grid);
}

TEST_F(SheetMerging, mergesFollowTextsAndSettings) {
    grid.setTextMatrix(10, 1, "5");
    EXPECT_EQ(grid.mergedArea(9, 1), QRect(1, 9, 1, 1));
    EXPECT_EQ(grid.table()->rowSpan(9, 1), 1);
    grid.setTextMatrix(8, 1, "0");  // rows 7 to 9 now read 0
    EXPECT_EQ(grid.mergedArea(8, 1), QRect(1, 7, 1, 3));
    grid.setTextMatrix(6, 1, "");
    EXPECT_EQ(grid.mergedArea(6, 0), QRect(0, 6, 1, 1));
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 1);
    expectTableSpansMatch(grid);

    grid.setMergeCol(1, false);
    EXPECT_EQ(grid.mergedArea(8, 1), QRect(1, 8, 1, 1));
    grid.setMergeCol(1, true);
    grid.setMergeCells(MSFlexGrid::MergeCells::Never);
    EXPECT_EQ(grid.mergedArea(8, 1), QRect(1, 8, 1, 1));
    EXPECT_EQ(grid.table()->rowSpan(7, 1), 1);
}

TEST_F(SheetMerging, theEventLoopUpdatesTheTableWithoutBeingAsked) {
    QTableWidget* table = grid.table();
    grid.setTextMatrix(4, 1, "12");  // rows 4 and 5 now both read 12
    grid.setTextMatrix(6, 1, "");
    QCoreApplication::processEvents();
    EXPECT_EQ(table->rowSpan(4, 1), 2);
    EXPECT_EQ(table->columnSpan(6, 0), 1);
}

TEST(GridMerging, aCellThatCouldMergeBothWaysGoesWithItsRow) {
    MSFlexGrid grid;
    plain(grid, 2, 2);
    allowMerging(grid);
    grid.setTextMatrix(0, 0, "A");
    grid.setTextMatrix(0, 1, "A");
    grid.setTextMatrix(1, 0, "A");
    grid.setTextMatrix(1, 1, "B");
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 2, 1));
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 1, 1));
    expectTableSpansMatch(grid);

    // Equal row blocks over the same columns stack, where all those columns allow it.
    grid.setTextMatrix(1, 1, "A");
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(0, 0, 2, 2));
    grid.setMergeCol(1, false);
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 2, 1));
    expectTableSpansMatch(grid);

    // A wide block does not take in single cells below it.
    grid.setMergeCol(1, true);
    grid.setMergeRow(1, false);
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 2, 1));
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 1, 1));
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(1, 1, 1, 1));
}

TEST(GridMerging, nothingMergesWhereItIsNotAllowed) {
    MSFlexGrid grid;
    plain(grid, 3, 3);
    for (int i = 0; i < 9; ++i) grid.setTextMatrix(i / 3, i % 3, "same");
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);  // but no row or column allows it
    for (int i = 0; i < 9; ++i) EXPECT_EQ(grid.mergedArea(i / 3, i % 3).size(), QSize(1, 1));
    allowMerging(grid);
    grid.setMergeCells(MSFlexGrid::MergeCells::Never);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(grid.mergedArea(i / 3, i % 3).size(), QSize(1, 1));
    expectTableSpansMatch(grid);
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(0, 0, 3, 3));
}

TEST(GridMerging, emptyCellsAndTheFixedEdgeKeepCellsApart) {
    MSFlexGrid grid;
    grid.setRows(4);
    grid.setCols(3);  // row 0 and column 0 fixed
    allowMerging(grid);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(grid.mergedArea(i / 3, i % 3).size(), QSize(1, 1));
    grid.setTextMatrix(0, 1, "Level");  // fixed
    grid.setTextMatrix(1, 1, "Level");  // ordinary, below it
    grid.setTextMatrix(2, 0, "7");      // fixed
    grid.setTextMatrix(2, 1, "7");      // ordinary, beside it
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(1, 1, 1, 1));
    EXPECT_EQ(grid.mergedArea(2, 1), QRect(1, 2, 1, 1));
    // Fixed cells merge among themselves.
    grid.setTextMatrix(0, 2, "Level");
    grid.setTextMatrix(3, 0, "7");
    EXPECT_EQ(grid.mergedArea(0, 1), QRect(1, 0, 2, 1));
    EXPECT_EQ(grid.mergedArea(3, 0), QRect(0, 2, 1, 2));
    expectTableSpansMatch(grid);

    grid.setRows(3);  // resizing reworks the blocks
    EXPECT_EQ(grid.mergedArea(2, 0), QRect(0, 2, 1, 1));
    expectTableSpansMatch(grid);
}

TEST(GridBadInput, badIndexesAreIgnoredAndReadAsEmpty) {
    MSFlexGrid grid;
    plain(grid, 3, 2);
    grid.setTextMatrix(1, 1, "x");
    grid.setColWidth(1, 2500);
    grid.setRowHeight(1, 500);
    select(grid, 1, 1, 1, 1);

    const std::pair<int, int> badCells[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {1000, 1000}};
    for (const auto& [r, c] : badCells) {
        grid.setTextMatrix(r, c, "bad");
        EXPECT_EQ(grid.textMatrix(r, c), "");
        EXPECT_FALSE(grid.cellFontBold(r, c));
        EXPECT_EQ(grid.cellFontSize(r, c), 0.0);
        EXPECT_EQ(grid.cellAlignment(r, c), Align::General);
        EXPECT_FALSE(grid.cellBackColor(r, c).isValid());
        EXPECT_FALSE(grid.cellForeColor(r, c).isValid());
        EXPECT_TRUE(grid.mergedArea(r, c).isEmpty());
    }
    for (int bad : {-1, 3, 1000}) {
        grid.setRowHeight(bad, 100);
        grid.setMergeRow(bad, true);
        grid.setRow(bad);
        grid.setRowSel(bad);
        EXPECT_EQ(grid.rowHeight(bad), 0);
        EXPECT_FALSE(grid.mergeRow(bad));
    }
    for (int bad : {-1, 2, 1000}) {
        grid.setColWidth(bad, 100);
        grid.setMergeCol(bad, true);
        grid.setCol(bad);
        grid.setColSel(bad);
        EXPECT_EQ(grid.colWidth(bad), 0);
        EXPECT_FALSE(grid.mergeCol(bad));
    }
    grid.setRows(-1);
    grid.setCols(-3);
    EXPECT_EQ(std::vector({grid.row(), grid.col(), grid.rowSel(), grid.colSel()}),
              std::vector({1, 1, 1, 1}));
    EXPECT_EQ(std::vector({grid.table()->rowCount(), grid.table()->columnCount(), grid.colWidth(1),
                           grid.rowHeight(1)}),
              std::vector({3, 2, 2500, 500}));
    EXPECT_EQ(grid.textMatrix(1, 1), "x");
}

TEST(GridBadInput, badSizesAndColoursAreIgnored) {
    MSFlexGrid grid;
    grid.setCellFontSize(11);
    grid.setCellBackColor(QColor(1, 2, 3));
    for (double bad : {0.0, -4.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        grid.setCellFontSize(bad);
    }
    grid.setCellBackColor(QColor());
    grid.setCellForeColor(QColor());
    grid.setBackColorFixed(QColor());
    EXPECT_EQ(grid.cellFontSize(1, 1), 11.0);
    EXPECT_EQ(grid.cellBackColor(1, 1), QColor(1, 2, 3));
    EXPECT_EQ(grid.cellForeColor(1, 1), QColor(Qt::black));
    EXPECT_EQ(grid.backColorFixed(), kGrey);
}

TEST(GridBadInput, anEmptyGridTakesEveryCallQuietly) {
    MSFlexGrid grid;
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    grid.setRows(0);
    grid.setCols(0);
    EXPECT_EQ(std::pair(grid.fixedRows(), grid.fixedCols()), std::pair(0, 0));
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    grid.setCellFontBold(true);
    grid.setCellBackColor(Qt::red);
    grid.setTextMatrix(0, 0, "x");
    EXPECT_TRUE(grid.mergedArea(0, 0).isEmpty());
    QCoreApplication::processEvents();
    grid.setRows(1);
    grid.setCols(1);
    EXPECT_FALSE(grid.cellFontBold(0, 0));
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 1, 1));
}

// ---- the grid on a window that is scaled, and cells that must fit ----

TEST(GridZoom, sizesAndCellFontsGrowWithTheWindowWhileTheyReadAsSet) {
    MSFlexGrid grid;
    plain(grid, 3, 2);
    grid.setColWidth(0, 3000);
    grid.setRowHeight(1, 500);
    select(grid, 1, 1, 1, 1);
    grid.setCellFontSize(10);
    grid.scaleContent(2.4f, 1.8f, 2.1f);
    EXPECT_EQ(grid.colWidth(0), 3000);
    EXPECT_EQ(grid.rowHeight(1), 500);
    EXPECT_EQ(grid.cellFontSize(1, 1), 10);
    EXPECT_EQ(grid.table()->columnWidth(0), pixels(3000 * 24 / 10, true));
    EXPECT_EQ(grid.table()->rowHeight(1), pixels(900, false));
    EXPECT_NEAR(grid.shownCellFont(1, 1).pointSizeF(), 21, 1e-6);
    // A size set after the scaling is drawn at the zoom too.
    grid.setColWidth(1, 1000);
    EXPECT_EQ(grid.table()->columnWidth(1), pixels(2400, true));
}

TEST(GridShrink, columnsWiderThanTheBoxShrinkInProportionAndTextsStillFit) {
    MSFlexGrid grid;
    plain(grid, 2, 2);
    grid.resize(300, 200);
    grid.show();
    grid.setShrinkToFit(true);
    const int frame = 2 * grid.table()->frameWidth();
    grid.setColWidth(0, 6000);  // 400 pixels
    grid.setColWidth(1, 3000);  // 200 pixels
    grid.setRowHeight(0, 500);
    grid.setRowHeight(1, 500);
    grid.setTextMatrix(0, 0, "1. Earnings From Orders Filled in this plan :");
    grid.setTextMatrix(1, 1, "Extraordinarilylongwordthatcannotbreak");
    QTableWidget* t = grid.table();
    EXPECT_EQ(t->columnWidth(0) + t->columnWidth(1), 300 - frame);
    EXPECT_NEAR(t->columnWidth(0), 2 * t->columnWidth(1), 1);
    EXPECT_NEAR(grid.columnShrink(), 0.5, 0.01);
    EXPECT_EQ(grid.rowShrink(), 1);
    EXPECT_FALSE(t->horizontalScrollBar()->isVisible());
    // The long line wraps between its words at the size it was given.
    const QFont font = grid.shownCellFont(0, 0);
    EXPECT_EQ(font.pointSizeF(), grid.cellFontSize(0, 0));
    const double room = t->columnWidth(0) - 6;
    EXPECT_GT(QFontMetricsF(font).horizontalAdvance(grid.textMatrix(0, 0)), room);
    // One word too long for its cell is drawn smaller, down to 8 points.
    EXPECT_LT(grid.shownCellFont(1, 1).pointSizeF(), grid.cellFontSize(1, 1));
    EXPECT_GE(grid.shownCellFont(1, 1).pointSizeF(), 8);

    // Rows taller than the box shrink the same way; the box growing lets
    // them back to their size.
    // The unbreakable word keeps its column wide enough to show it whole at
    // 8 points, so the columns scroll sideways and their bar takes its
    // height from the rows.
    for (int r = 0; r < 2; ++r) grid.setRowHeight(r, 2250);  // 150 pixels each
    const int bar = t->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, t);
    EXPECT_EQ(t->rowHeight(0) + t->rowHeight(1), 200 - frame - bar);
    EXPECT_LE(QFontMetricsF(grid.shownCellFont(1, 1)).horizontalAdvance(grid.textMatrix(1, 1)),
              t->columnWidth(1) - 6);
    grid.resize(900, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(t->columnWidth(0), pixels(6000, true));
    EXPECT_EQ(t->rowHeight(0), pixels(2250, false));
    EXPECT_EQ(grid.columnShrink(), 1);
}

TEST(GridShrink, rowsShrinkNoLowerThanTheirLeastShareAndScrollBeyondIt) {
    MSFlexGrid grid;
    plain(grid, 10, 2);
    grid.resize(300, 200);
    grid.show();
    grid.setShrinkToFit(true);
    grid.setLeastRowShrink(0.8);
    const int frame = 2 * grid.table()->frameWidth();
    QTableWidget* t = grid.table();
    for (int c = 0; c < 2; ++c) grid.setColWidth(c, 3000);  // 400 pixels together
    for (int r = 0; r < 10; ++r) {
        grid.setRowHeight(r, 270);  // 18 pixels each, 180 together: they fit
        grid.setTextMatrix(r, 0, "Two words");
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.rowShrink(), 1);
    EXPECT_EQ(t->rowHeight(0), 18);
    EXPECT_FALSE(t->verticalScrollBar()->isVisible());
    EXPECT_EQ(t->columnWidth(0) + t->columnWidth(1), 300 - frame);

    // 216 pixels into 196: drawn lower, as far as the least share.
    for (int r = 0; r < 10; ++r) grid.setRowHeight(r, 330);
    QCoreApplication::processEvents();
    EXPECT_NEAR(grid.rowShrink(), (200.0 - frame) / 220, 0.01);
    EXPECT_FALSE(t->verticalScrollBar()->isVisible());

    // 300 pixels would have to shrink to 0.65: they keep 0.8 and scroll,
    // and the columns fit beside the scroll bar.
    for (int r = 0; r < 10; ++r) grid.setRowHeight(r, 450);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.rowShrink(), 0.8);
    EXPECT_EQ(t->rowHeight(0), 24);
    EXPECT_TRUE(t->verticalScrollBar()->isVisible());
    EXPECT_FALSE(t->horizontalScrollBar()->isVisible());
    EXPECT_LE(t->columnWidth(0) + t->columnWidth(1), t->viewport()->width());
    // Texts still fit the cells they are drawn in.
    EXPECT_EQ(grid.shownCellFont(0, 0).pointSizeF(), grid.cellFontSize(0, 0));

    // No least share: rows shrink as far as the box needs.
    grid.setLeastRowShrink(0);
    QCoreApplication::processEvents();
    EXPECT_LT(grid.rowShrink(), 0.7);
    EXPECT_FALSE(t->verticalScrollBar()->isVisible());
}

TEST(GridShrink, aWrappedTextLeavesTheGridLinesItsPixel) {
    // Two lines exactly as high as the cell with its grid line: the text is
    // drawn smaller, not cut off by the view.
    MSFlexGrid grid;
    plain(grid, 1, 1);
    grid.resize(400, 200);
    grid.show();
    grid.setShrinkToFit(true);
    grid.setTextMatrix(0, 0, "Quarters Played");
    grid.setCellFontSize(12);  // room to draw it smaller above the legible size
    grid.setColWidth(0, 4500);
    grid.setRowHeight(0, 1500);
    const QFont font = grid.shownCellFont(0, 0);
    ASSERT_EQ(font.pointSizeF(), 12);
    const QFontMetricsF m(font);
    const double line =
        m.boundingRect(QRectF(0, 0, 1000, 1000), Qt::TextWordWrap, "Quarters").height();
    const double two = m.boundingRect(QRectF(0, 0, m.horizontalAdvance("Quarters") + 1, 1000),
                                      Qt::TextWordWrap, "Quarters Played")
                           .height();
    ASSERT_GT(two, line);
    // Whole pixels, 15 twips each on the test's screen.
    const int high = static_cast<int>(std::ceil(two));
    grid.setColWidth(0, static_cast<int>(std::ceil(m.horizontalAdvance("Quarters") + 10)) * 15);
    grid.setRowHeight(0, high * 15);
    QCoreApplication::processEvents();
    ASSERT_EQ(grid.table()->rowHeight(0), high);
    EXPECT_LT(grid.shownCellFont(0, 0).pointSizeF(), font.pointSizeF());
    grid.setRowHeight(0, (high + 1) * 15);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.shownCellFont(0, 0).pointSizeF(), font.pointSizeF());
}

TEST_F(SheetMerging, aShadedCellColoursTheBlockItMergesInto) {
    // Rows 9 and 10 merge in the value column; row 10 alone is shaded.
    select(grid, 10, 0, 10, 1);
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    grid.setCellBackColor(kShade);
    ASSERT_EQ(grid.mergedArea(10, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(grid.cellBackColor(9, 1), QColor(Qt::white));
    EXPECT_EQ(grid.shownBackColor(9, 1), kShade);
    EXPECT_EQ(grid.table()->item(9, 1)->background().color(), kShade);
    // The top-left cell's own colour comes first.
    select(grid, 9, 1, 9, 1);
    grid.setCellBackColor(QColor(255, 255, 0));
    EXPECT_EQ(grid.shownBackColor(10, 1), QColor(255, 255, 0));
    // Cells that stand alone keep their own.
    EXPECT_EQ(grid.shownBackColor(10, 0), kShade);
    EXPECT_EQ(grid.shownBackColor(8, 1), QColor(Qt::white));
}

}  // namespace
}  // namespace tessaro::ui

int main(int argc, char** argv) {
    // Test discovery runs this program at build time, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tessaro::ui::setUpLook();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
