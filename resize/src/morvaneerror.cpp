// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvaneerror.h"

namespace MorvaneCtl {

namespace {

QString messageOf(int code, const QString& detail) {
    QString text = QStringLiteral("Morvane error %1: %2").arg(code).arg(MorvaneError::textOf(code));
    if (!detail.isEmpty()) text += QStringLiteral(" (%1)").arg(detail);
    return text;
}

}  // namespace

MorvaneError::MorvaneError(int code, const QString& detail)
    : std::runtime_error(messageOf(code, detail).toStdString()), m_code(code) {}

QString MorvaneError::textOf(int code) {
    switch (code) {
        case TypeMismatch:
            return QStringLiteral("Type mismatch");
        case Overflow:
            return QStringLiteral("Overflow");
        case InvalidPropertyValue:
            return QStringLiteral("Invalid property value");
        case SetNotSupportedAtRunTime:
            return QStringLiteral("Property set not supported at run time");
        case SetNotPermitted:
            return QStringLiteral("Property set not permitted");
        default:
            return QStringLiteral("Control error");
    }
}

}  // namespace MorvaneCtl
