// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Answers the control's message boxes for the length of a test and keeps
// what they said, so a test can require that none (or a given one) appeared.
#pragma once

#include <QStringList>

#include "morvane/messagebox.h"

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::No) {
        m_previous = MorvaneCtl::setMessageBoxHook(
            [this, answer](QMessageBox::Icon, const QString& title, const QString& text,
                           QMessageBox::StandardButtons) {
                m_shown << title + QStringLiteral(": ") + text;
                return answer;
            });
    }
    ~MessageBoxRecorder() { MorvaneCtl::setMessageBoxHook(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const QStringList& shown() const { return m_shown; }

private:
    QStringList m_shown;
    MorvaneCtl::MessageBoxHook m_previous;
};
