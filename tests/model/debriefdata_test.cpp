// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/debriefdata.h"

#include <gtest/gtest.h>

#include "testgame.h"

namespace tessaro::model {
namespace {

using testing::press;

const MessageBox kNoPlanNumber{"No Data to Show Plan Number!!!", "Plan Number", Icon::Critical};
const MessageBox kNoReport{"No Data to Show in Plan Report!!!", "Plan Report", Icon::Critical};

class DebriefData : public ::testing::Test {
protected:
    void SetUp() override { cs = testing::newGame(dir); }
    void runs(int n) {
        for (int i = 0; i < n; ++i) ASSERT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    }
    testing::TempDir dir;
    std::string cs;
};

TEST_F(DebriefData, gamesWithNothingToReportGiveTheWindowsMessages) {
    testing::TempDir bare;
    const auto empty = readDebrief(testing::emptyTables(bare));
    ASSERT_TRUE(empty.failure);
    EXPECT_EQ(*empty.failure, kNoPlanNumber);

    // Accounting rows but no quarter rows: the sheet reads, the report not.
    testing::sql(cs, "DELETE FROM PLIO");
    const auto noQuarters = readDebrief(cs);
    ASSERT_TRUE(noQuarters.failure);
    EXPECT_EQ(*noQuarters.failure, kNoPlanNumber);

    // Quarter rows but no accounting rows.
    testing::TempDir other;
    const auto fresh = testing::newGame(other);
    testing::sql(fresh, "DELETE FROM PLDI");
    const auto noAccounts = readDebrief(fresh);
    ASSERT_TRUE(noAccounts.failure);
    EXPECT_EQ(*noAccounts.failure, kNoPlanNumber);
}

TEST_F(DebriefData, everyPartComesFromTheSameQuarterAsTheWindowsShowIt) {
    runs(3);
    const auto read = readDebrief(cs);
    ASSERT_FALSE(read.failure);
    const auto& d = read.data;
    EXPECT_EQ(d.planCount, testing::count(cs, "PLIO"));
    ASSERT_EQ(static_cast<long long>(d.quarters.size()), testing::count(cs, "PLDI"));
    EXPECT_EQ(d.quarters.back().planNumberText, d.sheet.planNumberText);
    EXPECT_EQ(d.report.planNumberText, testing::scalarText(cs, "SELECT MAX(PNPLPD) FROM PLIO"));

    const auto sheet = loadPerformanceSheet(cs);
    EXPECT_EQ(d.sheet.values, sheet.values);
    EXPECT_EQ(d.quarters.back().sheet, sheet.values);
    const auto report = loadPlanReport(cs);
    EXPECT_EQ(d.report.variablesGrid(), report.variablesGrid());
    EXPECT_EQ(d.report.decisionGrid(), report.decisionGrid());

    ASSERT_EQ(static_cast<int>(d.plots.size()),
              plotChoices(PlotKind::PastPlan) + plotChoices(PlotKind::GameValue));
    for (int s = 1; s <= plotChoices(PlotKind::PastPlan); ++s) {
        const auto plot = loadPlot(cs, PlotKind::PastPlan, s);
        EXPECT_EQ(d.plots[static_cast<std::size_t>(s - 1)].values, plot.values) << s;
        EXPECT_EQ(d.plots[static_cast<std::size_t>(s - 1)].yTitle, plot.yTitle) << s;
    }
    const auto value = loadPlot(cs, PlotKind::GameValue, 2);
    EXPECT_EQ(d.plots.back().values, value.values);
    EXPECT_EQ(d.plots.back().yTitle, "AVERAGE GAME VALUE");
}

TEST_F(DebriefData, quarterScoresAreWholeNumbersWithHalvesToEven) {
    runs(1);
    testing::sql(cs,
                 "UPDATE PLDI SET ZVG = 2.5, ZTVG = -3.5, ZCVG = 7.5 WHERE ZNPLPD = "
                 "(SELECT MIN(ZNPLPD) FROM PLDI);"
                 "UPDATE PLDI SET ZVG = 3.5, ZTVG = NULL WHERE ZNPLPD = "
                 "(SELECT MAX(ZNPLPD) FROM PLDI)");
    const auto read = readDebrief(cs);
    ASSERT_FALSE(read.failure);
    ASSERT_EQ(read.data.quarters.size(), 2u);
    const auto& first = read.data.quarters.front();
    const auto& last = read.data.quarters.back();
    EXPECT_EQ(first.sheet[kGameValue], 2);
    EXPECT_EQ(first.runningTotal, -4);
    EXPECT_EQ(first.sheet[kAverageValue], 8);
    EXPECT_EQ(last.sheet[kGameValue], 4);
    EXPECT_EQ(last.runningTotal, 0);  // an empty value counts as nothing
    EXPECT_NE(first.planNumberText, last.planNumberText);
}

}  // namespace
}  // namespace tessaro::model
