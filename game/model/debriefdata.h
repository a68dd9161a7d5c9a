// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Everything the debrief report shows, read from one state of the game: the
// plan-quarter number, the performance sheet and plan report of the quarter
// played last, the past plan and game value plots, and every quarter's
// score. The report only lays these out; nothing of it reads the game.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/reports.h"

namespace tessaro::model {

// One PLDI row with its money figures as the performance sheet shows them.
struct QuarterScore {
    std::string planNumberText;            // ZNPLPD
    std::array<std::int32_t, 12> sheet{};  // the sheet's twelve values, its order
    std::int32_t runningTotal = 0;         // ZTVG
};

// Indexes into QuarterScore::sheet, the performance sheet's order.
enum SheetValue {
    kEarnings,
    kBacklogCost,
    kProductionCost,
    kInventoryCost,
    kHiringCost,
    kExperiencedSalaries,
    kTraineeSalaries,
    kQuittingCost,
    kManpowerCost,
    kTotalCost,
    kGameValue,
    kAverageValue,
};

struct DebriefData {
    int planCount = 0;  // PLIO rows, the board's plan-quarter number
    PerformanceSheet sheet;
    PlanReport report;
    std::vector<PlotData> plots;         // past plan plots 1..8, then game value plots 1..2
    std::vector<QuarterScore> quarters;  // every PLDI row in plan order
};

// A game that has nothing to report gives the game's own message in
// `failure` (and `data` is then not to be shown); when there is none,
// `data.quarters` holds at least the quarter the sheet shows.
struct DebriefRead {
    DebriefData data;
    std::optional<MessageBox> failure;
};

// Reads the whole debrief in one read transaction, so that a run or a
// re-initialisation by another program meanwhile is either wholly in it or
// wholly out. A database failure throws StoreError.
DebriefRead readDebrief(const std::string& connectionString);

}  // namespace tessaro::model
