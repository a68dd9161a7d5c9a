// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The three game tables, the take-back table and the initial firm a new game starts from.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro::store {

class Connection;

struct TableShape {
    std::string_view name;
    std::string_view orderBy;  // what "Select * from <name>" is ordered by
    std::string_view createText;
    // Ordered by its integer primary key: a recordset reads it a few rows at
    // a time instead of whole.
    bool keyed = false;
};

// PLIO: state at the start of each plan-quarter and its decisions.
// PLED: trace of the steps of the quarter run last, in insertion order.
// PLDI: accounting of each quarter run.
const std::array<TableShape, 3>& gameTables();

// The game's own table beside the three, which no reader of them sees: for
// each quarter run since the game began keeping it, what is needed to take
// that quarter back exactly (model/takeback.h). A file without it is a game
// played before it existed, and is played as it is.
const TableShape& takeBackTable();
const std::array<std::string_view, 7>& takeBackColumns();

// Column names of a game table in their stored order.
const std::array<std::string_view, 24>& plioColumns();
const std::array<std::string_view, 14>& pledColumns();
const std::array<std::string_view, 25>& pldiColumns();

// Creates the three tables and the take-back table on an empty database.
void createGameTables(Connection& db);

// Creates the take-back table in a file of a game played before it existed.
void createTakeBackTableIfMissing(Connection& db);

// The game's tables on a class server, in a team's schema: the same tables,
// columns and keys as in a file, with PostgreSQL's types (plan numbers
// smallint, decisions integer, digests bigint, every other number double
// precision); PLED keeps the order its rows were written in a last column,
// ESEQ, which no reader sees. Then the team's archive: ARCHIVES (one row per
// game kept) and a copy of each game table with the number of the game kept
// in front, ARCHIVE.
std::vector<std::string> serverTableTexts();
std::vector<std::string> serverArchiveTexts();
// Every table of a team's schema, game and archive, in the order created.
std::vector<std::string> serverTableNames();

// The statement text that inserts PLIO row 0, the firm a new game starts
// with; its four decision columns stay empty.
std::string initialFirmInsertText();

}  // namespace tessaro::store
