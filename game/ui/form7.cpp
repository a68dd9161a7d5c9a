#include "form7.h"

#include <QPushButton>
#include <QTableWidget>

#include "gamewindows.h"
#include "messages.h"
#include "model/reports.h"
#include "model/runcommand.h"
#include "msflexgrid.h"

namespace tessaro::ui {
namespace {

// Design client size in twips: inside the main window's client area
// (11880 x 8190 on an 800 x 600 screen) together with the child window's
// frame, so the area shows no scroll bars of its own.
constexpr double kClientWidth = 11700;
constexpr double kClientHeight = 7650;

// Both grids are 16000 twips wide, more than an 800 x 600 screen holds; their
// boxes take the window's width and scroll sideways where the screen is too
// small. Each box is tall enough for its rows and a horizontal scroll bar,
// so the bar never hides the last row.
constexpr double kGridLeft = 240;
constexpr double kGridWidth = 11220;

const QColor kWindowBack(72, 209, 204);
const QColor kHeadingBack(192, 255, 192);
const QColor kHeadingText(0, 0, 255);

using Align = MSFlexGrid::Alignment;

// The grid as the old control was placed on the window: its default face,
// and the window's colour wherever the box is bigger than its cells. The load
// sets the column widths and row heights in twips after the scaling, so on a
// large screen the box outgrows the cells; without a white block and a frame
// around the rest, the grid looks as large as its cells.
void designGrid(MSFlexGrid& grid) {
    grid.setFont(gameFont("MS Sans Serif", 8.25));
    QTableWidget* table = grid.table();
    table->setStyleSheet(table->styleSheet() +
                         QString(" QTableView { background-color: %1; }").arg(kWindowBack.name()));
    table->setFrameShape(QFrame::NoFrame);
}

// Selects the cells from (row, col) to (rowSel, colSel).
void select(MSFlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

void fill(MSFlexGrid& grid, const model::TextGrid& texts) {
    for (std::size_t r = 0; r < texts.size(); ++r) {
        for (std::size_t c = 0; c < texts[r].size(); ++c)
            grid.setTextMatrix(static_cast<int>(r), static_cast<int>(c),
                               QString::fromStdString(texts[r][c]));
    }
}

void heading(QLabel* label, Qt::Alignment alignment) {
    label->setFont(gameFont("Times New Roman", 16, true));
    label->setAlignment(alignment);
    setColors(label, kHeadingBack, kHeadingText);
}

}  // namespace

Form7::Form7() : Form("Form7", kClientWidth, kClientHeight) {
    m_label1 = add(new FitLabel(this), "Label1", 240, 120, 5880, 495);
    m_label2 = add(new FitLabel(this), "Label2", 6120, 120, 1095, 495);
    m_command2 = add(new QPushButton("Minimize", this), "Command2", 8430, 180, 1455, 375);
    m_command1 = add(new QPushButton("Close", this), "Command1", 10005, 180, 1455, 375);
    m_label4 = add(new QLabel(this), "Label4", kGridLeft, 750, kGridWidth, 90);
    m_label3 = add(new FitLabel(this), "Label3", 3750, 960, 4200, 495);

    // The decision grid: 2 x 2, no fixed cells.
    m_grid2 = add(new MSFlexGrid(this), "MSFlexGrid2", kGridLeft, 1560, kGridWidth, 1905);
    m_grid2->setRows(2);
    m_grid2->setCols(2);
    m_grid2->setFixedRows(0);
    m_grid2->setFixedCols(0);
    designGrid(*m_grid2);

    // The variables grid: 7 x 6 with one fixed row and one fixed column.
    m_grid1 = add(new MSFlexGrid(this), "MSFlexGrid1", kGridLeft, 3705, kGridWidth, 3810);
    m_grid1->setRows(7);
    m_grid1->setCols(6);
    m_grid1->setFixedRows(1);
    m_grid1->setFixedCols(1);
    designGrid(*m_grid1);

    connect(m_command1, &QPushButton::clicked, this, [this] { closeRebuildingBoard(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });

    load();
}

void Form7::load() {
    scaleToScreen();
    setBackColor(this, kWindowBack);
    setWindowTitle("This Plan Report");

    m_label1->setText("Plan Report For Plan Quarter Number  :");
    heading(m_label1, Qt::AlignLeft | Qt::AlignVCenter);
    heading(m_label2, Qt::AlignCenter);
    m_label4->setText("");
    setBackColor(m_label4, kHeadingBack);
    heading(m_label3, Qt::AlignCenter);
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
    select(g1, 0, 0, g1.rows() - 1, g1.cols() - 1);
    g1.setCellFontBold(true);
    g1.setCellFontSize(10);
    for (int col : {1, 2, 4, 5}) {
        select(g1, 1, col, g1.rows() - 1, col);
        g1.setCellFontBold(true);
        g1.setCellAlignment(Align::CenterCenter);
    }
    g1.setRow(0);
    g1.setCol(0);

    g1.setRows(7);
    const int widths[] = {3000, 2500, 2500, 3000, 2500, 2500};
    for (int c = 0; c < 6; ++c) g1.setColWidth(c, widths[c]);
    for (int r = 0; r < 7; ++r) g1.setRowHeight(r, 500);
    fill(g1, report.variablesGrid());

    MSFlexGrid& g2 = *m_grid2;
    g2.setRows(2);
    for (int c = 0; c < 2; ++c) g2.setColWidth(c, 8000);
    for (int r = 0; r < 2; ++r) g2.setRowHeight(r, 800);
    fill(g2, report.decisionGrid());
    g2.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    select(g2, 0, 0, g2.rows() - 1, g2.cols() - 1);
    g2.setCellFontBold(true);
    g2.setCellFontSize(10);
    g2.setCellAlignment(Align::CenterCenter);
    g2.setRow(0);
    g2.setCol(0);
}

}  // namespace tessaro::ui
