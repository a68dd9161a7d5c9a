// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/look/reportlook.h"

#include <QTableWidget>

#include "ui/components/msflexgrid.h"
#include "ui/windows/form.h"

namespace tessaro::ui {

void reportHeading(QLabel* label, Qt::Alignment alignment, const ScalableWindow& window) {
    setControlFont(label, gameFont("Times New Roman", 16, true), window);
    label->setAlignment(alignment);
    setColors(label, kHeadingBack, kHeadingText);
}

void reportGridLook(MSFlexGrid& grid) {
    grid.setFont(gameFont("MS Sans Serif", 8.25));
    QTableWidget* table = grid.table();
    table->setStyleSheet(
        table->styleSheet() +
        QString(" QTableView { background-color: %1; }").arg(kChildWindowBack.name()));
    table->setFrameShape(QFrame::NoFrame);
    grid.setShrinkToFit(true);
}

void selectCells(MSFlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

void fillCells(MSFlexGrid& grid, const model::TextGrid& texts) {
    for (std::size_t r = 0; r < texts.size(); ++r) {
        for (std::size_t c = 0; c < texts[r].size(); ++c)
            grid.setTextMatrix(static_cast<int>(r), static_cast<int>(c),
                               QString::fromStdString(texts[r][c]));
    }
}

}  // namespace tessaro::ui
