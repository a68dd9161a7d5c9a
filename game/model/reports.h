// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The plan report and the performance sheet of the quarter run last, and the
// data of the three plot windows, read from the database as the windows and
// the command-line front show them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/runstopped.h"

namespace tessaro::model {

using TextGrid = std::vector<std::vector<std::string>>;

struct PlanReport {
    std::optional<MessageBox> failure;
    bool planNumberShown = false;  // Label2 got its text
    bool filled = false;           // the grids got their values
    std::string planNumberText;
    std::int32_t productionDecision = 0;
    std::int32_t hiringDecision = 0;
    std::array<std::string, 6> levels;    // end-plan pt ptt poq poc pinv pobl
    std::array<std::string, 5> rates;     // end-plan phr pqr por pofr ppr
    std::array<std::string, 6> averages;  // zt ztt zoq zoc zinv zobl
    std::array<std::string, 5> totals;    // zhr zqr zor zofr zpr

    // MSFlexGrid1: 7 rows x 6 columns, levels and rates.
    TextGrid variablesGrid() const;
    // MSFlexGrid2: 2 x 2, decisions against what happened.
    TextGrid decisionGrid() const;
};

PlanReport loadPlanReport(const std::string& connectionString);

struct PerformanceSheet {
    std::optional<MessageBox> failure;
    bool filled = false;
    std::string planNumberText;
    // ZTE zouc zpc zinvc zhc zsc zttc zqc zinsc ZTC ZVG ZCVG as whole numbers.
    std::array<std::int32_t, 12> values{};

    // The 15 x 2 sheet.
    TextGrid grid() const;
    bool gameValueRed() const { return values[10] < 0; }
    bool averageValueRed() const { return values[11] < 0; }
};

PerformanceSheet loadPerformanceSheet(const std::string& connectionString);

// The three plot windows: during the last quarter (selector p, 1 to 6), past
// plan-quarters (p2, 1 to 8), and the value of the game (p3, 1 or 2).
enum class PlotKind { DuringPlan, PastPlan, GameValue };

struct PlotData {
    std::optional<MessageBox> failure;
    std::string caption;
    std::string title;
    std::string xTitle;
    std::string yTitle;
    std::vector<std::string> labels;  // " 1", " 2", ...
    std::vector<std::string> values;  // plain text of the stored numbers
};

PlotData loadPlot(const std::string& connectionString, PlotKind kind, int selector);

// The number of choices of a plot kind's selector, and its menu caption.
int plotChoices(PlotKind kind);

}  // namespace tessaro::model
