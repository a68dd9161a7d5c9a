// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The tables keyed by plan number (PLIO, PLDI), read a row or a few at a
// time: the key is the table's integer primary key, so each read is a
// lookup in its index, on any engine.
#pragma once

#include <memory>
#include <string_view>

#include "engine.h"
#include "recordset.h"

namespace tessaro::store {

// A recordset on every row of `table` in ascending `key`, which knows its
// first and last keys and fetches rows as its cursor reaches them.
Recordset openKeyed(const std::shared_ptr<Engine>& engine, std::string_view table,
                    std::string_view key);

}  // namespace tessaro::store
