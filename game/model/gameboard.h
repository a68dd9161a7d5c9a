// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What the game board of the main window shows, read from the database:
// the plan-quarter count, the Plan Brief of the last quarter run, and ten
// indicators before and after that quarter as values and as percentages of
// fixed reference values.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "model/runstopped.h"
#include "store/value.h"

namespace tessaro::model {

struct BoardIndicator {
    const char* chartLabel;     // row label of the chart
    const char* head;           // column head of the value table
    const char* tooltip;        // the head's tooltip
    const char* column;         // column read
    bool fromPldi;              // PLDI instead of PLIO
    double reference;           // the value shown as 100 %
    const char* referenceText;  // the "100% Means :" cell
};

inline constexpr int kIndicatorCount = 10;
const std::array<BoardIndicator, kIndicatorCount>& boardIndicators();

// Captions of the Plan Brief values, in board order, and their PLDI columns.
struct BriefLine {
    const char* heading;  // empty where the line continues the heading above
    const char* caption;
    const char* column;
};
inline constexpr int kBriefCount = 7;
const std::array<BriefLine, kBriefCount>& briefLines();

struct GameBoard {
    // How far the load got; a load that stops early shows `failure`.
    enum class Stage { None, PlanCount, Brief, Complete };
    Stage reached = Stage::None;
    std::optional<MessageBox> failure;

    int planCount = 0;                            // PLIO rows: the header number
    std::array<store::Value, kBriefCount> brief;  // last PLDI row
    int beforePlanNumber = 0;  // PNPLPD of the before-plan row; -1 when it holds no plan number
    std::array<store::Value, kIndicatorCount> before;  // an entry may be empty
    std::array<store::Value, kIndicatorCount> after;
    std::array<double, kIndicatorCount> beforePercent{};
    std::array<double, kIndicatorCount> afterPercent{};

    // Texts of the Before Plan and After Plan cells of the value table.
    std::string beforeCellText(int i) const;
    std::string afterCellText(int i) const;
    // Cells of the two game values turn red when below 0.
    bool beforeCellRed(int i) const;
    bool afterCellRed(int i) const;
};

// Reads the board. Failures of the database itself throw store::StoreError.
GameBoard loadGameBoard(const std::string& connectionString);

}  // namespace tessaro::model
