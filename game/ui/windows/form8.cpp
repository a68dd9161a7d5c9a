// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form8.h"

#include "model/reports.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/palette.h"
#include "ui/look/reportlook.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

constexpr int kRows = 15;
constexpr int kManpowerRow = 6;
constexpr int kGameValueRow = 13;
constexpr int kAverageValueRow = 14;

using Align = MSFlexGrid::Alignment;

void signColour(MSFlexGrid& grid, int row, bool negative) {
    grid.setRow(row);
    grid.setCol(1);
    grid.setCellForeColor(negative ? kRed : kBlack);
}

// Values centred, line texts on the left, the two heading rows and the
// total-cost row shaded.
void formatSheet(MSFlexGrid& g) {
    g.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectCells(g, 0, 0, kRows - 1, 1);
    g.setCellFontBold(true);
    g.setCellFontSize(10);
    g.setCellAlignment(Align::CenterCenter);
    selectCells(g, 1, 0, kRows - 1, 0);
    g.setCellFontBold(true);
    g.setCellAlignment(Align::LeftCenter);
    for (int row : {0, 2}) {
        selectCells(g, row, 0, row, 1);
        g.setCellFontBold(true);
        g.setCellAlignment(Align::CenterCenter);
        g.setCellBackColor(kShade);
    }
    selectCells(g, 12, 0, 12, 1);
    g.setCellFontBold(true);
    g.setCellBackColor(kShade);
}

}  // namespace

Form8::Form8()
    : ReportForm({"Form8", "Performance Sheet",
                  "Performance Sheet For Plan Quarter Number  :", 6720, "Label3"}) {
    // Two columns and no fixed cells; the load gives it its 15 rows.
    m_grid1 = addGrid("MSFlexGrid1", 960, 6570, 0, 2, 0, 0);
    setAccessibleText(m_grid1, "Performance sheet, values in 1000 Rs.");
    open();
}

void Form8::fill() {
    model::PerformanceSheet sheet;
    if (!readGame([&](const std::string& cs) { sheet = model::loadPerformanceSheet(cs); })) return;
    if (sheet.failure) {
        showMessage(this, *sheet.failure);
        return;
    }
    showPlanNumber(sheet.planNumberText);

    MSFlexGrid& g = *m_grid1;
    g.setRows(kRows);
    for (int c = 0; c < 2; ++c) g.setColWidth(c, 8000);
    for (int r = 0; r < kRows; ++r) g.setRowHeight(r, 500);
    fillCells(g, sheet.grid());

    signColour(g, kGameValueRow, sheet.gameValueRed());
    signColour(g, kAverageValueRow, sheet.averageValueRed());

    // Row 6 shows its heading once across both columns; down the columns
    // equal neighbours merge as well.
    g.setMergeCells(MSFlexGrid::MergeCells::Free);
    g.setMergeRow(kManpowerRow, true);
    g.setMergeCol(0, true);
    g.setMergeCol(1, true);

    formatSheet(g);
}

}  // namespace tessaro::ui
