// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Character classes and case folding of ASCII texts (table, column and
// keyword names, passwords, numerals). Unlike <cctype> they do not follow
// the C library's locale, which the window toolkit sets from the player's
// environment: under a Turkish locale std::toupper('i') is not 'I'.
#pragma once

#include <string>
#include <string_view>

namespace tessaro::store {

constexpr bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool isAsciiAlnum(char c) {
    return isAsciiDigit(c) || isAsciiAlpha(c);
}
// The blanks of the C locale: space, tab, line feed, vertical tab, form
// feed, carriage return.
constexpr bool isAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

inline std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upperAscii(c);
    return out;
}

}  // namespace tessaro::store
