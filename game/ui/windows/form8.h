// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The performance sheet: the money side of the plan-quarter run last, as the
// accounting stored it in the last PLDI row. Earnings, each cost with the
// manpower costs broken down, the total cost, the value of the game and its
// running average, in thousands of rupees; negative game values in red.
#pragma once

#include "ui/windows/form.h"

class QPushButton;

namespace tessaro::ui {

class MSFlexGrid;

class Form8 : public Form {
    Q_OBJECT

public:
    Form8();

    MSFlexGrid* sheetGrid() const { return m_grid1; }

    // Close and Esc unload the window and rebuild the main window.
    void closeCommand() override { closeRebuildingBoard(); }

private:
    void load();

    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    MSFlexGrid* m_grid1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
};

}  // namespace tessaro::ui
