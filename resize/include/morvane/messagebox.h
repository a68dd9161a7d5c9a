// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control's message boxes (the resolution warning and the About box).
// A host or a test can answer them instead of a person.
#pragma once

#include <QMessageBox>
#include <functional>

#include "morvane/morvane_export.h"

namespace MorvaneCtl {

using MessageBoxHook = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon icon, const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons)>;

// Installs hook (an empty one restores the real dialogs); returns the old one.
MORVANE_EXPORT MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

// Shows a modal box, or asks the hook when one is installed.
MORVANE_EXPORT QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                                          const QString& title, const QString& text,
                                                          QMessageBox::StandardButtons buttons);

}  // namespace MorvaneCtl
