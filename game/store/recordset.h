// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The rows of one select, all read at once so that the row count is known,
// with a current-row cursor: move first/last/next, an end test, and columns
// read by name without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace tessaro::store {

class Recordset {
public:
    Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows);

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool eof() const { return m_current >= m_rows.size(); }

    void moveFirst() { m_current = 0; }
    void moveLast() { m_current = m_rows.empty() ? 0 : m_rows.size() - 1; }
    void moveNext() {
        if (!eof()) ++m_current;
    }
    // Moves `count` rows forward, stopping at the end.
    void move(int count);

    // The current row's value of `column` (any case). Throws
    // std::out_of_range when there is no current row or no such column.
    const Value& operator[](std::string_view column) const;
    bool hasColumn(std::string_view column) const;
    const std::vector<std::string>& columns() const { return m_columns; }

private:
    std::size_t columnIndex(std::string_view column) const;

    std::vector<std::string> m_columns;
    std::vector<std::string> m_lowerColumns;
    std::vector<std::vector<Value>> m_rows;
    std::size_t m_current = 0;
};

}  // namespace tessaro::store
