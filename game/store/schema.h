// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The three game tables and the initial firm a new game starts from.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tessaro::store {

class Connection;

struct TableShape {
    std::string_view name;
    std::string_view orderBy;  // what "Select * from <name>" is ordered by
    std::string_view createText;
};

// PLIO: state at the start of each plan-quarter and its decisions.
// PLED: trace of the steps of the quarter run last, in insertion order.
// PLDI: accounting of each quarter run.
const std::array<TableShape, 3>& gameTables();

// Column names of a game table in their stored order.
const std::array<std::string_view, 24>& plioColumns();
const std::array<std::string_view, 14>& pledColumns();
const std::array<std::string_view, 25>& pldiColumns();

// Creates the three tables on an empty database.
void createGameTables(Connection& db);

// The statement text that inserts PLIO row 0, the firm a new game starts
// with; its four decision columns stay empty.
std::string initialFirmInsertText();

}  // namespace tessaro::store
