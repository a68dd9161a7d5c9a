// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Keeps a restored window where its user can reach it: a geometry text saved
// on another desktop (a second monitor since unplugged, a larger screen) may
// put a window wholly off every screen there is now.
#pragma once

#include <QRect>
#include <QRectF>

class QWidget;

namespace MorvaneCtl::LateBound {

// When no part of a top-level form's frame lies on the available area of any
// screen, moves the frame, its size kept, onto the screen nearest to it: as
// much of it on that screen as fits, and its top-left corner (where the title
// bar is) always on it. A form whose frame is partly on a screen, and a form
// in an MDI sub-window (which lives inside its frame window), are left where
// they are. Returns whether the form was moved.
bool bringOntoScreen(QWidget* form);

// Whether some part of a rectangle of the form's outer frame, in twips,
// would lie on the available area of a screen. A form in an MDI sub-window
// lives inside its frame window: always true.
bool onSomeScreen(QWidget* form, const QRect& twips);

// The area of the screen a form is on, in twips of the virtual desktop (the
// stand-in screen, when one is set, at the desktop's origin).
QRectF screenAreaOf(QWidget* form);

// Puts the client area of a form in the middle of its screen: Left from the
// client width, Top from the client height.
void centerOnScreen(QWidget* form);

}  // namespace MorvaneCtl::LateBound
