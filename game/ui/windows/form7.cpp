// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form7.h"

#include "model/reports.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/reportlook.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;

// The variables grid: everything bold at 10 points, the value columns
// centred both ways, then back to the first cell.
void formatVariables(MSFlexGrid& g) {
    g.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectCells(g, 0, 0, g.rows() - 1, g.cols() - 1);
    g.setCellFontBold(true);
    g.setCellFontSize(10);
    for (int col : {1, 2, 4, 5}) {
        selectCells(g, 1, col, g.rows() - 1, col);
        g.setCellFontBold(true);
        g.setCellAlignment(Align::CenterCenter);
    }
    g.setRow(0);
    g.setCol(0);
}

}  // namespace

Form7::Form7()
    : ReportForm(
          {"Form7", "This Plan Report", "Plan Report For Plan Quarter Number  :", 5880, "Label4"}) {
    m_label3 = add(new FitLabel(this), "Label3", 3750, 960, 4200, 495);
    // The decision grid: 2 x 2, no fixed cells; the variables grid: 7 x 6
    // with one fixed row and one fixed column.
    m_grid2 = addGrid("MSFlexGrid2", 1560, 1905, 2, 2, 0, 0);
    m_grid1 = addGrid("MSFlexGrid1", 3705, 3810, 7, 6, 1, 1);
    setAccessibleText(m_grid2, "Your Decision Vs Actual");
    setAccessibleText(m_grid1, "Level and rate variables at the end of the plan");
    open();
}

void Form7::fill() {
    reportHeading(m_label3, Qt::AlignCenter, *this);
    m_label3->setText("Your Decision Vs Actual");

    model::PlanReport report;
    if (!readGame([&](const std::string& cs) { report = model::loadPlanReport(cs); })) return;
    // The plan number is shown before a missing accounting row is reported.
    if (report.planNumberShown) showPlanNumber(report.planNumberText);
    if (report.failure) {
        showMessage(this, *report.failure);
        return;
    }

    MSFlexGrid& g1 = *m_grid1;
    formatVariables(g1);
    g1.setRows(7);
    const int widths[] = {3000, 2500, 2500, 3000, 2500, 2500};
    for (int c = 0; c < 6; ++c) g1.setColWidth(c, widths[c]);
    for (int r = 0; r < 7; ++r) g1.setRowHeight(r, 500);
    fillCells(g1, report.variablesGrid());

    MSFlexGrid& g2 = *m_grid2;
    g2.setRows(2);
    for (int c = 0; c < 2; ++c) g2.setColWidth(c, 8000);
    for (int r = 0; r < 2; ++r) g2.setRowHeight(r, 800);
    fillCells(g2, report.decisionGrid());
    g2.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectCells(g2, 0, 0, g2.rows() - 1, g2.cols() - 1);
    g2.setCellFontBold(true);
    g2.setCellFontSize(10);
    g2.setCellAlignment(Align::CenterCenter);
    g2.setRow(0);
    g2.setCol(0);
}

}  // namespace tessaro::ui
