// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "statementtext.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "asciitext.h"

namespace tessaro::store {
namespace {

std::string_view trimmed(std::string_view s) {
    s = skipBlanks(s);
    while (!s.empty() && isAsciiSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool isNull(std::string_view v) {
    return lowerAscii(v) == "null";
}

// Where `lowerWord` first stands in `s`, in any case.
std::size_t findIgnoringCase(std::string_view s, std::string_view lowerWord) {
    for (std::size_t i = 0; i + lowerWord.size() <= s.size(); ++i) {
        std::size_t j = 0;
        while (j < lowerWord.size() && lowerAscii(s[i + j]) == lowerWord[j]) ++j;
        if (j == lowerWord.size()) return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && isAsciiSpace(s.front())) s.remove_prefix(1);
    return s;
}

bool onlyBlanks(std::string_view s) {
    return skipBlanks(s).empty();
}

bool startsWithWord(std::string_view s, std::string_view word) {
    if (s.size() < word.size()) return false;
    if (lowerAscii(s.substr(0, word.size())) != word) return false;
    return s.size() == word.size() || !isAsciiAlnum(s[word.size()]);
}

bool startsWithWords(std::string_view s, std::initializer_list<std::string_view> words) {
    for (const auto word : words) {
        s = skipBlanks(s);
        if (!startsWithWord(s, word)) return false;
        s.remove_prefix(word.size());
    }
    return true;
}

std::string normaliseStatement(std::string_view text) {
    std::string_view rest = skipBlanks(text);
    if (startsWithWord(rest, "delete")) {
        std::string_view after = skipBlanks(rest.substr(6));
        if (!after.empty() && after.front() == '*') {
            return "delete " + std::string(skipBlanks(after.substr(1)));
        }
    }
    return std::string(text);
}

const TableShape* wholeTableSelected(std::string_view text) {
    std::string_view rest = skipBlanks(text);
    if (!startsWithWord(rest, "select")) return nullptr;
    rest = skipBlanks(rest.substr(6));
    if (rest.empty() || rest.front() != '*') return nullptr;
    rest = skipBlanks(rest.substr(1));
    if (!startsWithWord(rest, "from")) return nullptr;
    rest = skipBlanks(rest.substr(4));
    std::string table;
    while (!rest.empty() && (isAsciiAlnum(rest.front()) || rest.front() == '_')) {
        table += rest.front();
        rest.remove_prefix(1);
    }
    if (!skipBlanks(rest).empty()) return nullptr;
    for (const auto& t : gameTables())
        if (lowerAscii(t.name) == lowerAscii(table)) return &t;
    return nullptr;
}

bool isNumericLiteral(std::string_view v) {
    std::size_t i = 0;
    if (i < v.size() && v[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < v.size(); ++i) {
        if (isAsciiDigit(v[i]))
            digits = true;
        else if (v[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return false;
    if (i < v.size() && (v[i] == 'E' || v[i] == 'e')) {
        ++i;
        if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
        bool expDigits = false;
        for (; i < v.size() && isAsciiDigit(v[i]); ++i) expDigits = true;
        if (!expDigits) return false;
    }
    return i == v.size();
}

Value literalValue(std::string_view literal) {
    const char* first = literal.data();
    const char* last = first + literal.size();
    if (literal.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t whole = 0;
        const auto [end, ec] = std::from_chars(first, last, whole);
        if (ec == std::errc() && end == last) return Value::integer(whole);
    }
    // from_chars rounds to the nearest double and reads a point whatever
    // the locale. A numeral past a double's range (never one the model
    // writes) is read as its infinity, or as zero when its exponent is
    // negative, as the engines read it.
    double real = 0;
    const auto [end, ec] = std::from_chars(first, last, real);
    if (ec == std::errc::result_out_of_range) {
        const auto e = literal.find_first_of("eE");
        const bool tiny =
            e != std::string_view::npos && e + 1 < literal.size() && literal[e + 1] == '-';
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        real = literal.front() == '-' ? -magnitude : magnitude;
    }
    return Value::real(real);
}

bool splitLiteralInsert(std::string_view text, LiteralInsert& out) {
    const std::string_view body = trimmed(text);
    if (!startsWithWord(body, "insert")) return false;
    const auto open = findIgnoringCase(body, "values(");
    if (open == std::string_view::npos || body.back() != ')') return false;
    const std::string_view head = body.substr(0, open + 7);
    if (head.find('\'') != std::string_view::npos || head.find(';') != std::string_view::npos ||
        head.find('?') != std::string_view::npos)
        return false;
    std::string_view rest = body.substr(open + 7, body.size() - open - 8);
    out.values.clear();
    for (;;) {
        const auto comma = rest.find(',');
        const std::string_view v = trimmed(rest.substr(0, comma));
        if (isNull(v))
            out.values.emplace_back();
        else if (isNumericLiteral(v))
            out.values.push_back(literalValue(v));
        else
            return false;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    out.text.assign(head);
    for (std::size_t i = 0; i < out.values.size(); ++i) {
        out.text += i ? ",?" : "?";
        out.text += std::to_string(i + 1);
    }
    out.text += ")";
    return true;
}

std::string shownName(std::string_view name) {
    std::string out;
    for (char c : name.substr(0, 40)) out += c >= ' ' && c <= '~' ? c : '?';
    if (name.size() > 40) out += "...";
    return out;
}

std::string withArticle(const std::string& type) {
    const bool vowel =
        !type.empty() && std::string_view("aeiou").find(type[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + type;
}

}  // namespace tessaro::store
