// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/tables.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testgame.h"

namespace tessaro::model {
namespace {

using testing::press;

TEST(Tables, historyListsEveryQuarterWithItsAccountsBesideIt) {
    testing::TempDir dir;
    const auto cs = testing::newGame(dir);
    ASSERT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    const auto history = readHistory(cs);
    ASSERT_EQ(static_cast<long long>(history.rows.size()), testing::count(cs, "PLIO"));
    const auto column = [&](const std::string& name) {
        const auto it = std::find(history.head.begin(), history.head.end(), name);
        EXPECT_NE(it, history.head.end()) << name;
        return static_cast<std::size_t>(it - history.head.begin());
    };
    for (const auto& row : history.rows) EXPECT_EQ(row.size(), history.head.size());
    // Row 0 is the firm before play: no accounts.
    EXPECT_EQ(history.rows.front()[column("ZNPLPD")], "");
    const auto& last = history.rows.back();
    EXPECT_EQ(last[column("ZNPLPD")], last[column("PNPLPD")]);
    EXPECT_EQ(last[column("ZVG")],
              testing::scalarText(cs,
                                  "SELECT CASE WHEN ZVG = CAST(ZVG AS INTEGER) THEN "
                                  "CAST(ZVG AS INTEGER) ELSE ZVG END FROM PLDI "
                                  "ORDER BY ZNPLPD DESC LIMIT 1"));
}

TEST(Tables, traceHasEveryWeekOfTheLastQuarter) {
    testing::TempDir dir;
    const auto cs = testing::newGame(dir);
    ASSERT_EQ(press(cs, "2800", "12", "WOTA"), RunOutcome::PlanRun);
    const auto trace = readTrace(cs);
    ASSERT_FALSE(trace.head.empty());
    EXPECT_EQ(static_cast<long long>(trace.rows.size()), testing::count(cs, "PLED"));
    ASSERT_FALSE(trace.rows.empty());
    for (const auto& row : trace.rows) EXPECT_EQ(row.size(), trace.head.size());
}

TEST(Tables, planQuartersAreCountedFromTheQuarterRows) {
    testing::TempDir dir;
    EXPECT_EQ(countPlanQuarters(testing::emptyTables(dir)), 0);
    testing::TempDir other;
    const auto cs = testing::newGame(other);
    ASSERT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(countPlanQuarters(cs), testing::count(cs, "PLIO"));
    EXPECT_EQ(countPlanQuarters(cs), 3);
}

}  // namespace
}  // namespace tessaro::model
