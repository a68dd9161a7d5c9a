#include "ui/msflexgrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>
#include <cmath>
#include <limits>
#include <utility>

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;

// Pixels for a size in twips, worked out from the screen's DPI (1440 twips to
// the inch) rather than through the conversion the grid uses.
int pixelsAcross(int twips) {
    return static_cast<int>(
        std::lround(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0));
}
int pixelsDown(int twips) {
    return static_cast<int>(
        std::lround(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0));
}

// A grid of the given size with no fixed rows or columns.
void plain(MSFlexGrid& grid, int rows, int cols) {
    grid.setRows(rows);
    grid.setCols(cols);
    grid.setFixedRows(0);
    grid.setFixedCols(0);
}

void selectRange(MSFlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

// Every cell's block, as the grid reports it, is the span the table draws.
void expectTableSpansMatch(const MSFlexGrid& grid) {
    const QTableWidget* table = grid.table();
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            const QRect block = grid.mergedArea(r, c);
            ASSERT_TRUE(block.contains(c, r)) << r << "," << c;
            if (block.topLeft() == QPoint(c, r)) {
                EXPECT_EQ(table->rowSpan(r, c), block.height()) << r << "," << c;
                EXPECT_EQ(table->columnSpan(r, c), block.width()) << r << "," << c;
            }
        }
    }
}

Qt::Alignment shownAlignment(const MSFlexGrid& grid, int row, int col) {
    return grid.table()->item(row, col)->data(Qt::TextAlignmentRole).value<Qt::Alignment>();
}

// ---------------------------------------------------------------------------

TEST(GridShape, startsAsTheOldControlWithFixedCellsInGrey) {
    MSFlexGrid grid;
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedCols(), 1);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.mergeCells(), MSFlexGrid::MergeCells::Never);

    const QColor grey(192, 192, 192);
    EXPECT_EQ(grid.cellBackColor(0, 0), grey);
    EXPECT_EQ(grid.cellBackColor(0, 1), grey);
    EXPECT_EQ(grid.cellBackColor(1, 0), grey);
    EXPECT_EQ(grid.cellBackColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(grid.cellForeColor(1, 1), QColor(Qt::black));
    EXPECT_EQ(grid.table()->item(0, 1)->background().color(), grey);
    EXPECT_EQ(grid.table()->item(1, 1)->background().color(), QColor(Qt::white));

    // Fixed cells are ordinary cells: no headers, nothing to edit or select.
    const QTableWidget* table = grid.table();
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->columnCount(), 2);
    EXPECT_TRUE(table->horizontalHeader()->isHidden());
    EXPECT_TRUE(table->verticalHeader()->isHidden());
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(table->item(1, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(table->item(1, 1)->flags() & Qt::ItemIsSelectable);
    EXPECT_TRUE(table->showGrid());
}

TEST(GridShape, fixedCellsFollowTheFixedCountsAndColour) {
    MSFlexGrid grid;
    grid.setRows(4);
    grid.setCols(3);
    grid.setFixedRows(2);
    grid.setFixedCols(0);
    EXPECT_EQ(grid.cellBackColor(1, 2), QColor(192, 192, 192));
    EXPECT_EQ(grid.cellBackColor(2, 0), QColor(Qt::white));

    grid.setBackColorFixed(QColor(10, 20, 30));
    EXPECT_EQ(grid.cellBackColor(0, 0), QColor(10, 20, 30));
    EXPECT_EQ(grid.table()->item(1, 1)->background().color(), QColor(10, 20, 30));
    EXPECT_EQ(grid.cellBackColor(3, 0), QColor(Qt::white));

    grid.setFixedRows(0);
    EXPECT_EQ(grid.cellBackColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(grid.table()->item(0, 0)->background().color(), QColor(Qt::white));
}

TEST(GridShape, resizingKeepsTheCellsThatRemain) {
    MSFlexGrid grid;
    plain(grid, 4, 3);
    grid.setTextMatrix(1, 1, "kept");
    grid.setTextMatrix(3, 2, "dropped");
    grid.setRow(1);
    grid.setCol(1);
    grid.setCellFontBold(true);
    grid.setCellBackColor(QColor(214, 211, 214));
    grid.setCellAlignment(Align::RightBottom);
    grid.setRow(3);
    grid.setCol(2);
    grid.setCellFontSize(14);

    grid.setRows(2);
    grid.setCols(2);
    EXPECT_EQ(grid.table()->rowCount(), 2);
    EXPECT_EQ(grid.table()->columnCount(), 2);
    EXPECT_EQ(grid.textMatrix(1, 1), "kept");
    EXPECT_TRUE(grid.cellFontBold(1, 1));
    EXPECT_EQ(grid.cellBackColor(1, 1), QColor(214, 211, 214));
    EXPECT_EQ(grid.cellAlignment(1, 1), Align::RightBottom);
    EXPECT_EQ(grid.table()->item(1, 1)->text(), "kept");
    // The current cell stays inside the smaller grid.
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);

    // Cells that come back are new ones.
    grid.setRows(4);
    grid.setCols(3);
    EXPECT_EQ(grid.textMatrix(3, 2), "");
    EXPECT_EQ(grid.table()->item(3, 2)->text(), "");
    EXPECT_EQ(grid.cellFontSize(3, 2), grid.font().pointSizeF());
    EXPECT_EQ(grid.textMatrix(1, 1), "kept");
    EXPECT_TRUE(grid.cellFontBold(1, 1));
}

TEST(GridShape, fixedCountsStayWithinTheGrid) {
    MSFlexGrid grid;
    grid.setRows(3);
    grid.setFixedRows(4);  // more than there are: ignored
    EXPECT_EQ(grid.fixedRows(), 1);
    grid.setFixedRows(3);
    grid.setRows(2);  // the fixed rows shrink with the grid
    EXPECT_EQ(grid.fixedRows(), 2);
    grid.setFixedCols(-1);
    EXPECT_EQ(grid.fixedCols(), 1);
}

// ---------------------------------------------------------------------------

TEST(GridSizes, widthsAndHeightsRoundTripInTwipsAndBecomePixels) {
    MSFlexGrid grid;
    plain(grid, 7, 6);
    const int widths[] = {3000, 2500, 2500, 3000, 2500, 2500};
    for (int c = 0; c < 6; ++c) grid.setColWidth(c, widths[c]);
    for (int r = 0; r < 7; ++r) grid.setRowHeight(r, 500);

    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid.colWidth(c), widths[c]);
        EXPECT_EQ(grid.table()->columnWidth(c), pixelsAcross(widths[c])) << c;
    }
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(grid.rowHeight(r), 500);
        EXPECT_EQ(grid.table()->rowHeight(r), pixelsDown(500)) << r;
    }
    // Narrow sizes are not widened to some minimum.
    grid.setColWidth(1, 30);
    grid.setRowHeight(1, 0);
    EXPECT_EQ(grid.table()->columnWidth(1), pixelsAcross(30));
    EXPECT_EQ(grid.table()->rowHeight(1), 0);
}

