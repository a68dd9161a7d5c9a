// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form8.h"

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

constexpr int kRows = 15;
constexpr int kManpowerRow = 6;
constexpr int kGameValueRow = 13;
constexpr int kAverageValueRow = 14;

const QColor kShade(214, 211, 214);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

using Align = MSFlexGrid::Alignment;

void signColour(MSFlexGrid& grid, int row, bool negative) {
    grid.setRow(row);
    grid.setCol(1);
    grid.setCellForeColor(negative ? kRed : kBlack);
}

}  // namespace

Form8::Form8() : Form("Form8", kReportClientWidth, kReportClientHeight) {
    m_label1 = add(new FitLabel(this), "Label1", 240, 120, 6720, 495);
    m_label2 = add(new FitLabel(this), "Label2", 6960, 120, 1095, 495);
    m_command2 = add(new QPushButton("Minimize", this), "Command2", 8430, 180, 1455, 375);
    m_command1 = add(new QPushButton("Close", this), "Command1", 10005, 180, 1455, 375);
    m_label3 = add(new QLabel(this), "Label3", kReportGridLeft, 750, kReportGridWidth, 90);

    // Two columns and no fixed cells; the load gives it its 15 rows.
    m_grid1 =
        add(new MSFlexGrid(this), "MSFlexGrid1", kReportGridLeft, 960, kReportGridWidth, 6570);
    m_grid1->setCols(2);
    m_grid1->setFixedRows(0);
    m_grid1->setFixedCols(0);
    reportGridLook(*m_grid1);

    connect(m_command1, &QPushButton::clicked, this, [this] { closeCommand(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });
    setTabOrder(m_command2, m_command1);
    setAccessibleText(m_label2, {}, "Plan-quarter number");
    setAccessibleText(m_grid1, "Performance sheet, values in 1000 Rs.");

    load();
    fitTextsToBoxes();
    // The bands the load left without a caption.
    nameDecorations(controlList(), "Colour band");
}

void Form8::load() {
    scaleToScreen();
    setBackColor(this, kChildWindowBack);
    setWindowTitle("Performance Sheet");

    m_label1->setText("Performance Sheet For Plan Quarter Number  :");
    reportHeading(m_label1, Qt::AlignLeft | Qt::AlignVCenter, *this);
    reportHeading(m_label2, Qt::AlignCenter, *this);
    setBackColor(m_label3, kHeadingBack);
    m_label3->setText("");

    model::PerformanceSheet sheet;
    try {
        sheet = model::loadPerformanceSheet(GameWindows::instance().connectionString());
    } catch (const std::exception& e) {
        ui::showMessage(this, model::databaseFailureBox(e));
        return;
    }
    if (sheet.failure) {
        ui::showMessage(this, *sheet.failure);
        return;
    }
    m_label2->setText(QString::fromStdString(sheet.planNumberText));

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

    // Values centred, line texts on the left, the two heading rows and the
    // total-cost row shaded.
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

}  // namespace tessaro::ui
