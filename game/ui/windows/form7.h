// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The plan report: the outcome of the plan-quarter run last. A decision grid
// sets the two decisions the players took beside what actually happened, and
// a grid of the model's level and rate variables shows the end-plan values
// with the plan's averages and totals. The window always reports the latest
// plan and reads the database afresh at each load.
#pragma once

#include "ui/windows/reportform.h"

namespace tessaro::ui {

class Form7 : public ReportForm {
    Q_OBJECT

public:
    Form7();

    MSFlexGrid* variablesGrid() const { return m_grid1; }
    MSFlexGrid* decisionGrid() const { return m_grid2; }

private:
    void fill() override;

    QLabel* m_label3 = nullptr;
    MSFlexGrid* m_grid2 = nullptr;  // MSFlexGrid2, decisions against actuals
    MSFlexGrid* m_grid1 = nullptr;  // MSFlexGrid1, level and rate variables
};

}  // namespace tessaro::ui
