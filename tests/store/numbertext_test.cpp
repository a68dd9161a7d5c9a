// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "store/numbertext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace tessaro::store {
namespace {

TEST(NumberText, wholeAndFractionalNumbersInPlainForm) {
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(1000), "1000");
    EXPECT_EQ(numberText(-350), "-350");
    EXPECT_EQ(numberText(2.84), "2.84");
    EXPECT_EQ(numberText(0.5), "0.5");
    EXPECT_EQ(numberText(1000.1953125), "1000.1953125");
    EXPECT_EQ(numberText(94.53125), "94.53125");
}

TEST(NumberText, roundsToFifteenSignificantDigits) {
    EXPECT_EQ(numberText(119.99975585937500001), "119.999755859375");
    EXPECT_EQ(numberText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(numberText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(999999999999999), "999999999999999");
    EXPECT_EQ(numberText(100.0 / 3.0), "33.3333333333333");
}

TEST(NumberText, eNotationOutsideThePlainRange) {
    EXPECT_EQ(numberText(0.0001), "0.0001");
    EXPECT_EQ(numberText(0.00001), "1E-05");
    EXPECT_EQ(numberText(-0.000012345), "-1.2345E-05");
    EXPECT_EQ(numberText(1e15), "1E+15");
    EXPECT_EQ(numberText(1.5e20), "1.5E+20");
    EXPECT_EQ(numberText(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(numberText(1e-100), "1E-100");
}

TEST(NumberText, theLargestDoublesStayFiniteWhenReadBack) {
    // 1.7976931348623157E+308 rounded to 15 digits would be beyond any double.
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(numberText(largest), "1.79769313486231E+308");
    EXPECT_EQ(numberText(-largest), "-1.79769313486231E+308");
    EXPECT_EQ(numberText(1.79769313486231e308), "1.79769313486231E+308");
    EXPECT_EQ(numberText(1.7976931348623e308), "1.7976931348623E+308");
    double back = 0;
    const std::string text = numberText(largest);
    EXPECT_EQ(std::from_chars(text.data(), text.data() + text.size(), back).ec, std::errc());
    EXPECT_TRUE(std::isfinite(back));
}

TEST(NumberText, roundTripsThroughTheDatabaseParser) {
    // What is written is what a reader parses back: 15 digits survive.
    for (double v : {2.998046875, 119.999755859375, 1576.4658185, 0.0010869565217391}) {
        EXPECT_DOUBLE_EQ(std::stod(numberText(v)), v);
    }
}

}  // namespace
}  // namespace tessaro::store
