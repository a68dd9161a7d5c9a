// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvane/messagebox.h"

namespace MorvaneCtl {

namespace {
thread_local MessageBoxHook t_hook;
}  // namespace

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook old = std::move(t_hook);
    t_hook = std::move(hook);
    return old;
}

QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& title, const QString& text,
                                           QMessageBox::StandardButtons buttons) {
    if (t_hook) return t_hook(icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace MorvaneCtl
