// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The geometry text a form's saved state is kept in, and the single-precision
// number text it is written with.
#include "geometrytext.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

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

// Round trips of single values through the text, every float included.
constexpr float Largest = std::numeric_limits<float>::max();

// What a float written with singleText should read back as: itself, the
// largest single of its sign for an infinity, 0 for NaN.
double meant(float v) {
    if (std::isnan(v)) return 0;
    if (std::isinf(v)) return std::copysign(double(Largest), double(v));
    return v;
}

// Checks that the text singleText writes for v reads back, in each of the
// four number fields, as a float no further from v than the text's seven
// digits allow (half a unit in the seventh digit) plus the rounding of the
// text to a single (half its last place, 2^-150 below the normal range).
void expectReadsBack(float v) {
    const QString text = singleText(v);
    SCOPED_TRACE(::testing::Message() << "bits " << std::hex << std::bit_cast<std::uint32_t>(v)
                                      << std::dec << " (" << v << ") as " << text.toStdString());
    for (const QChar c : text)
        ASSERT_TRUE(c.isDigit() || c == u'.' || c == u'-' || c == u'+' || c == u'E');
    const GeometryFields f = parseGeometryText(geometryText(v, v, v, v, 0));
    const double want = meant(v);
    const double tolerance = std::fabs(want) * (0.5e-6 + 0x1p-24) + 0x1p-150;
    for (const std::optional<float>& field : {f.left, f.top, f.width, f.height}) {
        ASSERT_TRUE(field.has_value());
        ASSERT_TRUE(std::isfinite(*field));
        EXPECT_LE(std::fabs(double(*field) - want), tolerance) << "read " << *field;
        // The sign survives, except that of zero.
        if (want != 0 && *field != 0) {
            EXPECT_EQ(std::signbit(*field), std::signbit(v));
        }
    }
    EXPECT_EQ(f.state, 0);
}

TEST(SingleRoundTrip, edgeValuesReadBack) {
    const float denormMin = std::numeric_limits<float>::denorm_min();
    const float normMin = std::numeric_limits<float>::min();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> edges = {
        0.0f,
        -0.0f,
        denormMin,
        std::nextafter(normMin, 0.0f),
        normMin,
        std::nextafter(normMin, 1.0f),
        1.0f,
        std::nextafter(1.0f, 0.0f),
        std::nextafter(1.0f, 2.0f),
        0.1f,
        1e-7f,
        1e-38f,
        1e-45f,
        // Where the seventh digit carries into a new decade.
        9999999.0f,
        9999999.5f,
        99999995.0f,
        999999.94f,
        0.99999994f,
        1e7f,
        16777216.0f,
        // The largest twips a window may have, and beyond.
        2147483520.0f,
        2147483648.0f,
        1e30f,
        3.3e38f,
        // Between the old limit of 3.4e38 and the largest single.
        3.4e38f,
        std::nextafter(3.4e38f, inf),
        3.402e38f,
        3.4028e38f,
        std::nextafter(Largest, 0.0f),
        Largest,
        inf,
        std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::signaling_NaN(),
    };
    for (int e = -149; e <= 127; ++e) edges.push_back(std::ldexp(1.0f, e));
    for (float v : edges) {
        expectReadsBack(v);
        expectReadsBack(-v);
    }
}

TEST(SingleRoundTrip, randomBitPatternsReadBack) {
    // Random 32-bit patterns reach every exponent, denormals, infinities and
    // NaNs; the seed is fixed so that any failure repeats on the next run.
    std::mt19937 bits(20260414);
    for (int i = 0; i < 4000; ++i) expectReadsBack(std::bit_cast<float>(std::uint32_t(bits())));
    // And values of the size windows have, with fractions.
    std::uniform_real_distribution<float> twips(-1e6f, 1e6f);
    for (int i = 0; i < 1000; ++i) expectReadsBack(twips(bits));
}

TEST(SingleRoundTrip, nonFiniteNumbersAreWrittenAsFiniteText) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(singleText(inf), singleText(Largest));
    EXPECT_EQ(singleText(-inf), singleText(-Largest));
    EXPECT_EQ(singleText(Largest), QStringLiteral("3.402823E+38"));
    EXPECT_EQ(singleText(std::numeric_limits<float>::quiet_NaN()), QStringLiteral("0"));
    EXPECT_EQ(singleText(-std::numeric_limits<float>::quiet_NaN()), QStringLiteral("0"));
    EXPECT_EQ(singleText(-0.0f), QStringLiteral("0"));
    EXPECT_EQ(geometryText(inf, -inf, std::nanf(""), 1, 0),
              QStringLiteral("3.402823E+38,-3.402823E+38,0,1,0"));
}

TEST(SingleRoundTrip, theParserTakesEveryMagnitudeASingleHolds) {
    auto left = [](const char* text) {
        return parseGeometryText(QString::fromLatin1(text) + QStringLiteral(",0,0,0,0")).left;
    };
    EXPECT_EQ(left("3.4E+38"), 3.4e38f);
    EXPECT_EQ(left("3.400001E+38"), 3.400001e38f);
    EXPECT_EQ(left("-3.402823E+38"), -3.402823e38f);
    EXPECT_EQ(left("340282346638528859811704183484516925440"), Largest);
    // Rounded up to seven or eight digits, the largest single is still read.
    EXPECT_EQ(left("3.402824E+38"), Largest);
    EXPECT_EQ(left("-3.402824E+38"), -Largest);
    EXPECT_EQ(left("3.4028235E+38"), Largest);
    // Beyond, a field is no number, as are the non-finite texts.
    for (const char* beyond : {"3.4028241E+38", "3.5E+38", "-1E+39", "1E+308", "1E+309", "inf",
                               "-inf", "infinity", "nan", "NaN"})
        EXPECT_FALSE(left(beyond).has_value()) << beyond;
    // Below the smallest single a number reads as the nearest, zero included.
    EXPECT_EQ(left("1E-46"), 0.0f);
    EXPECT_EQ(left("1.401298E-45"), std::numeric_limits<float>::denorm_min());
}

}  // namespace
