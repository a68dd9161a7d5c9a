// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace tessaro::store {
namespace {

constexpr double kLargestFifteenDigits = 1.79769313486231e308;

}  // namespace

std::string numberText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";  // also turns -0 into 0
    // Rounded to 15 digits, the largest doubles would read back as infinity;
    // they are written as the largest 15-digit numeral a double holds.
    if (std::fabs(value) > kLargestFifteenDigits)
        return value < 0 ? "-1.79769313486231E+308" : "1.79769313486231E+308";

    // Scientific with 14 decimals rounds to 15 significant digits:
    // "d.dddddddddddddde[+-]XX".
    char buf[40];
    const auto result =
        std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';
    std::string_view s(buf, static_cast<std::size_t>(result.ptr - buf));
    const bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    const auto ePos = s.find('e');
    // to_chars writes the exponent as e+XX or e-XX.
    int exponent = 0;
    const char* expText = s.data() + ePos + 1;
    if (*expText == '+') ++expText;
    std::from_chars(expText, s.data() + s.size(), exponent);
    std::string digits;
    digits += s[0];
    digits += s.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            const auto intLen = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intLen) {
                out += digits;
                out.append(intLen - digits.size(), '0');
            } else {
                out += digits.substr(0, intLen);
                out += '.';
                out += digits.substr(intLen);
            }
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        }
        return out;
    }
    out += digits[0];
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
    return out;
}

}  // namespace tessaro::store
