// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Twips, the unit every window of the game is designed in: 1440 to the inch.
// A screen's twips per pixel is 1440 divided by its logical DPI (15 on a
// 96 DPI screen), so Qt's own high-DPI scaling is not applied a second time.
#pragma once

namespace tessaro::ui {

inline constexpr double kTwipsPerInch = 1440;
inline constexpr double kTwipsPerPoint = 20;

// Twips per pixel of the primary screen, across and down (15 when there is
// no screen).
double twipsPerPixelX();
double twipsPerPixelY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

}  // namespace tessaro::ui
