// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form1.h"

namespace tessaro::ui {

Form1::Form1()
    : PlotForm({"Form1", model::PlotKind::DuringPlan, "Save As..", CloseVariant::RebuildBoard}) {}

}  // namespace tessaro::ui