TEST(GridSizes, minusOneRestoresTheDefaultAndOtherNegativesAreIgnored) {
    MSFlexGrid grid;
    const int defaultWidth = grid.colWidth(0);
    const int defaultHeightPixels = grid.table()->rowHeight(0);
    EXPECT_GT(defaultWidth, 0);
    EXPECT_GT(defaultHeightPixels, 0);

    grid.setColWidth(0, 8000);
    grid.setRowHeight(0, 800);
    grid.setColWidth(0, -5);
    grid.setRowHeight(0, -2);
    EXPECT_EQ(grid.colWidth(0), 8000);
    EXPECT_EQ(grid.rowHeight(0), 800);

    grid.setColWidth(0, -1);
    grid.setRowHeight(0, -1);
    EXPECT_EQ(grid.colWidth(0), defaultWidth);
    EXPECT_EQ(grid.table()->columnWidth(0), pixelsAcross(defaultWidth));
    EXPECT_EQ(grid.table()->rowHeight(0), defaultHeightPixels);
}

TEST(GridSizes, defaultRowHeightsFollowTheFontAndSetOnesStay) {
    MSFlexGrid grid;
    grid.setRowHeight(1, 500);
    const int before = grid.table()->rowHeight(0);
    QFont big = grid.font();
    big.setPointSizeF(big.pointSizeF() * 3);
    grid.setFont(big);
    EXPECT_GT(grid.table()->rowHeight(0), before);
    EXPECT_EQ(grid.table()->rowHeight(1), pixelsDown(500));
    EXPECT_EQ(grid.rowHeight(1), 500);
}

// ---------------------------------------------------------------------------

