// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Keeps a restored window where its user can reach it: a geometry text saved
// on another desktop (a second monitor since unplugged, a larger screen) may
// put a window wholly off every screen there is now.
#pragma once

class QWidget;

namespace MorvaneCtl::LateBound {

// When no part of a top-level form's frame lies on the available area of any
// screen, moves the frame, its size kept, onto the screen nearest to it: as
// much of it on that screen as fits, and its top-left corner (where the title
// bar is) always on it. A form whose frame is partly on a screen, and a form
// in an MDI sub-window (which lives inside its frame window), are left where
// they are. Returns whether the form was moved.
bool bringOntoScreen(QWidget* form);

}  // namespace MorvaneCtl::LateBound
