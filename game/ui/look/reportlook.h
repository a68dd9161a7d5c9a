// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What the plan report and the performance sheet share: their size, their
// heading colours and the handling of their grids.
#pragma once

#include <QColor>
#include <QLabel>

#include "model/reports.h"
#include "ui/look/palette.h"

namespace tessaro::ui {

class MSFlexGrid;
class ScalableWindow;

// Design client size in twips: inside the main window's client area
// (11880 x 8190 on an 800 x 600 screen) together with the child window's
// frame, so the area shows no scroll bars of its own.
inline constexpr double kReportClientWidth = 11700;
inline constexpr double kReportClientHeight = 7650;

// The grids' columns are 16000 twips wide together, more than an 800 x 600
// screen holds: their boxes take the window's width, and the columns (and,
// on the performance sheet, the rows) are drawn narrower in proportion to
// fit it (MSFlexGrid::setShrinkToFit).
inline constexpr double kReportGridLeft = 240;
inline constexpr double kReportGridWidth = 11220;

// A heading label: Times New Roman 16 bold (at the window's font zoom),
// blue on light green.
void reportHeading(QLabel* label, Qt::Alignment alignment, const ScalableWindow& window);

// The grid as the old control was placed on the window: its default face,
// the window's colour wherever the box is bigger than its cells, and cells
// that fit the box, so that every value shows without scrolling.
void reportGridLook(MSFlexGrid& grid);

// Selects the cells from (row, col) to (rowSel, colSel).
void selectCells(MSFlexGrid& grid, int row, int col, int rowSel, int colSel);

// Puts the texts into the grid's cells, row by row.
void fillCells(MSFlexGrid& grid, const model::TextGrid& texts);

}  // namespace tessaro::ui