TEST(GridSelection, settingRowOrColCollapsesTheSelection) {
    MSFlexGrid grid;
    plain(grid, 15, 4);
    selectRange(grid, 1, 0, 14, 3);
    EXPECT_EQ(grid.rowSel(), 14);
    EXPECT_EQ(grid.colSel(), 3);

    grid.setRow(5);
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.rowSel(), 5);
    EXPECT_EQ(grid.colSel(), 0);

    grid.setRowSel(9);
    grid.setColSel(2);
    grid.setCol(3);
    EXPECT_EQ(grid.col(), 3);
    EXPECT_EQ(grid.colSel(), 3);
    EXPECT_EQ(grid.rowSel(), 5);
}

TEST(GridSelection, repeatFormatsTheWholeRangeInEitherDirection) {
    MSFlexGrid grid;
    plain(grid, 6, 5);
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    // Current cell at the bottom right, the other corner above and left.
    selectRange(grid, 4, 3, 1, 1);
    grid.setCellFontBold(true);
    grid.setCellBackColor(QColor(214, 211, 214));
    grid.setCellAlignment(Align::CenterCenter);

    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 5; ++c) {
            const bool inside = r >= 1 && r <= 4 && c >= 1 && c <= 3;
            EXPECT_EQ(grid.cellFontBold(r, c), inside) << r << "," << c;
            EXPECT_EQ(grid.cellBackColor(r, c), inside ? QColor(214, 211, 214) : QColor(Qt::white))
                << r << "," << c;
            EXPECT_EQ(grid.cellAlignment(r, c), inside ? Align::CenterCenter : Align::General)
                << r << "," << c;
            EXPECT_EQ(grid.table()->item(r, c)->font().bold(), inside) << r << "," << c;
        }
    }
}

TEST(GridSelection, singleFormatsOnlyTheCurrentCell) {
    MSFlexGrid grid;
    plain(grid, 3, 3);
    grid.setFillStyle(MSFlexGrid::FillStyle::Single);
    selectRange(grid, 0, 0, 2, 2);
    grid.setCellForeColor(QColor(255, 0, 0));
    grid.setCellFontSize(16);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool current = r == 0 && c == 0;
            EXPECT_EQ(grid.cellForeColor(r, c), current ? QColor(255, 0, 0) : QColor(Qt::black))
                << r << "," << c;
            EXPECT_EQ(grid.cellFontSize(r, c), current ? 16.0 : grid.font().pointSizeF())
                << r << "," << c;
        }
    }
    EXPECT_EQ(grid.table()->item(0, 0)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(grid.table()->item(0, 0)->font().pointSizeF(), 16.0);
}

