// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Fonts: what a pass does to the fonts of a form's controls.
#include <algorithm>

#include "engine.h"

namespace MorvaneCtl::ResizeFunctions::detail {

void scaleFont(QWidget* control, const ControlRecord& r, int px, int py) {
    const double size = static_cast<double>(r.fontSize) * std::min(px, py) / 100.0;
    set(control, Prop::FontSize, size);
}

}  // namespace MorvaneCtl::ResizeFunctions::detail
