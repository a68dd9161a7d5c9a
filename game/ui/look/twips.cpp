// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/look/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessaro::ui {
namespace {

double perPixel(bool across) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 15;
    const double dpi = across ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? kTwipsPerInch / dpi : 15;
}

}  // namespace

double twipsPerPixelX() {
    return perPixel(true);
}
double twipsPerPixelY() {
    return perPixel(false);
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX()));
}
int twipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY()));
}
double pixelsToTwipsX(int pixels) {
    return pixels * twipsPerPixelX();
}
double pixelsToTwipsY(int pixels) {
    return pixels * twipsPerPixelY();
}

}  // namespace tessaro::ui
