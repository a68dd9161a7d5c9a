// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The one search for a text's size that the board, the report grids and the
// debrief share: the largest size that fits, never below the floor given.
#include "ui/look/textfit.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <cmath>
#include <vector>

namespace tessaro::ui {
namespace {

TEST(TextSize, aTextThatFitsKeepsItsSizeAndIsNotMeasuredSmaller) {
    std::vector<double> asked;
    const FittedSize f = largestFittingSize(14, 8, [&](double size) {
        asked.push_back(size);
        return true;
    });
    EXPECT_EQ(f.points, 14);
    EXPECT_TRUE(f.whole);
    EXPECT_EQ(asked, std::vector<double>{14});
}

TEST(TextSize, theLargestFittingSizeIsFoundToATwentiethOfAPoint) {
    for (const double limit : {8.0, 9.37, 11.5, 13.96}) {
        SCOPED_TRACE(limit);
        const FittedSize f = largestFittingSize(14, 8, [&](double size) { return size <= limit; });
        EXPECT_TRUE(f.whole);
        EXPECT_LE(f.points, limit);
        EXPECT_GT(f.points, limit - 0.1);
        // In twentieths, as the fonts are given.
        EXPECT_NEAR(f.points * 20, std::round(f.points * 20), 1e-9);
    }
}

TEST(TextSize, aTextTooLongEvenAtTheFloorIsDrawnAtTheFloorAndSaidToBeCut) {
    const FittedSize f = largestFittingSize(14, 8, [](double) { return false; });
    EXPECT_EQ(f.points, 8);
    EXPECT_FALSE(f.whole);
}

TEST(TextSize, aSizeAlreadyBelowTheFloorIsNeverMadeLarger) {
    const FittedSize small = largestFittingSize(6.5, 8, [](double size) { return size < 7; });
    EXPECT_EQ(small.points, 6.5);
    EXPECT_TRUE(small.whole);
    const FittedSize cut = largestFittingSize(6.5, 8, [](double) { return false; });
    EXPECT_EQ(cut.points, 6.5);
    EXPECT_FALSE(cut.whole);
}

TEST(TextSize, aRealTextGetsTheLargestFontItsBoxHolds) {
    const QString text = "104.48743778228";
    QFont font("MS Sans Serif");
    const auto widthAt = [&](double size) {
        font.setPointSizeF(size);
        return QFontMetricsF(font).horizontalAdvance(text);
    };
    const double box = widthAt(10.5);
    const FittedSize f =
        largestFittingSize(14, kLegiblePoints, [&](double size) { return widthAt(size) <= box; });
    EXPECT_TRUE(f.whole);
    EXPECT_LE(widthAt(f.points), box);
    // The box holds it at 10.5 points: nothing smaller than that is chosen.
    EXPECT_GE(f.points, 10.45);
}

}  // namespace
}  // namespace tessaro::ui
