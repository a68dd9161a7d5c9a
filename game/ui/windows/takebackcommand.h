// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The main window's "Take Back Last Quarter" command: asks for the
// re-initialisation password (so that players cannot take quarters back on
// their own), takes the last quarter back and rebuilds the board.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace tessaro::ui {

inline constexpr const char* kTakeBackPrompt =
    "Taking back the last plan-quarter needs the re-initialisation password:";

// Asks for the password; returns nothing when the players cancel.
using PasswordPrompt = std::function<std::optional<std::string>(QWidget* parent)>;
// Tests answer the prompt through this hook; an empty hook restores the
// real dialog.
void setPasswordPrompt(PasswordPrompt prompt);

// Runs the command: the prompt, the take-back, its message boxes in order,
// and, when a quarter was taken back, the rebuilt main window.
void takeBackLastQuarter(QWidget* window, const std::string& connectionString);

}  // namespace tessaro::ui
