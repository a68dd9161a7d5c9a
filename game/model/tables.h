// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game's tables as plain text, for the command line's trace and history
// and for a window that needs only a count: every value in the store's own
// plain text, so a table printed reads the same in every locale.
#pragma once

#include <string>
#include <vector>

namespace tessaro::model {

struct TextTable {
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> rows;  // each as wide as `head`
};

// Every week of the last quarter (PLED), its columns in the table's order.
TextTable readTrace(const std::string& connectionString);

// Every quarter (PLIO) with its accounting (PLDI) beside it, from one state
// of the game; a quarter with no accounting row has empty cells there.
TextTable readHistory(const std::string& connectionString);

// The PLIO rows: the plan-quarter number the board shows (0 for a game
// with no rows).
int countPlanQuarters(const std::string& connectionString);

}  // namespace tessaro::model