TEST(GridSelection, aLaterFormatOverridesAnEarlierOneOnlyWhereItReaches) {
    // The performance sheet's order: everything centred, then column 0 left.
    MSFlexGrid grid;
    plain(grid, 15, 2);
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectRange(grid, 0, 0, 14, 1);
    grid.setCellAlignment(Align::CenterCenter);
    selectRange(grid, 1, 0, 14, 0);
    grid.setCellAlignment(Align::LeftCenter);

    EXPECT_EQ(grid.cellAlignment(0, 0), Align::CenterCenter);
    EXPECT_EQ(grid.cellAlignment(7, 0), Align::LeftCenter);
    EXPECT_EQ(grid.cellAlignment(7, 1), Align::CenterCenter);
    EXPECT_EQ(shownAlignment(grid, 7, 0), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(shownAlignment(grid, 7, 1), Qt::AlignHCenter | Qt::AlignVCenter);
}

// ---------------------------------------------------------------------------

TEST(GridAlignment, eachAlignmentIsDrawnAsItSays) {
    MSFlexGrid grid;
    plain(grid, 1, 1);
    grid.setRow(0);
    grid.setCol(0);
    grid.setTextMatrix(0, 0, "x");
    const std::pair<Align, Qt::Alignment> cases[] = {
        {Align::LeftTop, Qt::AlignLeft | Qt::AlignTop},
        {Align::LeftCenter, Qt::AlignLeft | Qt::AlignVCenter},
        {Align::LeftBottom, Qt::AlignLeft | Qt::AlignBottom},
        {Align::CenterTop, Qt::AlignHCenter | Qt::AlignTop},
        {Align::CenterCenter, Qt::AlignHCenter | Qt::AlignVCenter},
        {Align::CenterBottom, Qt::AlignHCenter | Qt::AlignBottom},
        {Align::RightTop, Qt::AlignRight | Qt::AlignTop},
        {Align::RightCenter, Qt::AlignRight | Qt::AlignVCenter},
        {Align::RightBottom, Qt::AlignRight | Qt::AlignBottom},
    };
    for (const auto& [alignment, drawn] : cases) {
        grid.setCellAlignment(alignment);
        EXPECT_EQ(grid.cellAlignment(0, 0), alignment);
        EXPECT_EQ(shownAlignment(grid, 0, 0), drawn);
    }
}

TEST(GridAlignment, generalPutsNumbersRightAndTextLeftAndFollowsTheText) {
    MSFlexGrid grid;
    plain(grid, 1, 3);
    grid.setTextMatrix(0, 0, "-1234");
    grid.setTextMatrix(0, 1, "Order Backlog");
    grid.setTextMatrix(0, 2, "12.5");
    EXPECT_EQ(shownAlignment(grid, 0, 0), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(shownAlignment(grid, 0, 1), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(shownAlignment(grid, 0, 2), Qt::AlignRight | Qt::AlignVCenter);
    grid.setTextMatrix(0, 0, "Total");
    EXPECT_EQ(shownAlignment(grid, 0, 0), Qt::AlignLeft | Qt::AlignVCenter);
}

// ---------------------------------------------------------------------------

TEST(GridFonts, cellsWithoutASizeFollowTheGridsFontAndSetSizesStay) {
    MSFlexGrid grid;
    plain(grid, 2, 2);
    QFont base = grid.font();
    base.setPointSizeF(8);
    base.setBold(false);
    grid.setFont(base);
    EXPECT_EQ(grid.cellFontSize(1, 1), 8.0);
    EXPECT_FALSE(grid.cellFontBold(1, 1));

    grid.setRow(0);
    grid.setCol(0);
    grid.setCellFontSize(10);
    grid.setCellFontBold(true);

    // The layout scaling multiplies the control's font size.
    QFont scaled = grid.font();
    scaled.setPointSizeF(8 * 1.5);
    grid.setFont(scaled);

    EXPECT_EQ(grid.cellFontSize(0, 0), 10.0);
    EXPECT_EQ(grid.table()->item(0, 0)->font().pointSizeF(), 10.0);
    EXPECT_TRUE(grid.table()->item(0, 0)->font().bold());
    EXPECT_EQ(grid.cellFontSize(1, 1), 12.0);
    EXPECT_EQ(grid.table()->item(1, 1)->font().pointSizeF(), 12.0);
    EXPECT_FALSE(grid.table()->item(1, 1)->font().bold());
    EXPECT_EQ(grid.table()->item(1, 1)->font().family(), scaled.family());
}

// ---------------------------------------------------------------------------

// The performance sheet: 15 rows of a text column and a value column,
// merging allowed along row 6 and down both columns.
class SheetMerging : public testing::Test {
protected:
    void SetUp() override {
        plain(grid, 15, 2);
        const char* lines[] = {"Earning Side",
                               "1. Earnings From Orders Filled in this plan :",
                               "Cost Side",
                               "1. Costs of Order Backlog in this plan :",
                               "2. Costs of Production in this plan :",
                               "3. Costs of Inventory in this plan :",
                               "4. Manpower Costs :",
                               "   a) Costs of Hiring New People :",
                               "   b) Salaries to Experienced People :",
                               "   c) Salaries to Trainees :",
                               "   d) Costs of people quitting :",
                               "Total, (a) + (b) + (c) + (d) :",
                               "5. Total Costs in this plan (1+2+3+4)",
                               "Value of The Game :      ",
                               "Average Value of The Game :      "};
        const char* values[] = {"Values in 1000 Rs.",
                                "9120",
                                "Values in 1000 Rs.",
                                "35",
                                "4410",
                                "12",
                                "4. Manpower Costs :",
                                "0",
                                "2700",
                                "0",
                                "0",
                                "2760",
                                "7217",
                                "1903",
                                "-84"};
        for (int r = 0; r < 15; ++r) {
            grid.setTextMatrix(r, 0, lines[r]);
            grid.setTextMatrix(r, 1, values[r]);
        }
        grid.setMergeCells(MSFlexGrid::MergeCells::Free);
        grid.setMergeRow(6, true);
        grid.setMergeCol(0, true);
        grid.setMergeCol(1, true);
    }

    MSFlexGrid grid;
};

TEST_F(SheetMerging, manpowerHeadingRowShowsOneCellAcrossBothColumns) {
    EXPECT_EQ(grid.mergedArea(6, 0), QRect(0, 6, 2, 1));
    EXPECT_EQ(grid.mergedArea(6, 1), QRect(0, 6, 2, 1));
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 2);
    EXPECT_EQ(grid.table()->rowSpan(6, 0), 1);
    expectTableSpansMatch(grid);
}

TEST_F(SheetMerging, equalValuesDownAColumnMergeEvenAsNumbers) {
    // Rows 9 and 10 both cost 0; row 7 is also 0 but row 8 lies between.
    EXPECT_EQ(grid.mergedArea(9, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(grid.mergedArea(10, 1), QRect(1, 9, 1, 2));
    EXPECT_EQ(grid.mergedArea(7, 1), QRect(1, 7, 1, 1));
    // The two "Values in 1000 Rs." headings are not adjacent.
    EXPECT_EQ(grid.mergedArea(0, 1), QRect(1, 0, 1, 1));
    EXPECT_EQ(grid.mergedArea(2, 1), QRect(1, 2, 1, 1));
    // Every other cell of the sheet stands alone.
    for (int r = 0; r < 15; ++r) {
        if (r == 6) continue;
        EXPECT_EQ(grid.mergedArea(r, 0), QRect(0, r, 1, 1)) << r;
        if (r != 9 && r != 10) {
            EXPECT_EQ(grid.mergedArea(r, 1), QRect(1, r, 1, 1)) << r;
        }
    }
    expectTableSpansMatch(grid);
}

TEST_F(SheetMerging, mergesFollowTextChanges) {
    EXPECT_EQ(grid.mergedArea(9, 1).height(), 2);
    grid.setTextMatrix(10, 1, "5");
    EXPECT_EQ(grid.mergedArea(9, 1), QRect(1, 9, 1, 1));
    EXPECT_EQ(grid.mergedArea(10, 1), QRect(1, 10, 1, 1));
    EXPECT_EQ(grid.table()->rowSpan(9, 1), 1);

    grid.setTextMatrix(8, 1, "0");  // now rows 7 to 9 all read 0
    EXPECT_EQ(grid.mergedArea(8, 1), QRect(1, 7, 1, 3));
    EXPECT_EQ(grid.table()->rowSpan(7, 1), 3);

    grid.setTextMatrix(6, 1, "");  // the heading no longer spans the row
    EXPECT_EQ(grid.mergedArea(6, 0), QRect(0, 6, 1, 1));
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 1);
    expectTableSpansMatch(grid);
}

TEST_F(SheetMerging, mergesFollowTheMergeSettings) {
    grid.setMergeRow(6, false);
    EXPECT_EQ(grid.mergedArea(6, 0), QRect(0, 6, 1, 1));
    grid.setMergeCol(1, false);
    EXPECT_EQ(grid.mergedArea(9, 1), QRect(1, 9, 1, 1));
    grid.setMergeRow(6, true);
    grid.setMergeCol(1, true);
    grid.setMergeCells(MSFlexGrid::MergeCells::Never);
    EXPECT_EQ(grid.mergedArea(6, 0), QRect(0, 6, 1, 1));
    EXPECT_EQ(grid.mergedArea(9, 1), QRect(1, 9, 1, 1));
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 1);
    EXPECT_EQ(grid.table()->rowSpan(9, 1), 1);
}

TEST_F(SheetMerging, theEventLoopBringsTheTableUpToDateWithoutBeingAsked) {
    QTableWidget* table = grid.table();
    grid.setTextMatrix(4, 1, "12");  // rows 4 and 5 now both read 12
    grid.setTextMatrix(6, 1, "");
    QCoreApplication::processEvents();
    EXPECT_EQ(table->rowSpan(4, 1), 2);
    EXPECT_EQ(table->columnSpan(6, 0), 1);
}

TEST_F(SheetMerging, theMergedBlockIsDrawnWithItsTopLeftCellsFormat) {
    grid.setFillStyle(MSFlexGrid::FillStyle::Single);
    selectRange(grid, 6, 0, 6, 0);
    grid.setCellAlignment(Align::CenterCenter);
    selectRange(grid, 6, 1, 6, 1);
    grid.setCellAlignment(Align::RightTop);
    // The table draws a span with the item at its top-left corner.
    const QRect block = grid.mergedArea(6, 1);
    EXPECT_EQ(block.topLeft(), QPoint(0, 6));
    EXPECT_EQ(shownAlignment(grid, block.y(), block.x()), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(grid.table()->columnSpan(6, 0), 2);
}

TEST(GridMerging, aCellThatCouldMergeBothWaysGoesWithItsRow) {
    MSFlexGrid grid;
    plain(grid, 2, 2);
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    for (int i = 0; i < 2; ++i) {
        grid.setMergeRow(i, true);
        grid.setMergeCol(i, true);
    }
    grid.setTextMatrix(0, 0, "A");
    grid.setTextMatrix(0, 1, "A");
    grid.setTextMatrix(1, 0, "A");
    grid.setTextMatrix(1, 1, "B");
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 2, 1));
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 1, 1));
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(1, 1, 1, 1));
    expectTableSpansMatch(grid);

    // Two equal row blocks over the same columns stack into one.
    grid.setTextMatrix(1, 1, "A");
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(0, 0, 2, 2));
    expectTableSpansMatch(grid);

    // ...but only where every one of their columns allows it.
    grid.setMergeCol(1, false);
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 2, 1));
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 2, 1));
    expectTableSpansMatch(grid);
}

