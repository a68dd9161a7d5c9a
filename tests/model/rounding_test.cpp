// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessaro::model {
namespace {

TEST(RoundHalfEven, halvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(13.5), 14);
    EXPECT_EQ(roundHalfEven(2.125, 2), 2.12);
    EXPECT_EQ(roundHalfEven(2.375, 2), 2.38);
    EXPECT_EQ(roundHalfEven(0.25, 1), 0.2);
    EXPECT_EQ(roundHalfEven(2.99999999779, 1), 3);
}

TEST(RoundHalfEven, nonHalvesRoundToNearest) {
    EXPECT_EQ(roundHalfEven(1.0521739130434782, 2), 1.05);
    EXPECT_EQ(roundHalfEven(1576.46581851234, 7), 1576.4658185);
    EXPECT_EQ(roundHalfEven(2.6, 0), 3);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
    EXPECT_FALSE(std::signbit(roundHalfEven(-0.4)));  // never a negative zero
}

TEST(RoundUpAtHalf, takesTheWholePartOfValuePlusAHalf) {
    EXPECT_EQ(roundUpAtHalf(17503.5), 17504);
    EXPECT_EQ(roundUpAtHalf(2.5), 3);
    EXPECT_EQ(roundUpAtHalf(-2.5), -2);
    EXPECT_EQ(roundUpAtHalf(-2.6), -3);
    EXPECT_EQ(roundUpAtHalf(99.49), 99);
}

TEST(ToInt32, roundsHalvesToEvenAndClampsToTheRange) {
    EXPECT_EQ(toInt32(1999.5), 2000);
    EXPECT_EQ(toInt32(2000.5), 2000);
    EXPECT_EQ(toInt32(-4.5), -4);
    EXPECT_EQ(toInt32(1e20), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(toInt32(-1e20), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace tessaro::model
