// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The performance sheet: the money side of the plan-quarter run last, as the
// accounting stored it in the last PLDI row. Earnings, each cost with the
// manpower costs broken down, the total cost, the value of the game and its
// running average, in thousands of rupees; negative game values in red.
#pragma once

#include "ui/windows/reportform.h"

namespace tessaro::ui {

class Form8 : public ReportForm {
    Q_OBJECT

public:
    Form8();

    MSFlexGrid* sheetGrid() const { return m_grid1; }

private:
    void fill() override;

    MSFlexGrid* m_grid1 = nullptr;
};

}  // namespace tessaro::ui