TEST(GridMerging, rowBlocksOfDifferentWidthsDoNotStack) {
    MSFlexGrid grid;
    plain(grid, 2, 3);
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    for (int i = 0; i < 3; ++i) grid.setMergeCol(i, true);
    grid.setMergeRow(0, true);
    for (int c = 0; c < 3; ++c) {
        grid.setTextMatrix(0, c, "X");
        grid.setTextMatrix(1, c, "X");
    }
    // Row 1 may not merge along, so its cells are left one by one; row 0's
    // wide block cannot take them in.
    EXPECT_EQ(grid.mergedArea(0, 2), QRect(0, 0, 3, 1));
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 1, 1, 1));
    EXPECT_EQ(grid.mergedArea(1, 2), QRect(2, 1, 1, 1));
    expectTableSpansMatch(grid);
}

TEST(GridMerging, nothingMergesWhereItIsNotAllowed) {
    MSFlexGrid grid;
    plain(grid, 3, 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) grid.setTextMatrix(r, c, "same");
    }
    // Free, but no row or column allows merging.
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.mergedArea(r, c), QRect(c, r, 1, 1));
    }
    // Allowed everywhere, but the grid does not merge.
    for (int i = 0; i < 3; ++i) {
        grid.setMergeRow(i, true);
        grid.setMergeCol(i, true);
    }
    grid.setMergeCells(MSFlexGrid::MergeCells::Never);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.mergedArea(r, c), QRect(c, r, 1, 1));
    }
    expectTableSpansMatch(grid);
    // And everything merges once it does.
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(0, 0, 3, 3));
}

