// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Registers every child window the main window's menu can open.
#pragma once

namespace tessaro::ui {

void registerGameForms();

// Fonts the windows ask for by their old names, mapped to the metric-
// compatible free fonts the machine has; and the style they are drawn in.
void setUpLook();

}  // namespace tessaro::ui
