// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Screen-resolution scaling of the game windows. Every window is laid out in
// twips for an 800 x 600 screen; when it loads, and when it is resized or
// minimised by its command, ScaleFormControls multiplies the position, size
// and font size of each of its controls (and, when asked, the window itself)
// by a horizontal and a vertical ratio.
//
//   workOutScreenMetrics();
//   const float x = float(screenMetrics.screen_width_px) / design_width;
//   ScaleFormControls(x, y, window);
#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaro::ui {

// Program-wide screen values, rounded to whole numbers.
struct ScreenMetrics {
    std::int16_t twips_per_pixel_x = 15;
    std::int16_t twips_per_pixel_y = 15;
    std::int16_t screen_width_px = 800;
    std::int16_t screen_height_px = 600;
};
inline ScreenMetrics screenMetrics;

// When true, ScaleFormControls also moves and resizes the window itself.
inline bool scale_window_too = true;
// When false, the next resize event of any window only sets it true.
inline bool resize_armed = false;

// Reads the screen into screenMetrics (or the stand-in screen, if one is set).
void workOutScreenMetrics();

// A stand-in for the screen, for tests and for trying the layout at other
// resolutions: size in pixels and dots per inch.
struct ScreenSpec {
    int widthPx = 800;
    int heightPx = 600;
    double dpiX = 96;
    double dpiY = 96;
};
void setScreenOverride(std::optional<ScreenSpec> spec);

// Twips to pixels with the program's twips per pixel (a zero is taken as 15).
int pixelsAcross(double twips);
int pixelsDown(double twips);
double twipsAcross(int pixels);
double twipsDown(int pixels);

// A window that ScaleFormControls can scale: its controls in collection
// order, and its own position and size in twips.
class ScalableWindow {
public:
    virtual ~ScalableWindow() = default;
    virtual std::vector<QWidget*> controls() const = 0;
    virtual QRectF windowTwips() const = 0;
    virtual void moveWindowTwips(const QRectF& twips) = 0;

    // The product of the font ratios the window has been scaled by since it
    // was created. Every font size a window gives is a size on the 800 x 600
    // design, so a font given after a scaling is multiplied by it.
    double font_zoom = 1;
};

// A control that draws sizes of its own in twips or points (a grid's column
// widths and cell fonts, a chart's fonts), which must grow and shrink with
// the window as its position and font do.
class ScalesContent {
public:
    virtual ~ScalesContent() = default;
    virtual void scaleContent(float x, float y, float f) = 0;
};

// Gives a control its position and size in twips (kept as whole twips) and
// the matching pixel geometry.
void placeControl(QWidget* control, const QRectF& twips);
// The control's position and size in twips, or an empty rect when it has
// none (then it is not moved by the scaling).
QRectF controlTwips(const QWidget* control);
// Charts and lines have no font of their own to scale.
void setScalesFont(QWidget* control, bool scales);

// The size in points a control's font has by the scaling, which the text
// fit (textfit.h) may draw smaller where the text would not show whole;
// 0 for a control whose font is not scaled (setScalesFont).
double controlPoints(const QWidget* control);
// Gives a control a font of the design size `font` has, at the window's
// font zoom: the way a window's load sets a font after its scaling.
void setControlFont(QWidget* control, QFont font, const ScalableWindow& window);
// Notes the size the text fit chose for a control whose scaled size is `points`.
void setFittedFont(QWidget* control, double points, double shownPoints);

void ScaleFormControls(float x, float y, ScalableWindow& window);

// What every window does with the scaling: its design size, its size after
// the last scaling, and the load, Minimize and resize steps built on them.
class WindowScaling {
public:
    std::int16_t design_width = 800;
    std::int16_t design_height = 600;
    std::int32_t last_height = 0;
    std::int32_t last_width = 0;

    // At load: scale controls and window from the 800 x 600 design to the screen.
    void load(ScalableWindow& window);
    // The Minimize command's scaling (the caller then minimises the window).
    void minimizeCommand(ScalableWindow& window);
    // A resize event; `current` is the window's size in twips now.
    void resized(ScalableWindow& window, const QSizeF& current);
    // After the window has been minimised by its command: the resize that
    // minimising raises has been swallowed, or the toolkit raised none
    // (a child window keeps its size while it is an icon), so the next
    // resize, the player's own, is scaled again.
    void minimized();
    // Shrinks the window, as if the player had sized it so, to a client
    // size that fits the room it is shown in; nothing happens where it fits.
    // Returns whether it had to shrink.
    bool fitInto(ScalableWindow& window, const QSizeF& roomTwips);

    void remember(ScalableWindow& window);
};

}  // namespace tessaro::ui
