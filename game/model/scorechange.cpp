// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/scorechange.h"

#include <utility>

namespace tessaro::model {

double ScoreChange::change(SheetValue line) const {
    return double(last[line]) - double(before[line]);
}

double ScoreChange::effect(SheetValue line) const {
    const bool gain = line == kEarnings || line == kGameValue || line == kAverageValue;
    return gain ? change(line) : -change(line);
}

ScoreChange lastScoreChange(const std::vector<QuarterScore>& quarters) {
    ScoreChange c;
    const QuarterScore& last = quarters.back();
    c.last = last.sheet;
    c.lastPlanNumberText = last.planNumberText;
    if (quarters.size() >= 2) {
        const QuarterScore& before = quarters[quarters.size() - 2];
        c.before = before.sheet;
        c.beforePlanNumberText = before.planNumberText;
    } else {
        c.firstQuarter = true;
    }
    return c;
}

std::vector<WaterfallStep> valueWaterfall(const ScoreChange& c) {
    using Kind = WaterfallStep::Kind;
    std::vector<WaterfallStep> steps;
    const double start = c.before[kGameValue];
    steps.push_back({Kind::Start, c.firstQuarter ? "Start" : "Plan " + c.beforePlanNumberText, 0,
                     start, start});
    double level = start;
    const auto step = [&](const char* label, double effect) {
        steps.push_back(
            {effect >= 0 ? Kind::Gain : Kind::Loss, label, level, level + effect, effect});
        level += effect;
    };
    const std::pair<const char*, SheetValue> lines[] = {
        {"Earnings", kEarnings},
        {"Order Backlog", kBacklogCost},
        {"Production", kProductionCost},
        {"Inventory", kInventoryCost},
        {"Hiring New People", kHiringCost},
        {"Salaries Exp. People", kExperiencedSalaries},
        {"Salaries Trainees", kTraineeSalaries},
        {"People Quitting", kQuittingCost},
    };
    for (const auto& [label, line] : lines) step(label, c.effect(line));
    const double end = c.last[kGameValue];
    if (level != end) step("Unaccounted", end - level);
    steps.push_back({Kind::End, "Plan " + c.lastPlanNumberText, 0, end, end});
    return steps;
}

}  // namespace tessaro::model
