// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// One column value of a game table row: empty (NULL), a whole number, a
// floating-point number or a text, exactly as the database holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tessaro::store {

class Value {
public:
    Value() = default;
    static Value integer(std::int64_t v) { return Value(Data{v}); }
    static Value real(double v) { return Value(Data{v}); }
    static Value text(std::string v) { return Value(Data{std::move(v)}); }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_data); }

    // What the value is stored as, and its content in that form (0 or an
    // empty text for the other kinds).
    enum class Kind { Empty, Integer, Real, Text };
    Kind kind() const { return static_cast<Kind>(m_data.index()); }
    std::int64_t integerValue() const;
    double realValue() const;
    std::string_view textValue() const;

    // The value as a number; empty (and a text that is not a number) gives
    // no number, so callers cannot mistake an empty column for 0.
    std::optional<double> number() const;

    // The value as a plan number: a whole number from -32768 to 32767, or
    // none. A hand-made file can hold any 64-bit key, and a number outside
    // that range must never be narrowed.
    std::optional<std::int16_t> planNumber() const;

    // The plain text the players see: numbers in their shortest decimal form
    // (up to 15 significant digits), an empty value as empty text.
    std::string toText() const;

    bool operator==(const Value&) const = default;

private:
    using Data = std::variant<std::monostate, std::int64_t, double, std::string>;
    explicit Value(Data d) : m_data(std::move(d)) {}
    Data m_data;
};

}  // namespace tessaro::store
