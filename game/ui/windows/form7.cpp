// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form7.h"

#include <QPushButton>
#include <QTableWidget>

#include "model/reports.h"
#include "model/runcommand.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/reportlook.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;

}  // namespace

Form7::Form7() : Form("Form7", kReportClientWidth, kReportClientHeight) {
    m_label1 = add(new FitLabel(this), "Label1", 240, 120, 5880, 495);
    m_label2 = add(new FitLabel(this), "Label2", 6120, 120, 1095, 495);
    m_command2 = add(new QPushButton("Minimize", this), "Command2", 8430, 180, 1455, 375);
    m_command1 = add(new QPushButton("Close", this), "Command1", 10005, 180, 1455, 375);
    m_label4 = add(new QLabel(this), "Label4", kReportGridLeft, 750, kReportGridWidth, 90);
    m_label3 = add(new FitLabel(this), "Label3", 3750, 960, 4200, 495);

    // The decision grid: 2 x 2, no fixed cells.
    m_grid2 =
        add(new MSFlexGrid(this), "MSFlexGrid2", kReportGridLeft, 1560, kReportGridWidth, 1905);
    m_grid2->setRows(2);
    m_grid2->setCols(2);
    m_grid2->setFixedRows(0);
    m_grid2->setFixedCols(0);
    reportGridLook(*m_grid2);

    // The variables grid: 7 x 6 with one fixed row and one fixed column.
    m_grid1 =
        add(new MSFlexGrid(this), "MSFlexGrid1", kReportGridLeft, 3705, kReportGridWidth, 3810);
    m_grid1->setRows(7);
    m_grid1->setCols(6);
    m_grid1->setFixedRows(1);
    m_grid1->setFixedCols(1);
    reportGridLook(*m_grid1);

    connect(m_command1, &QPushButton::clicked, this, [this] { closeCommand(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });
    setTabOrder(m_command2, m_command1);
    setAccessibleText(m_label2, {}, "Plan-quarter number");
    setAccessibleText(m_grid2, "Your Decision Vs Actual");
    setAccessibleText(m_grid1, "Level and rate variables at the end of the plan");

    load();
    fitTextsToBoxes();
    // The bands the load left without a caption.
    nameDecorations(controlList(), "Colour band");
}

void Form7::load() {
    scaleToScreen();
    setBackColor(this, kChildWindowBack);
    setWindowTitle("This Plan Report");

    m_label1->setText("Plan Report For Plan Quarter Number  :");
    reportHeading(m_label1, Qt::AlignLeft | Qt::AlignVCenter, *this);
    reportHeading(m_label2, Qt::AlignCenter, *this);
    m_label4->setText("");
    setBackColor(m_label4, kHeadingBack);
    reportHeading(m_label3, Qt::AlignCenter, *this);
    m_label3->setText("Your Decision Vs Actual");

    model::PlanReport report;
    try {
        report = model::loadPlanReport(GameWindows::instance().connectionString());
    } catch (const std::exception& e) {
        ui::showMessage(this, model::databaseFailureBox(e));
        return;
    }
    // The plan number is shown before a missing accounting row is reported.
    if (report.planNumberShown) m_label2->setText(QString::fromStdString(report.planNumberText));
    if (report.failure) {
        ui::showMessage(this, *report.failure);
        return;
    }

    // The variables grid: everything bold at 10 points, the value columns
    // centred both ways, then back to the first cell.
    MSFlexGrid& g1 = *m_grid1;
    g1.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectCells(g1, 0, 0, g1.rows() - 1, g1.cols() - 1);
    g1.setCellFontBold(true);
    g1.setCellFontSize(10);
    for (int col : {1, 2, 4, 5}) {
        selectCells(g1, 1, col, g1.rows() - 1, col);
        g1.setCellFontBold(true);
        g1.setCellAlignment(Align::CenterCenter);
    }
    g1.setRow(0);
    g1.setCol(0);

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
