// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "geometrytext.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace MorvaneCtl {

QString singleText(float value) {
    // Whatever is written must read back, so a number that is no finite
    // single is written as the finite one nearest to it: NaN as 0, an
    // infinity as the largest single of its sign (3.402823E+38).
    if (std::isnan(value)) return QStringLiteral("0");
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<float>::max(), value);
    if (value == 0) return QStringLiteral("0");  // -0 too
    // Seven significant digits is what a single-precision number carries.
    // to_chars writes the same text in every locale (as "%.7g" would in the
    // C locale): a point, no grouping, no leading blank.
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                         std::chars_format::general, 7);
    if (ec != std::errc()) return QStringLiteral("0");
    std::string s(buf, end);
    std::string mantissa = s, exponent;
    if (const auto e = s.find('e'); e != std::string::npos) {
        mantissa = s.substr(0, e);
        exponent = s.substr(e);  // "e+07"
    }
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    if (!exponent.empty()) {
        // A capital E and two exponent digits at least, as in "1.234568E+07".
        const char sign = exponent[1];
        std::string digits = exponent.substr(2);
        while (digits.size() > 2 && digits.front() == '0') digits.erase(0, 1);
        while (digits.size() < 2) digits.insert(0, 1, '0');
        exponent = std::string("E") + sign + digits;
    }
    return QString::fromLatin1(mantissa + exponent);
}

QString geometryText(float left, float top, float width, float height, int state) {
    return QStringList{singleText(left), singleText(top), singleText(width), singleText(height),
                       QString::number(state)}
        .join(QLatin1Char(','));
}

namespace {

// The largest magnitude a number field may have: that of the largest single,
// 3.40282347E+38, rounded up to the seven significant digits singleText
// writes. A text between the two is the largest single written by a writer
// that rounded up, and reads as the largest single.
constexpr double LargestField = 3.402824e38;

std::optional<double> number(const QString& field) {
    const std::string s = field.trimmed().toStdString();
    if (s.empty()) return std::nullopt;
    double v = 0;
    const char* first = s.data();
    if (*first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

GeometryFields parseGeometryText(const QString& text) {
    GeometryFields out;
    const QStringList fields = text.split(QLatin1Char(','));
    out.fieldCount = fields.size();
    auto single = [&](int i) -> std::optional<float> {
        if (i >= fields.size()) return std::nullopt;
        const auto v = number(fields[i]);
        if (!v || std::fabs(*v) > LargestField) return std::nullopt;
        // Clamped before the conversion, which must not see a double beyond
        // the range of a single.
        constexpr double largest = std::numeric_limits<float>::max();
        return static_cast<float>(std::clamp(*v, -largest, largest));
    };
    out.left = single(0);
    out.top = single(1);
    out.width = single(2);
    out.height = single(3);
    if (fields.size() > 4) {
        if (const auto v = number(fields[4]); v && *v == std::trunc(*v) && std::fabs(*v) < 1e9)
            out.state = static_cast<int>(*v);
    }
    return out;
}

}  // namespace MorvaneCtl
