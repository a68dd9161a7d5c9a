// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The inside of the debrief report: what it reads from the game, and how its
// pages are laid out and painted.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/reports.h"

class QPainter;
class QPagedPaintDevice;

namespace tessaro::ui::debrief {

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

struct Data {
    int planCount = 0;  // PLIO rows, the board's plan-quarter number
    model::PerformanceSheet sheet;
    model::PlanReport report;
    std::vector<model::PlotData> plots;  // past plan plots 1..8, then game value plots 1..2
    std::vector<QuarterScore> quarters;  // every PLDI row in plan order
};

// Reads what the debrief shows. A game that has nothing to report gives the
// game's own message in `failure`; a database failure throws StoreError.
struct ReadResult {
    Data data;
    std::optional<model::MessageBox> failure;
    // Another program ran or re-initialised the game while it was read, so
    // the parts may belong to different quarters; read again.
    bool changedMeanwhile = false;
};
ReadResult readData(const std::string& connectionString);

// Lays the pages out and paints them on `device`, which the painter is open
// on; every page after the first is started with newPage(). Returns the
// number of pages.
int paintPages(QPagedPaintDevice& device, QPainter& painter, const Data& data);

}  // namespace tessaro::ui::debrief
