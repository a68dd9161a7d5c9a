// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Numbers and names as the game writes them, the same in every locale, for
// the layers above the model (the windows draw no number their own way).
#pragma once

#include <string>
#include <string_view>

namespace tessaro::model {

// A number as the game shows it to the players: a point as decimal
// separator, at most 15 significant digits, no thousands separators,
// E-notation only outside the plain range.
std::string numberText(double value);

// The text with A-Z made a-z and nothing else changed.
std::string lowerAscii(std::string_view text);

}  // namespace tessaro::model
