// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The two roundings of the game. Quantities round halves to the even
// neighbour (2.125 to 2 decimals is 2.12, 2.5 to a whole is 2); money
// figures are "rounded up at the half": the whole part of value + 0.5.
#pragma once

#include <cstdint>

namespace tessaro::model {

double roundHalfEven(double value, int decimals = 0);
double roundUpAtHalf(double value);

// A number converted to a 32-bit whole number, halves to even. Values beyond
// the 32-bit range are clamped to its ends.
std::int32_t toInt32(double value);

}  // namespace tessaro::model
