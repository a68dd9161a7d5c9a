// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/module1.h"

#include <gtest/gtest.h>

namespace tessaro::model {
namespace {

class TableFunctions : public ::testing::Test {
protected:
    void SetUp() override { fillTables(t); }
    ModelTables t;
};

TEST_F(TableFunctions, qualityFromOutputIsFlatBeyondBothEndsAndStraightBetween) {
    EXPECT_DOUBLE_EQ(tableLookup(3, t.qualityFromOutput), 1.1);
    EXPECT_DOUBLE_EQ(tableLookup(7.5, t.qualityFromOutput), 1.1);
    EXPECT_DOUBLE_EQ(tableLookup(11.25, t.qualityFromOutput), 0.925);
    EXPECT_DOUBLE_EQ(tableLookup(25, t.qualityFromOutput), 0.55);
    // A point exactly on an inner x gives that point's y.
    EXPECT_DOUBLE_EQ(tableLookup(12.5, t.qualityFromOutput), 0.85);
    EXPECT_DOUBLE_EQ(tableLookup(-4, t.qualityFromOutput), 1.1);
}

TEST_F(TableFunctions, complaintsOrdersAndHiringFraction) {
    EXPECT_DOUBLE_EQ(tableLookup(1.5, t.complaintsFromQuality), 0.5);
    EXPECT_DOUBLE_EQ(tableLookup(0.2, t.complaintsFromQuality), 4);
    EXPECT_DOUBLE_EQ(tableLookup(0.875, t.complaintsFromQuality), 1.5);
    EXPECT_DOUBLE_EQ(tableLookup(2, t.ordersFromQuality), 1500);
    EXPECT_DOUBLE_EQ(tableLookup(0.75, t.ordersFromQuality), 750);
    EXPECT_DOUBLE_EQ(tableLookup(0, t.ordersFromQuality), 0);
    EXPECT_DOUBLE_EQ(tableLookup(4, t.hiringFractionFromComplaints), 0.2);
    EXPECT_DOUBLE_EQ(tableLookup(9, t.hiringFractionFromComplaints), 0.2);
    EXPECT_DOUBLE_EQ(tableLookup(0.75, t.hiringFractionFromComplaints), 0.0179);
    EXPECT_DOUBLE_EQ(tableLookup(1.0, t.hiringFractionFromComplaints), 0.0258);
}

TEST_F(TableFunctions, tablesHaveTheirPointCounts) {
    EXPECT_EQ(t.qualityFromOutput.n, 7);
    EXPECT_EQ(t.complaintsFromQuality.n, 4);
    EXPECT_EQ(t.hiringFractionFromComplaints.n, 8);
    EXPECT_EQ(t.ordersFromQuality.n, 4);
    // Filling again gives the same tables: nothing depends on an earlier fill.
    ModelTables again;
    fillTables(again);
    fillTables(again);
    EXPECT_EQ(again.qualityFromOutput.y, t.qualityFromOutput.y);
}

TEST(Delay3, eachStageUsesTheValueJustProduced) {
    double s1 = 1000, s2 = 1000;
    const double out = delay3(1200, s1, s2, 1000, 3);
    EXPECT_DOUBLE_EQ(s1, 1025);
    EXPECT_DOUBLE_EQ(s2, 1003.125);
    EXPECT_DOUBLE_EQ(out, 1000.390625);
}

TEST(Delay3, settlesOnASteadyInput) {
    double s1 = 0, s2 = 0, out = 0;
    for (int i = 0; i < 2000; ++i) out = delay3(50, s1, s2, out, 3);
    EXPECT_NEAR(out, 50, 1e-9);
    EXPECT_NEAR(s1, 50, 1e-9);
}

TEST(Smooth1, movesAnEighthOfAMonthTowardTheInput) {
    EXPECT_NEAR(smooth1(0.9, 1, 6), 0.99791666666666667, 1e-15);
    EXPECT_DOUBLE_EQ(smooth1(3, 1, 2), 1.125);
}

}  // namespace
}  // namespace tessaro::model
