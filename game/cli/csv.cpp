// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "csv.h"

#include "store/asciitext.h"

namespace tessaro::cli {
namespace {

// A decimal number as the game writes one: a sign, digits with at most one
// point, and an exponent.
bool isNumber(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (store::isAsciiDigit(s[i])) {
            ++digits;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        const std::size_t start = i;
        while (i < s.size() && store::isAsciiDigit(s[i])) ++i;
        if (i == start) return false;
    }
    return i == s.size();
}

bool readAsFormula(const std::string& s) {
    static const std::string kFormulaStarts = "=+-@\t\r";
    return !s.empty() && kFormulaStarts.find(s.front()) != std::string::npos && !isNumber(s);
}

}  // namespace

std::string csvField(const std::string& text) {
    std::string s = readAsFormula(text) ? "'" + text : text;
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string quoted = "\"";
    for (const char c : s) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace tessaro::cli
