// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvane/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "screenpin.h"

namespace MorvaneCtl {

namespace {
// Per thread, like the rest of the control's module-wide state.
struct ScreenState {
    std::optional<ScreenMetrics> override;
    std::optional<ScreenMetrics> pinned;
};
// One thread-local object, so that a measurement costs one lookup of it.
thread_local ScreenState t_screen;
}  // namespace

ScreenPin::ScreenPin(const QWidget* form) : m_saved(t_screen.pinned) {
    t_screen.pinned = currentScreen(form);
}
ScreenPin::~ScreenPin() {
    t_screen.pinned = m_saved;
}

ScreenMetrics ScreenMetrics::ofPixels(int width, int height, double twipsPerPixel) {
    return {width * twipsPerPixel, height * twipsPerPixel, twipsPerPixel, twipsPerPixel};
}

ScreenMetrics currentScreen(const QWidget* widget) {
    const ScreenState& state = t_screen;
    if (state.pinned) return *state.pinned;
    if (state.override) return *state.override;
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return ScreenMetrics::ofPixels(1024, 768);
    // Twips are 1440 per logical inch.
    const double tppX = 1440.0 / screen->logicalDotsPerInchX();
    const double tppY = 1440.0 / screen->logicalDotsPerInchY();
    const QSize size = screen->size();
    return {size.width() * tppX, size.height() * tppY, tppX, tppY};
}

void setScreenOverride(std::optional<ScreenMetrics> screen) {
    ScreenState& state = t_screen;
    state.override = screen;
    if (state.pinned) {  // a pass under way measures the new screen from here on
        state.pinned.reset();
        state.pinned = currentScreen();
    }
}

}  // namespace MorvaneCtl
