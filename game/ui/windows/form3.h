// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game value plot: the value of the game of every plan-quarter, or its
// running average (MDIForm1::p3 picks which). Closing it only shows the
// board again.
#pragma once

#include "ui/windows/plotform.h"

namespace tessaro::ui {

class Form3 : public PlotForm {
    Q_OBJECT

public:
    Form3();
};

}  // namespace tessaro::ui
