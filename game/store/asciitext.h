// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Case folding of the store's own texts (table, column and keyword names,
// which are plain ASCII).
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace tessaro::store {

inline std::string lowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace tessaro::store
