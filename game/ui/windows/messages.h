// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Message boxes of the game windows. A box with no title of its own shows the
// program's title. Tests install a recorder instead of the modal boxes.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "model/runstopped.h"

class QMessageBox;
class QWidget;

namespace tessaro::ui {

inline constexpr const char* kProgramTitle = "Tessaro";

// Shows a modal box with an OK button and waits for it to be closed.
void showMessage(QWidget* parent, const model::MessageBox& box);

// The box showMessage shows, not yet shown. A file's path in the text is
// shown whole: it may break over lines only after a "/", and the text can
// be selected and copied as it was written.
std::unique_ptr<QMessageBox> messageBoxFor(QWidget* parent, const model::MessageBox& box);

// The text with a path's break opportunities after its "/" only, for it to
// wrap at its separators rather than after its first one or at a hyphen.
QString breakableAtSeparators(const QString& text);

// With a recorder installed, showMessage hands the box to it and returns at
// once; an empty recorder restores the real boxes.
using MessageRecorder = std::function<void(const model::MessageBox&)>;
void setMessageRecorder(MessageRecorder recorder);

}  // namespace tessaro::ui
