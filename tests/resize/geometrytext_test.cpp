// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The geometry text a form's saved state is kept in, and the single-precision
// number text it is written with.
#include <gtest/gtest.h>

#include <morvane/geometrytext.h>

#include "resizetest.h"

using namespace MorvaneCtl;

namespace {

TEST(GeometryText, isFiveFieldsSeparatedByCommas) {
    EXPECT_EQ(geometryText(1200, 900, 9600, 7200, 0), QStringLiteral("1200,900,9600,7200,0"));
    EXPECT_EQ(geometryText(-15, 0, 9600.5f, 7200.25f, 2), QStringLiteral("-15,0,9600.5,7200.25,2"));
    EXPECT_EQ(geometryText(0, 0, 0, 0, 1), QStringLiteral("0,0,0,0,1"));
}

TEST(GeometryText, numbersAreSinglePrecisionWithSevenSignificantDigits) {
    EXPECT_EQ(singleText(0), QStringLiteral("0"));
    EXPECT_EQ(singleText(1200), QStringLiteral("1200"));
    EXPECT_EQ(singleText(-150), QStringLiteral("-150"));
    EXPECT_EQ(singleText(9600.5f), QStringLiteral("9600.5"));
    EXPECT_EQ(singleText(1234567), QStringLiteral("1234567"));
    // 2000 / 3 = 666.66666..., seven significant digits.
    EXPECT_EQ(singleText(2000.0f / 3.0f), QStringLiteral("666.6667"));
    // Eight digits no longer fit: exponent form.
    EXPECT_EQ(singleText(12345678), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(singleText(-12345678), QStringLiteral("-1.234568E+07"));
    EXPECT_EQ(singleText(10000000), QStringLiteral("1E+07"));
}

TEST(GeometryText, parsingKeepsOnlyTheFieldsThatAreNumbers) {
    GeometryFields all = parseGeometryText(QStringLiteral("1200,900,9600,7200,0"));
    EXPECT_EQ(all.fieldCount, 5);
    EXPECT_EQ(all.left, 1200.0f);
    EXPECT_EQ(all.top, 900.0f);
    EXPECT_EQ(all.width, 9600.0f);
    EXPECT_EQ(all.height, 7200.0f);
    EXPECT_EQ(all.state, 0);

    GeometryFields fractions = parseGeometryText(QStringLiteral("-15.5,0,9600.5,7200,2"));
    EXPECT_EQ(fractions.left, -15.5f);
    EXPECT_EQ(fractions.width, 9600.5f);
    EXPECT_EQ(fractions.state, 2);

    GeometryFields shortText = parseGeometryText(QStringLiteral("1200,900"));
    EXPECT_EQ(shortText.fieldCount, 2);
    EXPECT_EQ(shortText.left, 1200.0f);
    EXPECT_EQ(shortText.top, 900.0f);
    EXPECT_FALSE(shortText.width.has_value());
    EXPECT_FALSE(shortText.height.has_value());
    EXPECT_FALSE(shortText.state.has_value());

    GeometryFields mixed = parseGeometryText(QStringLiteral("a,900,,7200,x"));
    EXPECT_EQ(mixed.fieldCount, 5);
    EXPECT_FALSE(mixed.left.has_value());
    EXPECT_EQ(mixed.top, 900.0f);
    EXPECT_FALSE(mixed.width.has_value());
    EXPECT_EQ(mixed.height, 7200.0f);
    EXPECT_FALSE(mixed.state.has_value());
}

TEST(GeometryText, whatIsWrittenParsesBackToTheSameNumbers) {
    const GeometryFields f = parseGeometryText(geometryText(1350, 900.5f, 3000, 1500, 2));
    EXPECT_EQ(f.left, 1350.0f);
    EXPECT_EQ(f.top, 900.5f);
    EXPECT_EQ(f.width, 3000.0f);
    EXPECT_EQ(f.height, 1500.0f);
    EXPECT_EQ(f.state, 2);
}

} // namespace
