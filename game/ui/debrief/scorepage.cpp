// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <array>
#include <cstdint>

#include "ui/debrief/pages.h"

namespace tessaro::ui::debrief {
namespace {

const char* const kSheetLines[] = {
    "1. Earnings From Orders Filled in this plan :",
    "1. Costs of Order Backlog in this plan :",
    "2. Costs of Production in this plan :",
    "3. Costs of Inventory in this plan :",
    "   a) Costs of Hiring New People :",
    "   b) Salaries to Experienced People :",
    "   c) Salaries to Trainees :",
    "   d) Costs of people quitting :",
    "Total, (a) + (b) + (c) + (d) :",
    "5. Total Costs in this plan (1+2+3+4)",
    "Value of The Game :      ",
    "Average Value of The Game :      ",
};

// ---------------------------------------------------------------------------
// The score: how the value of the game went from the quarter before to the
// last one, bar by bar.

struct Comparison {
    QString beforeHead;  // the column of the quarter before
    QString lastHead;
    std::array<std::int32_t, 12> before{};
    std::array<std::int32_t, 12> last{};
    bool firstQuarter = false;
    QString beforeName;  // the start bar
    QString lastName;    // the end bar
};

Comparison compare(const model::DebriefData& data) {
    Comparison c;
    const model::QuarterScore& last = data.quarters.back();
    c.last = last.sheet;
    c.lastHead = "Plan-Quarter " + qs(last.planNumberText);
    c.lastName = "Plan " + qs(last.planNumberText);
    if (data.quarters.size() >= 2) {
        const model::QuarterScore& before = data.quarters[data.quarters.size() - 2];
        c.before = before.sheet;
        c.beforeHead = "Plan-Quarter " + qs(before.planNumberText);
        c.beforeName = "Plan " + qs(before.planNumberText);
    } else {
        // Before the first quarter nothing was earned or spent.
        c.firstQuarter = true;
        c.beforeHead = "Before Play";
        c.beforeName = "Start";
    }
    return c;
}

std::vector<Step> waterfallSteps(const Comparison& c) {
    std::vector<Step> steps;
    const double start = c.before[model::kGameValue];
    steps.push_back({c.beforeName, 0, start, kBeforePlan, whole(start)});
    double level = start;
    const auto change = [&](const QString& label, double effect) {
        steps.push_back(
            {label, level, level + effect, effect >= 0 ? kUp : kRed, signedWhole(effect)});
        level += effect;
    };
    change("Earnings", double(c.last[model::kEarnings]) - c.before[model::kEarnings]);
    const std::pair<const char*, model::SheetValue> costs[] = {
        {"Order Backlog", model::kBacklogCost},
        {"Production", model::kProductionCost},
        {"Inventory", model::kInventoryCost},
        {"Hiring New People", model::kHiringCost},
        {"Salaries Exp. People", model::kExperiencedSalaries},
        {"Salaries Trainees", model::kTraineeSalaries},
        {"People Quitting", model::kQuittingCost},
    };
    for (const auto& [label, which] : costs)
        change(label, -(double(c.last[which]) - c.before[which]));
    // The stored figures of an edited game need not add up; the bar that
    // makes up the difference keeps the chart's end true to the sheet.
    const double end = c.last[model::kGameValue];
    if (level != end) change("Unaccounted", end - level);
    steps.push_back({c.lastName, 0, end, kAfterPlan, whole(end)});
    return steps;
}

Grid quarterTable(const model::DebriefData& data) {
    Grid grid{{2500, 3500, 3500, 3500}, 340, {}};
    grid.rows.push_back({{"Plan-Quarter", Qt::AlignCenter, kShade},
                         {"Value of The Game", Qt::AlignCenter, kShade},
                         {"Running Total", Qt::AlignCenter, kShade},
                         {"Average Value of The Game", Qt::AlignCenter, kShade}});
    for (const model::QuarterScore& q : data.quarters) {
        const auto cell = [](double v) {
            return Cell{whole(v), Qt::AlignCenter, kWhite, v < 0 ? kRed : kBlack};
        };
        grid.rows.push_back({{qs(q.planNumberText)},
                             cell(q.sheet[model::kGameValue]),
                             cell(q.runningTotal),
                             cell(q.sheet[model::kAverageValue])});
    }
    return grid;
}

Grid comparisonTable(const Comparison& c) {
    Grid grid{{6200, 2200, 2200, 2200, 3200}, 340, {}};
    grid.rows.push_back({{"Values in 1000 Rs.", Qt::AlignCenter, kShade},
                         {c.beforeHead, Qt::AlignCenter, kShade},
                         {c.lastHead, Qt::AlignCenter, kShade},
                         {"Change", Qt::AlignCenter, kShade},
                         {"Effect on the Value of The Game", Qt::AlignCenter, kShade}});
    const auto line = [&](model::SheetValue which, int sign, QColor back = kWhite) {
        const double change = double(c.last[which]) - c.before[which];
        const double effect = sign * change;
        grid.rows.push_back(
            {{kSheetLines[which], Qt::AlignLeft | Qt::AlignVCenter, back},
             {whole(c.before[which]), Qt::AlignCenter, back, c.before[which] < 0 ? kRed : kBlack},
             {whole(c.last[which]), Qt::AlignCenter, back, c.last[which] < 0 ? kRed : kBlack},
             {signedWhole(change), Qt::AlignCenter, back},
             {signedWhole(effect), Qt::AlignCenter, back, effect < 0 ? kRed : kBlack}});
    };
    line(model::kEarnings, 1);
    line(model::kBacklogCost, -1);
    line(model::kProductionCost, -1);
    line(model::kInventoryCost, -1);
    grid.rows.push_back(
        {{"4. Manpower Costs :", Qt::AlignLeft | Qt::AlignVCenter, kWhite, kBlack, 5}});
    for (model::SheetValue part : {model::kHiringCost, model::kExperiencedSalaries,
                                   model::kTraineeSalaries, model::kQuittingCost})
        line(part, -1);
    line(model::kManpowerCost, -1);
    line(model::kTotalCost, -1, kShade);
    line(model::kGameValue, 1);
    return grid;
}

}  // namespace

void addScorePage(Pager& pager, const model::DebriefData& data, QPaintDevice* device) {
    pager.newPage();
    addHeading(pager, "How the Value of The Game Came About", pt(80));
    pager.space(pt(6));
    addParagraph(pager, device,
                 "The value of the game of a plan-quarter is its earnings from the orders "
                 "filled less its total costs. The running total adds up the values of every "
                 "plan-quarter played; the average is the running total divided by the "
                 "plan-quarters played. All values are in 1000 Rs.");
    pager.space(pt(6));
    addGrid(pager, quarterTable(data), device, 1);

    // The last quarter against the one before: the waterfall, then its
    // lines as figures.
    const Comparison c = compare(data);
    pager.space(pt(2 * kGap));
    const double waterfallHeight = pt(300);
    addHeading(pager,
               "Plan-Quarter " + qs(data.quarters.back().planNumberText) + " Against " +
                   (c.firstQuarter ? QString("the Start of Play") : c.beforeHead),
               pt(6) + waterfallHeight);
    pager.space(pt(6));
    pager.add(waterfallHeight,
              waterfallPaint(waterfallSteps(c),
                             "Value of The Game: " + c.beforeName + " to " + c.lastName, device));
    pager.space(pt(2 * kGap));
    const Grid lines = comparisonTable(c);
    double linesHeight = 0;
    for (double h : layOut(lines, pager.width(), device).rowHeights) linesHeight += h;
    addHeading(pager, "The Sheet's Lines: " + c.lastHead + " Against " + c.beforeHead,
               pt(6) + linesHeight);
    pager.space(pt(6));
    addGrid(pager, lines, device, 1, Flow::KeepTogether);
}

}  // namespace tessaro::ui::debrief
