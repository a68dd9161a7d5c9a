// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <array>
#include <cstdint>

#include "model/scorechange.h"
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

// The score: how the value of the game went from the quarter before to the
// last one, bar by bar, with the heads of the two quarters' columns.
struct Comparison {
    model::ScoreChange change;
    QString beforeHead;
    QString lastHead;
};

Comparison compare(const model::DebriefData& data) {
    Comparison c{model::lastScoreChange(data.quarters), {}, {}};
    c.lastHead = "Plan-Quarter " + qs(c.change.lastPlanNumberText);
    c.beforeHead = c.change.firstQuarter ? QString("Before Play")
                                         : "Plan-Quarter " + qs(c.change.beforePlanNumberText);
    return c;
}

std::vector<Step> waterfallSteps(const model::ScoreChange& c) {
    using Kind = model::WaterfallStep::Kind;
    std::vector<Step> steps;
    for (const auto& s : model::valueWaterfall(c)) {
        const bool level = s.kind == Kind::Start || s.kind == Kind::End;
        const QColor colour = s.kind == Kind::Start  ? kBeforePlan
                              : s.kind == Kind::End  ? kAfterPlan
                              : s.kind == Kind::Gain ? kUp
                                                     : kRed;
        steps.push_back(
            {qs(s.label), s.from, s.to, colour, level ? whole(s.amount) : signedWhole(s.amount)});
    }
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
    const model::ScoreChange& s = c.change;
    const auto line = [&](model::SheetValue which, QColor back = kWhite) {
        const double effect = s.effect(which);
        grid.rows.push_back(
            {{kSheetLines[which], Qt::AlignLeft | Qt::AlignVCenter, back},
             {whole(s.before[which]), Qt::AlignCenter, back, s.before[which] < 0 ? kRed : kBlack},
             {whole(s.last[which]), Qt::AlignCenter, back, s.last[which] < 0 ? kRed : kBlack},
             {signedWhole(s.change(which)), Qt::AlignCenter, back},
             {signedWhole(effect), Qt::AlignCenter, back, effect < 0 ? kRed : kBlack}});
    };
    line(model::kEarnings);
    line(model::kBacklogCost);
    line(model::kProductionCost);
    line(model::kInventoryCost);
    grid.rows.push_back(
        {{"4. Manpower Costs :", Qt::AlignLeft | Qt::AlignVCenter, kWhite, kBlack, 5}});
    for (model::SheetValue part : {model::kHiringCost, model::kExperiencedSalaries,
                                   model::kTraineeSalaries, model::kQuittingCost})
        line(part);
    line(model::kManpowerCost);
    line(model::kTotalCost, kShade);
    line(model::kGameValue);
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
    const std::vector<Step> steps = waterfallSteps(c.change);
    pager.space(pt(2 * kGap));
    const double waterfallHeight = pt(300);
    addHeading(pager,
               "Plan-Quarter " + qs(data.quarters.back().planNumberText) + " Against " +
                   (c.change.firstQuarter ? QString("the Start of Play") : c.beforeHead),
               pt(6) + waterfallHeight);
    pager.space(pt(6));
    pager.add(waterfallHeight,
              waterfallPaint(
                  steps, "Value of The Game: " + steps.front().label + " to " + steps.back().label,
                  device));
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
