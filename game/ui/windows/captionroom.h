// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// How small a child window may be dragged. Its layout follows its size and
// the text fit never goes below a legible size, so past some size a
// caption can only be cut; the window stops there instead.
#pragma once

#include <QSize>

namespace tessaro::ui {

class Form;

// The smallest size of the form (its client area) at which every caption,
// heading and button text still shows whole in a legible size, for the
// layout it has now. Never larger than the form is now: a window the main
// window already shrank keeps that size.
QSize smallestWholeSize(const Form& form);

// Sets that size as the least the form and its frame in the main window can
// be dragged to.
void keepCaptionsWhole(Form& form);

}  // namespace tessaro::ui
