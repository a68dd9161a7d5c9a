// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/scorechange.h"

#include <gtest/gtest.h>

namespace tessaro::model {
namespace {

QuarterScore quarter(const std::string& plan, std::array<std::int32_t, 12> sheet) {
    QuarterScore q;
    q.planNumberText = plan;
    q.sheet = sheet;
    return q;
}

// Earnings 1000 less the eight costs (10 to 80) is 640; the manpower and
// total lines are the sums the sheet shows.
const std::array<std::int32_t, 12> kPlan3 = {1000, 10, 20, 30, 40, 50, 60, 70, 220, 280, 720, 600};
const std::array<std::int32_t, 12> kPlan4 = {900, 15, 20, 25, 40, 55, 60, 65, 220, 280, 615, 610};

TEST(ScoreChange, costsCountAgainstTheValueAndEarningsForIt) {
    const auto c = lastScoreChange({quarter("3", kPlan3), quarter("4", kPlan4)});
    EXPECT_FALSE(c.firstQuarter);
    EXPECT_EQ(c.beforePlanNumberText, "3");
    EXPECT_EQ(c.lastPlanNumberText, "4");
    EXPECT_EQ(c.change(kEarnings), -100);
    EXPECT_EQ(c.effect(kEarnings), -100);
    EXPECT_EQ(c.change(kBacklogCost), 5);
    EXPECT_EQ(c.effect(kBacklogCost), -5);
    EXPECT_EQ(c.effect(kInventoryCost), 5);  // a cost that fell raised the value
    EXPECT_EQ(c.effect(kGameValue), -105);
    EXPECT_EQ(c.effect(kAverageValue), 10);
}

TEST(ScoreChange, theWaterfallRunsFromOneValueToTheNextAndMakesUpWhatIsUnaccounted) {
    const auto c = lastScoreChange({quarter("3", kPlan3), quarter("4", kPlan4)});
    const auto steps = valueWaterfall(c);
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front().kind, WaterfallStep::Kind::Start);
    EXPECT_EQ(steps.front().label, "Plan 3");
    EXPECT_EQ(steps.front().to, 720);
    EXPECT_EQ(steps.back().kind, WaterfallStep::Kind::End);
    EXPECT_EQ(steps.back().label, "Plan 4");
    EXPECT_EQ(steps.back().to, 615);
    // Each change starts where the one before ended.
    for (std::size_t i = 2; i + 1 < steps.size(); ++i)
        EXPECT_EQ(steps[i].from, steps[i - 1].to) << steps[i].label;
    // The stored values do not follow from the lines (720 - 100 - 5 + 5
    // - 5 + 5 = 620, not 615): a bar of its own makes up the rest.
    const auto& unaccounted = steps[steps.size() - 2];
    EXPECT_EQ(unaccounted.label, "Unaccounted");
    EXPECT_EQ(unaccounted.amount, -5);
    EXPECT_EQ(unaccounted.kind, WaterfallStep::Kind::Loss);
    EXPECT_EQ(unaccounted.from, 620);
    EXPECT_EQ(unaccounted.to, 615);
    EXPECT_EQ(steps[1].label, "Earnings");
    EXPECT_EQ(steps[1].kind, WaterfallStep::Kind::Loss);
}

TEST(ScoreChange, theFirstQuarterStartsFromNothing) {
    std::array<std::int32_t, 12> only = {500, 0, 100, 0, 50, 0, 0, 0, 50, 150, 350, 350};
    const auto c = lastScoreChange({quarter("1", only)});
    EXPECT_TRUE(c.firstQuarter);
    EXPECT_EQ(c.effect(kProductionCost), -100);
    const auto steps = valueWaterfall(c);
    EXPECT_EQ(steps.front().label, "Start");
    EXPECT_EQ(steps.front().to, 0);
    EXPECT_EQ(steps.back().to, 350);
    // These figures add up: no bar is unaccounted.
    for (const auto& s : steps) EXPECT_NE(s.label, "Unaccounted");
    EXPECT_EQ(steps.size(), 10u);
}

}  // namespace
}  // namespace tessaro::model
