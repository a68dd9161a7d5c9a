// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form3.h"

namespace tessaro::ui {

Form3::Form3()
    : PlotForm({"Form3", model::PlotKind::GameValue, "Save As", CloseVariant::ShowBoard}) {}

}  // namespace tessaro::ui
