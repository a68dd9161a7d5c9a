// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "value.h"

#include <charconv>
#include <cmath>

#include "numbertext.h"

namespace tessaro::store {

std::optional<double> Value::number() const {
    if (const auto* i = std::get_if<std::int64_t>(&m_data)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&m_data)) return *d;
    if (const auto* t = std::get_if<std::string>(&m_data)) {
        if (t->empty()) return std::nullopt;
        // The whole text must be a numeral, read the same in every locale.
        double v = 0;
        const char* last = t->data() + t->size();
        const auto [end, ec] = std::from_chars(t->data(), last, v);
        if (ec == std::errc() && end == last) return v;
    }
    return std::nullopt;
}

std::optional<std::int16_t> Value::planNumber() const {
    const auto n = number();
    // The comparisons are false for NaN, which is refused with the rest.
    if (!n || !(*n >= -32768.0 && *n <= 32767.0) || *n != std::trunc(*n)) return std::nullopt;
    return static_cast<std::int16_t>(*n);
}

std::int64_t Value::integerValue() const {
    const auto* i = std::get_if<std::int64_t>(&m_data);
    return i ? *i : 0;
}

double Value::realValue() const {
    const auto* d = std::get_if<double>(&m_data);
    return d ? *d : 0;
}

std::string_view Value::textValue() const {
    const auto* t = std::get_if<std::string>(&m_data);
    return t ? std::string_view(*t) : std::string_view();
}

std::string Value::toText() const {
    if (const auto* i = std::get_if<std::int64_t>(&m_data)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&m_data)) return numberText(*d);
    if (const auto* t = std::get_if<std::string>(&m_data)) return *t;
    return {};
}

}  // namespace tessaro::store