TEST(GridMerging, emptyCellsAndTheFixedEdgeKeepCellsApart) {
    MSFlexGrid grid;
    grid.setRows(4);
    grid.setCols(3);  // row 0 and column 0 fixed
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    for (int i = 0; i < 4; ++i) grid.setMergeRow(i, true);
    for (int i = 0; i < 3; ++i) grid.setMergeCol(i, true);
    // Nothing written: an unfilled grid keeps all its cells.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.mergedArea(r, c), QRect(c, r, 1, 1));
    }
    grid.setTextMatrix(0, 1, "Level");  // fixed
    grid.setTextMatrix(1, 1, "Level");  // ordinary, right below
    grid.setTextMatrix(2, 0, "7");      // fixed
    grid.setTextMatrix(2, 1, "7");      // ordinary, right beside
    EXPECT_EQ(grid.mergedArea(0, 1), QRect(1, 0, 1, 1));
    EXPECT_EQ(grid.mergedArea(1, 1), QRect(1, 1, 1, 1));
    EXPECT_EQ(grid.mergedArea(2, 0), QRect(0, 2, 1, 1));
    EXPECT_EQ(grid.mergedArea(2, 1), QRect(1, 2, 1, 1));
    expectTableSpansMatch(grid);

    // Fixed cells merge among themselves.
    grid.setTextMatrix(0, 2, "Level");
    EXPECT_EQ(grid.mergedArea(0, 1), QRect(1, 0, 2, 1));
    grid.setTextMatrix(3, 0, "7");
    EXPECT_EQ(grid.mergedArea(3, 0), QRect(0, 2, 1, 2));
    expectTableSpansMatch(grid);
}

