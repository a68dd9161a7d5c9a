// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "recordset.h"

#include "asciitext.h"

#include <algorithm>
#include <stdexcept>

namespace tessaro::store {
namespace {


}  // namespace

Recordset::Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows)) {
    m_lowerColumns.reserve(m_columns.size());
    for (const auto& c : m_columns) m_lowerColumns.push_back(lowerAscii(c));
}

void Recordset::move(int count) {
    for (int i = 0; i < count && !eof(); ++i) ++m_current;
}

std::size_t Recordset::columnIndex(std::string_view column) const {
    const auto sameIgnoringCase = [column](const std::string& lowered) {
        if (lowered.size() != column.size()) return false;
        for (std::size_t i = 0; i < column.size(); ++i)
            if (lowerAscii(column[i]) != lowered[i]) return false;
        return true;
    };
    const auto it = std::find_if(m_lowerColumns.begin(), m_lowerColumns.end(), sameIgnoringCase);
    return static_cast<std::size_t>(it - m_lowerColumns.begin());
}

bool Recordset::hasColumn(std::string_view column) const {
    return columnIndex(column) < m_columns.size();
}

const Value& Recordset::operator[](std::string_view column) const {
    if (eof()) throw std::out_of_range("no current row to read " + std::string(column) + " from");
    const auto i = columnIndex(column);
    if (i >= m_columns.size()) throw std::out_of_range("no column " + std::string(column));
    return m_rows[m_current][i];
}

}  // namespace tessaro::store
