// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The one error type the control raises to its callers, carrying the
// control error number a caller can test for.
#pragma once

#include <QString>
#include <stdexcept>

namespace MorvaneCtl {

class MorvaneError : public std::runtime_error {
public:
    // The error numbers the control raises.
    enum Code {
        TypeMismatch = 13,           // SaveForm/RestoreForm given something that is not a form
        Overflow = 6,                // a screen ratio cannot be computed
        InvalidPropertyValue = 380,  // a persisted value of the wrong kind
        SetNotSupportedAtRunTime = 382,
        SetNotPermitted = 387,
    };

    explicit MorvaneError(int code, const QString& detail = {});

    int code() const noexcept { return m_code; }

    // The standard text of an error number, e.g. "Type mismatch".
    static QString textOf(int code);

private:
    int m_code;
};

}  // namespace MorvaneCtl
