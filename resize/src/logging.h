// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The library's logging category, "morvane": what the control reports
// without failing (refused values, forms that share a record) and every
// error it returns, so that an application can filter or route them
// (QLoggingCategory::setFilterRules("morvane.warning=false")).
#pragma once

#include <QLoggingCategory>

namespace MorvaneCtl {
Q_DECLARE_LOGGING_CATEGORY(lcMorvane)
}
