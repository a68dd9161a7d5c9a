// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

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
    // "d.dddddddddddddde[+-]XX". The text is put together in a buffer, since
    // a quarter writes some four hundred numbers.
    char buf[40];
    const auto result =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* end = result.ptr;
    const char* e = std::find(p, end, 'e');
    // to_chars writes the exponent as e+XX or e-XX.
    int exponent = 0;
    const char* expText = e + 1;
    if (*expText == '+') ++expText;
    std::from_chars(expText, end, exponent);
    char digits[20];
    std::size_t count = 0;
    digits[count++] = *p;
    for (const char* d = p + 2; d < e; ++d) digits[count++] = *d;
    while (count > 1 && digits[count - 1] == '0') --count;

    char out[48];
    std::size_t n = 0;
    const auto put = [&](char c) { out[n++] = c; };
    if (negative) put('-');
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            const auto intLen = static_cast<std::size_t>(exponent) + 1;
            for (std::size_t i = 0; i < intLen; ++i) put(i < count ? digits[i] : '0');
            if (count > intLen) {
                put('.');
                for (std::size_t i = intLen; i < count; ++i) put(digits[i]);
            }
        } else {
            put('0');
            put('.');
            for (int i = 0; i < -exponent - 1; ++i) put('0');
            for (std::size_t i = 0; i < count; ++i) put(digits[i]);
        }
        return std::string(out, n);
    }
    put(digits[0]);
    if (count > 1) {
        put('.');
        for (std::size_t i = 1; i < count; ++i) put(digits[i]);
    }
    put('E');
    put(exponent < 0 ? '-' : '+');
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) put('0');
    const auto written = std::to_chars(out + n, out + sizeof out, magnitude);
    n = static_cast<std::size_t>(written.ptr - out);
    return std::string(out, n);
}

}  // namespace tessaro::store
