// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Message boxes of the game windows. A box with no title of its own shows the
// program's title. Tests install a recorder instead of the modal boxes.
#pragma once

#include <functional>

#include "model/runstopped.h"

class QWidget;

namespace tessaro::ui {

inline constexpr const char* kProgramTitle = "Tessaro";

// Shows a modal box with an OK button and waits for it to be closed.
void showMessage(QWidget* parent, const model::MessageBox& box);

// With a recorder installed, showMessage hands the box to it and returns at
// once; an empty recorder restores the real boxes.
using MessageRecorder = std::function<void(const model::MessageBox&)>;
void setMessageRecorder(MessageRecorder recorder);

}  // namespace tessaro::ui
