// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form2.h"

namespace tessaro::ui {

Form2::Form2()
    : PlotForm({"Form2", model::PlotKind::PastPlan, "Save As..", CloseVariant::ShowBoard}) {}

}  // namespace tessaro::ui