TEST(GridMerging, resizingReworksTheBlocks) {
    MSFlexGrid grid;
    plain(grid, 4, 1);
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    grid.setMergeCol(0, true);
    for (int r = 0; r < 4; ++r) grid.setTextMatrix(r, 0, "0");
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 1, 4));
    grid.setRows(2);
    EXPECT_EQ(grid.mergedArea(1, 0), QRect(0, 0, 1, 2));
    grid.setRows(3);  // the new row is empty
    EXPECT_EQ(grid.mergedArea(2, 0), QRect(0, 2, 1, 1));
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 1, 2));
    expectTableSpansMatch(grid);
}

// ---------------------------------------------------------------------------

TEST(GridBadInput, badIndexesAreIgnoredAndReadAsEmpty) {
    MSFlexGrid grid;
    plain(grid, 3, 2);
    grid.setTextMatrix(1, 1, "x");
    grid.setColWidth(1, 2500);
    grid.setRowHeight(1, 500);

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
        EXPECT_EQ(grid.rowHeight(bad), 0);
        EXPECT_FALSE(grid.mergeRow(bad));
    }
    for (int bad : {-1, 2, 1000}) {
        grid.setColWidth(bad, 100);
        grid.setMergeCol(bad, true);
        EXPECT_EQ(grid.colWidth(bad), 0);
        EXPECT_FALSE(grid.mergeCol(bad));
    }
    // The cursor does not leave the grid.
    grid.setRow(1);
    grid.setCol(1);
    grid.setRow(3);
    grid.setCol(-1);
    grid.setRowSel(-2);
    grid.setColSel(2);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.rowSel(), 1);
    EXPECT_EQ(grid.colSel(), 1);
    // The good cells are untouched.
    EXPECT_EQ(grid.textMatrix(1, 1), "x");
    EXPECT_EQ(grid.colWidth(1), 2500);
    EXPECT_EQ(grid.rowHeight(1), 500);
    EXPECT_EQ(grid.table()->rowCount(), 3);
    EXPECT_EQ(grid.table()->columnCount(), 2);
}

TEST(GridBadInput, badSizesAndColoursAreIgnored) {
    MSFlexGrid grid;
    grid.setRows(-1);
    grid.setCols(-3);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);

    grid.setCellFontSize(11);
    grid.setCellBackColor(QColor(1, 2, 3));
    grid.setCellForeColor(QColor(4, 5, 6));
    for (double bad : {0.0, -4.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        grid.setCellFontSize(bad);
    }
    grid.setCellBackColor(QColor());
    grid.setCellForeColor(QColor());
    grid.setBackColorFixed(QColor());
    EXPECT_EQ(grid.cellFontSize(1, 1), 11.0);
    EXPECT_EQ(grid.cellBackColor(1, 1), QColor(1, 2, 3));
    EXPECT_EQ(grid.cellForeColor(1, 1), QColor(4, 5, 6));
    EXPECT_EQ(grid.backColorFixed(), QColor(192, 192, 192));
}

TEST(GridBadInput, anEmptyGridTakesEveryCallQuietly) {
    MSFlexGrid grid;
    grid.setMergeCells(MSFlexGrid::MergeCells::Free);
    grid.setRows(0);
    grid.setCols(0);
    EXPECT_EQ(grid.fixedRows(), 0);
    EXPECT_EQ(grid.fixedCols(), 0);
    grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    grid.setCellFontBold(true);
    grid.setCellAlignment(Align::CenterCenter);
    grid.setCellBackColor(Qt::red);
    grid.setTextMatrix(0, 0, "x");
    EXPECT_TRUE(grid.mergedArea(0, 0).isEmpty());
    EXPECT_EQ(grid.table()->rowCount(), 0);
    QCoreApplication::processEvents();

    // Growing again gives fresh cells.
    grid.setRows(1);
    grid.setCols(1);
    EXPECT_FALSE(grid.cellFontBold(0, 0));
    EXPECT_EQ(grid.mergedArea(0, 0), QRect(0, 0, 1, 1));
}

}  // namespace
}  // namespace tessaro::ui

int main(int argc, char** argv) {
    // Test discovery runs this program at build time, where there may be no
    // display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
