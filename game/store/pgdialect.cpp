// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "pgdialect.h"

#include "asciitext.h"
#include "schema.h"
#include "statementtext.h"

namespace tessaro::store {
namespace {

bool isWordChar(char c) {
    return isAsciiAlnum(c) || c == '_' || c == '$';
}

// PLED's columns as its select names them.
std::string pledColumnList() {
    std::string list;
    for (const auto c : pledColumns()) {
        if (!list.empty()) list += ", ";
        list += c;
    }
    return list;
}

// "SELECT * FROM PLED ..." with the star named out; other texts as they are.
std::string pledStarNamed(const std::string& text) {
    std::string_view rest = skipBlanks(text);
    if (!startsWithWord(rest, "select")) return text;
    rest = skipBlanks(rest.substr(6));
    if (rest.empty() || rest.front() != '*') return text;
    const std::size_t star = text.size() - rest.size();
    rest = skipBlanks(rest.substr(1));
    if (!startsWithWord(rest, "from")) return text;
    rest = skipBlanks(rest.substr(4));
    if (!startsWithWord(rest, "pled")) return text;
    return text.substr(0, star) + pledColumnList() + text.substr(star + 1);
}

}  // namespace

std::string toServerDialect(std::string_view text) {
    std::string word(skipBlanks(text));
    while (!word.empty() && isAsciiSpace(word.back())) word.pop_back();
    if (lowerAscii(word) == "begin") return "BEGIN ISOLATION LEVEL REPEATABLE READ";
    std::string out;
    out.reserve(text.size() + 16);
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            out += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?' && i + 1 < text.size() && isAsciiDigit(text[i + 1])) {
            out += '$';
        } else if (isWordChar(c) && (i == 0 || !isWordChar(text[i - 1]))) {
            std::size_t end = i;
            while (end < text.size() && isWordChar(text[end])) ++end;
            const std::string_view word = text.substr(i, end - i);
            out += lowerAscii(word) == "rowid" ? std::string("ESEQ") : std::string(word);
            i = end - 1;
        } else {
            out += c;
        }
    }
    return pledStarNamed(out);
}

}  // namespace tessaro::store
