// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "recordset.h"

#include <algorithm>
#include <stdexcept>

#include "asciitext.h"

namespace tessaro::store {
namespace {

// A walk starts with small batches, since most readers stop after a row or
// two, and grows them to a bound that keeps a walk over thirty thousand rows
// within a few hundred kilobytes.
constexpr int kFirstBatch = 8;
constexpr int kLargestBatch = 256;

// Rows held in memory: their keys are their positions.
class MemoryRows : public RowSource {
public:
    explicit MemoryRows(std::vector<std::vector<Value>> rows) : m_rows(std::move(rows)) {}
    std::vector<Row> fetch(std::int64_t key, bool forward, int skip, int limit) override {
        std::vector<Row> out;
        const auto size = static_cast<std::int64_t>(m_rows.size());
        for (std::int64_t i = forward ? key + 1 + skip : key - 1 - skip;
             i >= 0 && i < size && static_cast<int>(out.size()) < limit; i += forward ? 1 : -1)
            out.push_back({i, m_rows[static_cast<std::size_t>(i)]});
        return out;
    }
    std::optional<Row> at(std::size_t i) const {
        if (i >= m_rows.size()) return std::nullopt;
        return Row{static_cast<std::int64_t>(i), m_rows[i]};
    }

private:
    std::vector<std::vector<Value>> m_rows;
};

}  // namespace

Recordset::Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : m_columns(std::move(columns)) {
    m_lowerColumns.reserve(m_columns.size());
    for (const auto& c : m_columns) m_lowerColumns.push_back(lowerAscii(c));
    m_count = static_cast<int>(rows.size());
    auto memory = std::make_shared<MemoryRows>(std::move(rows));
    m_first = memory->at(0);
    m_last = memory->at(static_cast<std::size_t>(std::max(m_count - 1, 0)));
    m_source = std::move(memory);
    moveFirst();
}

Recordset::Recordset(std::vector<std::string> columns, int count, std::optional<Row> first,
                     std::optional<Row> last, std::shared_ptr<RowSource> source)
    : m_columns(std::move(columns)),
      m_source(std::move(source)),
      m_count(first && last ? count : 0),
      m_first(std::move(first)),
      m_last(std::move(last)) {
    m_lowerColumns.reserve(m_columns.size());
    for (const auto& c : m_columns) m_lowerColumns.push_back(lowerAscii(c));
    moveFirst();
}

void Recordset::setEnd() {
    m_eof = true;
    m_position = m_count;
    m_ahead.clear();
    m_current = Row{};
}

void Recordset::setCurrent(Row row, int position) {
    m_current = std::move(row);
    m_position = position;
    m_eof = false;
}

bool Recordset::onLast() const { return !m_eof && m_last && m_current.key == m_last->key; }

void Recordset::moveFirst() {
    m_ahead.clear();
    m_batch = 0;
    if (m_count == 0) return setEnd();
    setCurrent(*m_first, 0);
}

void Recordset::moveLast() {
    m_ahead.clear();
    if (m_count == 0) return setEnd();
    setCurrent(*m_last, m_count - 1);
}

void Recordset::moveNext() {
    if (m_eof) return;
    if (onLast()) return setEnd();
    if (m_ahead.empty()) {
        m_batch = std::clamp(m_batch * 2, kFirstBatch, kLargestBatch);
        auto rows = m_source->fetch(m_current.key, true, 0, m_batch);
        m_ahead.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        if (m_ahead.empty()) return setEnd();
    }
    Row next = std::move(m_ahead.front());
    m_ahead.pop_front();
    setCurrent(std::move(next), m_position + 1);
}

void Recordset::move(int count) {
    if (m_eof || count <= 0) return;
    if (count == 1) return moveNext();
    const int target = m_position + count;
    if (target >= m_count) return setEnd();
    if (static_cast<std::size_t>(count) <= m_ahead.size()) {
        m_ahead.erase(m_ahead.begin(), m_ahead.begin() + (count - 1));
        return moveNext();
    }
    // From the current row or back from the last, whichever is nearer: the
    // board and the reports step from the first row to the second-last.
    const int back = m_count - 1 - target;
    m_ahead.clear();
    std::vector<Row> rows;
    if (back == 0) {
        rows.push_back(*m_last);
    } else if (back < count) {
        rows = m_source->fetch(m_last->key, false, back - 1, 1);
    } else {
        rows = m_source->fetch(m_current.key, true, count - 1, 1);
    }
    if (rows.empty()) return setEnd();
    setCurrent(std::move(rows.front()), target);
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
    if (m_eof) throw std::out_of_range("no current row to read " + std::string(column) + " from");
    const auto i = columnIndex(column);
    if (i >= m_columns.size() || i >= m_current.values.size())
        throw std::out_of_range("no column " + std::string(column));
    return m_current.values[i];
}

}  // namespace tessaro::store
