// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game's statement texts as the store reads them, whatever the engine:
// the forms the game has always written ("delete * from T", "Select * from
// PLIO"), the literal inserts of a quarter turned into one parameterised
// text with its values, and names out of a file made fit for a message.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "schema.h"
#include "value.h"

namespace tessaro::store {

std::string_view skipBlanks(std::string_view s);
bool onlyBlanks(std::string_view s);
// Whether `s` starts with `word` (any case) followed by no letter or digit.
bool startsWithWord(std::string_view s, std::string_view word);
// Whether `s` starts with these words, blanks between them.
bool startsWithWords(std::string_view s, std::initializer_list<std::string_view> words);

// "delete * from T", as the game has always emptied a table, becomes
// "delete from T"; every other text stays as it is.
std::string normaliseStatement(std::string_view text);

// The game table that a text selects whole ("Select * from PLIO" and its
// two siblings, in any case and spacing), or none.
const TableShape* wholeTableSelected(std::string_view text);

// "INSERT INTO T(cols) VALUES(v1, v2, ...)" with plain numeric literals and
// nulls only, as the model writes its rows: the text with ?1, ?2 ... in
// place of the literals, and their values. The values are read here, with
// the digits the model wrote, so that every engine stores the same number.
struct LiteralInsert {
    std::string text;
    std::vector<Value> values;
};
// False (and `out` unspecified) for any other text. `out` keeps its buffers
// between calls: the inserts of a quarter come one after another.
bool splitLiteralInsert(std::string_view text, LiteralInsert& out);

// A plain numeric literal as the game writes them: -12, 0.125, 1.5E-05.
bool isNumericLiteral(std::string_view v);
// The value a numeric literal stands for: a whole number when it has no
// point nor exponent and fits in 64 bits, else the nearest double.
Value literalValue(std::string_view literal);

// A name out of a file for a message: printable ASCII only, and short, since
// a hostile file chooses it.
std::string shownName(std::string_view name);
// "a table", "an index".
std::string withArticle(const std::string& type);

}  // namespace tessaro::store
