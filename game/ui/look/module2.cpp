// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/look/module2.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "ui/look/textfit.h"

namespace tessaro::ui {
namespace {

const char* const kTwipsProperty = "tessaroTwips";
const char* const kNoFontProperty = "tessaroNoFont";
// The font size by the scaling and the size the text fit drew it in.
const char* const kPointsProperty = "tessaroPoints";

std::optional<ScreenSpec>& screenOverride() {
    static std::optional<ScreenSpec> spec;
    return spec;
}

std::int16_t roundedShort(double v) {
    // Halves to the even neighbour, as every conversion of the window code.
    return static_cast<std::int16_t>(std::nearbyint(v));
}

double tppX() {
    return screenMetrics.twips_per_pixel_x > 0 ? screenMetrics.twips_per_pixel_x : 15;
}
double tppY() {
    return screenMetrics.twips_per_pixel_y > 0 ? screenMetrics.twips_per_pixel_y : 15;
}

}  // namespace

void setScreenOverride(std::optional<ScreenSpec> spec) {
    screenOverride() = spec;
}

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

int pixelsAcross(double twips) {
    return static_cast<int>(std::lround(twips / tppX()));
}
int pixelsDown(double twips) {
    return static_cast<int>(std::lround(twips / tppY()));
}
double twipsAcross(int pixels) {
    return pixels * tppX();
}
double twipsDown(int pixels) {
    return pixels * tppY();
}

void placeControl(QWidget* control, const QRectF& twips) {
    if (!control) return;
    const QRectF whole(std::round(twips.left()), std::round(twips.top()), std::round(twips.width()),
                       std::round(twips.height()));
    control->setProperty(kTwipsProperty, whole);
    // Edges rounded, not sizes: controls that meet in twips meet on screen.
    const int left = pixelsAcross(whole.left());
    const int top = pixelsDown(whole.top());
    control->setGeometry(left, top, pixelsAcross(whole.left() + whole.width()) - left,
                         pixelsDown(whole.top() + whole.height()) - top);
}

QRectF controlTwips(const QWidget* control) {
    if (!control) return {};
    return control->property(kTwipsProperty).toRectF();
}

void setScalesFont(QWidget* control, bool scales) {
    if (control) control->setProperty(kNoFontProperty, !scales);
}

double controlPoints(const QWidget* control) {
    // A chart draws its own fonts; the font of the widget is not one.
    if (!control || control->property(kNoFontProperty).toBool()) return 0;
    const double now = control->font().pointSizeF();
    // A font set since the last fit (a load setting its fonts) is the
    // control's size by the scaling again.
    const QPointF noted = control->property(kPointsProperty).toPointF();
    return noted.y() > 0 && noted.y() == now ? noted.x() : now;
}

void setControlFont(QWidget* control, QFont font, const ScalableWindow& window) {
    if (!control) return;
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * window.font_zoom);
    control->setFont(font);
}

void setFittedFont(QWidget* control, double points, double shownPoints) {
    if (!control || points <= 0 || shownPoints <= 0) return;
    QFont font = control->font();
    if (font.pointSizeF() != shownPoints) {
        font.setPointSizeF(shownPoints);
        control->setFont(font);
    }
    control->setProperty(kPointsProperty, QPointF(points, shownPoints));
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
                placeControl(control,
                             QRectF(t.left() * x, t.top() * y, t.width() * x, t.height() * y));
            }
        }
        if (!control->property(kNoFontProperty).toBool()) {
            // From the size by the scaling, not from a size the text fit
            // chose, so that a window sized down and up again gets its
            // fonts back.
            const double points = controlPoints(control);
            if (points > 0) setFittedFont(control, points * f, points * f);
        }
        if (auto* content = dynamic_cast<ScalesContent*>(control)) content->scaleContent(x, y, f);
        if (qobject_cast<QComboBox*>(control))
            control->resize(control->width(), control->sizeHint().height());
    }
    window.font_zoom *= f;
    if (scale_window_too) {
        const QRectF w = window.windowTwips();
        window.moveWindowTwips(QRectF(w.left() * x, w.top() * y, w.width() * x, w.height() * y));
    }
    fitTexts(window);
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
    const float x =
        design_width > 0 ? static_cast<float>(screenMetrics.screen_width_px) / design_width : 1;
    const float y =
        design_height > 0 ? static_cast<float>(screenMetrics.screen_height_px) / design_height : 1;
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
    if (last_width <= 0 || last_height <= 0 || current.width() <= 0 || current.height() <= 0)
        return;
    // The size it already has (a frame laid out again): nothing to scale.
    if (std::nearbyint(current.width()) == last_width &&
        std::nearbyint(current.height()) == last_height)
        return;
    scale_window_too = false;
    const float x = static_cast<float>(current.width() / last_width);
    const float y = static_cast<float>(current.height() / last_height);
    ScaleFormControls(x, y, window);
    last_height = static_cast<std::int32_t>(std::nearbyint(current.height()));
    last_width = static_cast<std::int32_t>(std::nearbyint(current.width()));
}

void WindowScaling::minimized() {
    resize_armed = true;
}

bool WindowScaling::fitInto(ScalableWindow& window, const QSizeF& room) {
    const QRectF w = window.windowTwips();
    if (w.width() <= 0 || w.height() <= 0 || room.width() <= 0 || room.height() <= 0) return false;
    const double x = std::min(1.0, room.width() / w.width());
    const double y = std::min(1.0, room.height() / w.height());
    if (x >= 1 && y >= 1) return false;
    // The window's own move raises a resize, which is not the player's: it
    // is swallowed as the one a load raises.
    scale_window_too = true;
    resize_armed = false;
    ScaleFormControls(static_cast<float>(x), static_cast<float>(y), window);
    remember(window);
    resize_armed = true;
    return true;
}

}  // namespace tessaro::ui
