// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "module2.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessaro::ui {
namespace {

const char* const kTwipsProperty = "tessaroTwips";
const char* const kNoFontProperty = "tessaroNoFont";

std::optional<ScreenSpec>& screenOverride() {
    static std::optional<ScreenSpec> spec;
    return spec;
}

std::int16_t roundedShort(double v) {
    // Halves to the even neighbour, as every conversion of the window code.
    return static_cast<std::int16_t>(std::nearbyint(v));
}

double tppX() { return screenMetrics.twips_per_pixel_x > 0 ? screenMetrics.twips_per_pixel_x : 15; }
double tppY() { return screenMetrics.twips_per_pixel_y > 0 ? screenMetrics.twips_per_pixel_y : 15; }

}  // namespace

void setScreenOverride(std::optional<ScreenSpec> spec) { screenOverride() = spec; }

void workOutScreenMetrics() {
    ScreenSpec s;
    if (screenOverride()) {
        s = *screenOverride();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        s.widthPx = screen->geometry().width();
        s.heightPx = screen->geometry().height();
        s.dpiX = screen->logicalDotsPerInchX();
        s.dpiY = screen->logicalDotsPerInchY();
    }
    const double perPixelX = s.dpiX > 0 ? 1440.0 / s.dpiX : 15;
    const double perPixelY = s.dpiY > 0 ? 1440.0 / s.dpiY : 15;
    screenMetrics.twips_per_pixel_x = roundedShort(perPixelX);
    screenMetrics.twips_per_pixel_y = roundedShort(perPixelY);
    // The screen's size in twips divided by whole twips per pixel; a zero
    // twips per pixel (a screen reporting a huge DPI) is taken as 1.
    const double tx = screenMetrics.twips_per_pixel_x > 0 ? screenMetrics.twips_per_pixel_x : 1;
    const double ty = screenMetrics.twips_per_pixel_y > 0 ? screenMetrics.twips_per_pixel_y : 1;
    screenMetrics.screen_height_px = roundedShort(s.heightPx * perPixelY / ty);
    screenMetrics.screen_width_px = roundedShort(s.widthPx * perPixelX / tx);
}

int pixelsAcross(double twips) { return static_cast<int>(std::lround(twips / tppX())); }
int pixelsDown(double twips) { return static_cast<int>(std::lround(twips / tppY())); }
double twipsAcross(int pixels) { return pixels * tppX(); }
double twipsDown(int pixels) { return pixels * tppY(); }

void placeControl(QWidget* control, const QRectF& twips) {
    if (!control) return;
    const QRectF whole(std::round(twips.left()), std::round(twips.top()), std::round(twips.width()),
                       std::round(twips.height()));
    control->setProperty(kTwipsProperty, whole);
    control->setGeometry(pixelsAcross(whole.left()), pixelsDown(whole.top()),
                         pixelsAcross(whole.width()), pixelsDown(whole.height()));
}

QRectF controlTwips(const QWidget* control) {
    if (!control) return {};
    return control->property(kTwipsProperty).toRectF();
}

void setScalesFont(QWidget* control, bool scales) {
    if (control) control->setProperty(kNoFontProperty, !scales);
}

void ScaleFormControls(float x, float y, ScalableWindow& window) {
    const float f = (x + y) / 2;
    // A control without a position or without a font simply keeps what it
    // lacks; nothing here stops the pass.
    for (QWidget* control : window.controls()) {
        if (!control) continue;
        const QRectF t = controlTwips(control);
        if (t.isValid()) {
            if (qobject_cast<QComboBox*>(control)) {
                // A combo box's height follows its font.
                placeControl(control, QRectF(t.left() * x, t.top() * y, t.width() * x, t.height()));
            } else {
                placeControl(control, QRectF(t.left() * x, t.top() * y, t.width() * x, t.height() * y));
            }
        }
        if (!control->property(kNoFontProperty).toBool()) {
            QFont font = control->font();
            if (font.pointSizeF() > 0) {
                font.setPointSizeF(font.pointSizeF() * f);
                control->setFont(font);
            }
        }
        if (qobject_cast<QComboBox*>(control)) control->resize(control->width(), control->sizeHint().height());
    }
    if (scale_window_too) {
        const QRectF w = window.windowTwips();
        window.moveWindowTwips(QRectF(w.left() * x, w.top() * y, w.width() * x, w.height() * y));
    }
}

void WindowScaling::remember(ScalableWindow& window) {
    const QRectF w = window.windowTwips();
    last_height = static_cast<std::int32_t>(std::nearbyint(w.height()));
    last_width = static_cast<std::int32_t>(std::nearbyint(w.width()));
}

void WindowScaling::load(ScalableWindow& window) {
    design_width = 800;
    design_height = 600;
    scale_window_too = true;
    resize_armed = false;
    workOutScreenMetrics();
    const float x = static_cast<float>(screenMetrics.screen_width_px) / design_width;
    const float y = static_cast<float>(screenMetrics.screen_height_px) / design_height;
    ScaleFormControls(x, y, window);
    remember(window);
}

void WindowScaling::minimizeCommand(ScalableWindow& window) {
    design_width = screenMetrics.screen_width_px;
    design_height = screenMetrics.screen_height_px;
    scale_window_too = true;
    resize_armed = false;
    workOutScreenMetrics();
    // Both ratios are 1 unless the screen changed since it was last measured.
    const float x = design_width > 0 ? static_cast<float>(screenMetrics.screen_width_px) / design_width : 1;
    const float y = design_height > 0 ? static_cast<float>(screenMetrics.screen_height_px) / design_height : 1;
    ScaleFormControls(x, y, window);
    remember(window);
}

void WindowScaling::resized(ScalableWindow& window, const QSizeF& current) {
    if (!resize_armed) {
        resize_armed = true;
        return;
    }
    // A window shrunk to nothing (minimised by its title bar) has no ratio;
    // its layout waits for the window to come back.
    if (last_width <= 0 || last_height <= 0 || current.width() <= 0 || current.height() <= 0) return;
    scale_window_too = false;
    const float x = static_cast<float>(current.width() / last_width);
    const float y = static_cast<float>(current.height() / last_height);
    ScaleFormControls(x, y, window);
    last_height = static_cast<std::int32_t>(std::nearbyint(current.height()));
    last_width = static_cast<std::int32_t>(std::nearbyint(current.width()));
}

}  // namespace tessaro::ui
