#include "form8.h"

#include <QPushButton>
#include <QTableWidget>

#include "gamewindows.h"
#include "messages.h"
#include "model/reports.h"
#include "model/runcommand.h"
#include "msflexgrid.h"

namespace tessaro::ui {
namespace {

// The same client size as the plan report: inside the main window's client
// area on an 800 x 600 screen, frame included.
constexpr double kClientWidth = 11700;
constexpr double kClientHeight = 7650;

// The sheet is 16000 twips wide and 7500 high. Its box fills the rest of the
// window and scrolls where the screen is too small for it (both ways on an
// 800 x 600 screen, sideways only from 1024 x 768, not at all from
// 1280 x 1024 on).
constexpr double kGridLeft = 240;
constexpr double kGridWidth = 11220;

constexpr int kRows = 15;
constexpr int kManpowerRow = 6;
constexpr int kGameValueRow = 13;
constexpr int kAverageValueRow = 14;

const QColor kWindowBack(72, 209, 204);
const QColor kHeadingBack(192, 255, 192);
const QColor kHeadingText(0, 0, 255);
const QColor kShade(214, 211, 214);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

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

void signColour(MSFlexGrid& grid, int row, bool negative) {
    grid.setRow(row);
    grid.setCol(1);
    grid.setCellForeColor(negative ? kRed : kBlack);
}

}  // namespace

Form8::Form8() : Form("Form8", kClientWidth, kClientHeight) {
    m_label1 = add(new FitLabel(this), "Label1", 240, 120, 6720, 495);
    m_label2 = add(new FitLabel(this), "Label2", 6960, 120, 1095, 495);
    m_command2 = add(new QPushButton("Minimize", this), "Command2", 8430, 180, 1455, 375);
    m_command1 = add(new QPushButton("Close", this), "Command1", 10005, 180, 1455, 375);
    m_label3 = add(new QLabel(this), "Label3", kGridLeft, 750, kGridWidth, 90);

    // Two columns and no fixed cells; the load gives it its 15 rows.
    m_grid1 = add(new MSFlexGrid(this), "MSFlexGrid1", kGridLeft, 960, kGridWidth, 6570);
    m_grid1->setCols(2);
    m_grid1->setFixedRows(0);
    m_grid1->setFixedCols(0);
    designGrid(*m_grid1);

    connect(m_command1, &QPushButton::clicked, this, [this] { closeRebuildingBoard(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });

    load();
}

void Form8::load() {
    scaleToScreen();
    setBackColor(this, kWindowBack);
    setWindowTitle("Performance Sheet");

    const QFont headingFont = gameFont("Times New Roman", 16, true);
    m_label1->setText("Performance Sheet For Plan Quarter Number  :");
    m_label1->setFont(headingFont);
    setColors(m_label1, kHeadingBack, kHeadingText);
    m_label2->setFont(headingFont);
    m_label2->setAlignment(Qt::AlignCenter);
    setColors(m_label2, kHeadingBack, kHeadingText);
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
    fill(g, sheet.grid());

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
    select(g, 0, 0, kRows - 1, 1);
    g.setCellFontBold(true);
    g.setCellFontSize(10);
    g.setCellAlignment(Align::CenterCenter);
    select(g, 1, 0, kRows - 1, 0);
    g.setCellFontBold(true);
    g.setCellAlignment(Align::LeftCenter);
    for (int row : {0, 2}) {
        select(g, row, 0, row, 1);
        g.setCellFontBold(true);
        g.setCellAlignment(Align::CenterCenter);
        g.setCellBackColor(kShade);
    }
    select(g, 12, 0, 12, 1);
    g.setCellFontBold(true);
    g.setCellBackColor(kShade);
}

}  // namespace tessaro::ui
