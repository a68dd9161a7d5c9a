// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The screen as the control measures it: size in twips and twips per pixel.
// Tests, benchmarks and demonstrations can stand in another screen.
#pragma once

#include <optional>

#include "morvane/morvane_export.h"

class QWidget;

namespace MorvaneCtl {

struct MORVANE_EXPORT ScreenMetrics {
    double widthTwips = 0;
    double heightTwips = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;

    // A screen of width x height pixels at the given twips per pixel.
    static ScreenMetrics ofPixels(int width, int height, double twipsPerPixel = 15);
};

// The screen widget is on (without a widget, or for one not on any screen
// yet, the primary screen), or the stand-in when one is set.
MORVANE_EXPORT ScreenMetrics currentScreen(const QWidget* widget = nullptr);
// Stands in for every screen until called with std::nullopt.
MORVANE_EXPORT void setScreenOverride(std::optional<ScreenMetrics> screen);

}  // namespace MorvaneCtl
