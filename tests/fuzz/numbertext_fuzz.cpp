// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The number texts the game writes into statements and shows: for any
// double, only the characters of a plain C-locale numeral, read back by
// from_chars as the value rounded to 15 significant digits, in plain form
// inside the plain range and E-notation outside it.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/numbertext.h"
#include "store/value.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void check(double d) {
    const std::string t = tessaro::store::numberText(d);
    if (std::isnan(d)) return require(t == "NaN");
    if (std::isinf(d)) return require(t == (d < 0 ? "-Infinity" : "Infinity"));
    require(!t.empty() && t.size() < 32);
    int digits = 0;
    bool leading = true;
    const auto e = t.find('E');
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        require((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'E');
        if (i < e && c >= '1' && c <= '9') leading = false;
        if (i < e && c >= '0' && c <= '9' && !leading) ++digits;
    }
    require(digits <= 15);
    require(t.find('.') == t.rfind('.'));
    require(t.back() != '.');

    double back = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), back);
    require(ec == std::errc() && end == t.data() + t.size());
    // The same value as the correctly rounded 15 significant digits.
    char ref[40];
    const auto r = std::to_chars(ref, ref + sizeof ref, d, std::chars_format::scientific, 14);
    double rounded = 0;
    if (std::from_chars(ref, r.ptr, rounded).ec == std::errc::result_out_of_range)
        rounded = std::copysign(1.79769313486231e308, d);  // the largest that reads back
    require(back == rounded + 0.0);
    require(!(d == 0 && t != "0"));

    const double magnitude = std::fabs(rounded);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
    require((e == std::string::npos) == plain);
    if (!plain) {
        // d.dddE+XX: one digit before the point, a signed exponent of two or
        // three digits.
        require(e + 4 <= t.size() && (t[e + 1] == '+' || t[e + 1] == '-'));
        require(t.size() - e - 2 >= 2 && t.size() - e - 2 <= 3);
    }
    // A stored value shows the same text.
    require(tessaro::store::Value::real(d).toText() == t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Eight bytes as a double, or else the text read as a decimal numeral.
    if (size == 8) {
        double d = 0;
        std::memcpy(&d, data, sizeof d);
        check(d);
        return 0;
    }
    const char* text = reinterpret_cast<const char*>(data);
    double d = 0;
    const auto [end, ec] = std::from_chars(text, text + size, d);
    if (ec == std::errc()) check(d);
    (void)end;
    return 0;
}
