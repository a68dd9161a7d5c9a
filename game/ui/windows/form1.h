// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The during-plan plot: one variable of the quarter run last, week by week
// (MDIForm1::p picks it). Closing it reloads the main window, so the board
// is rebuilt from the database.
#pragma once

#include "ui/windows/plotform.h"

namespace tessaro::ui {

class Form1 : public PlotForm {
    Q_OBJECT

public:
    Form1();
};

}  // namespace tessaro::ui
