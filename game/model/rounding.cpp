// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "rounding.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace tessaro::model {
namespace {

double powerOfTen(int decimals) {
    double p = 1;
    for (int i = 0; i < decimals; ++i) p *= 10;
    return p;
}

// nearbyint rounds halves to even in the default rounding mode; set it
// explicitly so that nothing else in the process can change the result.
double nearestEven(double v) {
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (saved != FE_TONEAREST) std::fesetround(saved);
    return r;
}

}  // namespace

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (decimals <= 0) return nearestEven(value) + 0.0;
    const double p = powerOfTen(decimals);
    const double scaled = value * p;
    // Beyond 2^52 every double is whole: nothing left to round.
    if (std::fabs(scaled) >= 4503599627370496.0) return value;
    return nearestEven(scaled) / p + 0.0;
}

double roundUpAtHalf(double value) {
    return std::floor(value + 0.5);
}

std::int32_t toInt32(double value) {
    const double r = roundHalfEven(value, 0);
    if (std::isnan(r)) return 0;
    if (r <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (r >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

}  // namespace tessaro::model
