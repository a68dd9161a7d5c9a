// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Symbol visibility of the morvane shared library.
#pragma once

#include <QtCore/qglobal.h>

#if defined(MORVANE_LIBRARY)
#define MORVANE_EXPORT Q_DECL_EXPORT
#else
#define MORVANE_EXPORT Q_DECL_IMPORT
#endif
