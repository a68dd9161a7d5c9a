// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The past plan plot: one state variable or decision of every plan-quarter
// played (MDIForm1::p2 picks it). Closing it only shows the board again.
#pragma once

#include "ui/windows/plotform.h"

namespace tessaro::ui {

class Form2 : public PlotForm {
    Q_OBJECT

public:
    Form2();
};

}  // namespace tessaro::ui
