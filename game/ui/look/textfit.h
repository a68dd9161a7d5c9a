// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Keeps the windows' texts readable whole. The scaling gives every control
// its font size by the layout rule; where a text would not show whole in its
// box at that size (a caption a little wider than the box it was laid out
// for, a font that grows faster than the box's height), the control is drawn
// in the largest size that fits, but never below a legible size.
#pragma once

#include <QFont>
#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace tessaro::ui {

class ScalableWindow;

// Nothing is drawn smaller than this by the fit: 8 points are 11 pixels on a
// 96 DPI screen, the size of the smallest design font the windows use.
inline constexpr double kLegiblePoints = 8;

// The outcome of a search for a text's size.
struct FittedSize {
    double points = 0;   // the size to draw in
    bool whole = false;  // whether the text shows whole at that size
};

// The one search for a text's size, used wherever a text must keep to its
// box (labels, buttons, grid cells, the debrief's pages): the largest size,
// to a twentieth of a point, from `points` down to `smallest` at which
// `fits(size)` holds. `points` itself when the text fits there or when it
// is already no larger than `smallest`; `smallest`, not whole, when the
// text does not fit even there. `fits` must hold for every size below one
// at which it holds, as a text's width and height do.
FittedSize largestFittingSize(double points, double smallest,
                              const std::function<bool(double)>& fits);

// A label whose text must keep clear of its left and right sides, so that
// texts in boxes side by side (the board's values) never run together:
// by a twenty-fourth of its width, at least kLeastSideRoom pixels.
inline constexpr int kLeastSideRoom = 3;
void keepTextOffSides(QLabel* label);
int sideRoom(const QLabel* label);

// The text as the control draws it: CR LF line breaks as plain breaks, and
// without the blanks at the ends of its lines, which show nothing.
QString shownText(const QString& text);

// Whether the control's text shows whole in its box in this font. Controls
// without a text of their own (a rule, a grid, a chart) always fit; a text
// box fits when a line of text is not taller than its box.
bool textFits(const QWidget* control, const QFont& font);

// Gives the control the largest font, up to its size by the scaling, in
// which its text shows whole, never below kLegiblePoints (nor below its own
// size, when that is already smaller). A label first keeps its text out of
// the strips along its edges that neighbours drawn over it cover.
void fitText(QWidget* control);

// fitText for every control of the window.
void fitTexts(const ScalableWindow& window);

}  // namespace tessaro::ui
