// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Decimal text of numbers as the game writes them into statement texts and
// shows them to the players: a point as decimal separator, at most 15
// significant digits, no thousands separators, E-notation (1E-05, 1.5E+20)
// only outside the plain range.
#pragma once

#include <string>

namespace tessaro::store {

std::string numberText(double value);

}  // namespace tessaro::store
