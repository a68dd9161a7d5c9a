// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "recordset.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "asciitext.h"

namespace tessaro::store {
namespace {

// A walk starts with single lookups, since most readers stop after a row or
// two, then fetches batches that grow to a bound that keeps a walk over
// thirty thousand rows within a few hundred kilobytes.
constexpr int kLookupsBeforeBatches = 2;
constexpr int kFirstBatch = 16;
constexpr int kLargestBatch = 256;

std::atomic<long long> g_rowsRead{0};
std::atomic<long long> g_pagesRead{0};

// Rows held in memory: their keys are their positions.
class MemoryRows : public RowSource {
public:
    explicit MemoryRows(std::vector<std::vector<Value>> rows) : m_rows(std::move(rows)) {}
    std::optional<Row> at(std::int64_t key) override {
        if (key < 0 || key >= static_cast<std::int64_t>(m_rows.size())) return std::nullopt;
        return Row{key, m_rows[static_cast<std::size_t>(key)]};
    }
    std::vector<Row> fetch(std::int64_t key, bool forward, int skip, int limit) override {
        std::vector<Row> out;
        for (std::int64_t i = forward ? key + 1 + skip : key - 1 - skip;
             static_cast<int>(out.size()) < limit; i += forward ? 1 : -1) {
            auto row = at(i);
            if (!row) break;
            out.push_back(std::move(*row));
        }
        return out;
    }

private:
    std::vector<std::vector<Value>> m_rows;
};

std::vector<std::string> lowered(const std::vector<std::string>& columns) {
    std::vector<std::string> out;
    out.reserve(columns.size());
    for (const auto& c : columns) out.push_back(lowerAscii(c));
    return out;
}

}  // namespace

ReadCounters readCounters() {
    return {g_rowsRead.load(), g_pagesRead.load()};
}

void countRowsRead(long long rows) {
    g_rowsRead += rows;
}

void countPagesRead(long long pages) {
    g_pagesRead += pages;
}

Recordset::Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : m_columns(std::move(columns)), m_lowerColumns(lowered(m_columns)) {
    m_count = static_cast<int>(rows.size());
    m_lastKey = m_count - 1;
    m_source = std::make_shared<MemoryRows>(std::move(rows));
    moveFirst();
}

Recordset::Recordset(std::vector<std::string> columns, int count, std::int64_t firstKey,
                     std::int64_t lastKey, std::shared_ptr<RowSource> source)
    : m_columns(std::move(columns)),
      m_lowerColumns(lowered(m_columns)),
      m_source(std::move(source)),
      m_count(count),
      m_firstKey(firstKey),
      m_lastKey(lastKey) {
    moveFirst();
}

void Recordset::setEnd() {
    m_eof = true;
    m_position = m_count;
    m_ahead.clear();
    m_values.reset();
}

void Recordset::standOn(std::int64_t key, int position) {
    m_key = key;
    m_position = position;
    m_eof = false;
    m_values.reset();
}

void Recordset::standOn(Row row, int position) {
    standOn(row.key, position);
    m_values = std::move(row.values);
}

void Recordset::step(std::int64_t from, bool forward, int steps, int position) {
    // Plan numbers run without gaps, so the row is found by its key; should
    // it be missing, the rows in between are stepped over.
    if (auto row = m_source->at(forward ? from + steps : from - steps))
        return standOn(std::move(*row), position);
    auto rows = m_source->fetch(from, forward, steps - 1, 1);
    if (rows.empty()) return setEnd();
    standOn(std::move(rows.front()), position);
}

const std::vector<Value>& Recordset::currentValues() const {
    if (!m_values) {
        auto row = m_source->at(m_key);
        if (!row) throw std::out_of_range("the current row is no longer there");
        m_values = std::move(row->values);
    }
    return *m_values;
}

void Recordset::moveFirst() {
    m_ahead.clear();
    m_stepsWalked = 0;
    m_batch = 0;
    if (m_count == 0) return setEnd();
    standOn(m_firstKey, 0);
}

void Recordset::moveLast() {
    m_ahead.clear();
    if (m_count == 0) return setEnd();
    standOn(m_lastKey, m_count - 1);
}

void Recordset::moveNext() {
    if (m_eof) return;
    if (m_key == m_lastKey) return setEnd();
    if (m_ahead.empty() && ++m_stepsWalked <= kLookupsBeforeBatches)
        return step(m_key, true, 1, m_position + 1);
    if (m_ahead.empty()) {
        m_batch = std::clamp(m_batch * 2, kFirstBatch, kLargestBatch);
        auto rows = m_source->fetch(m_key, true, 0, m_batch);
        m_ahead.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        if (m_ahead.empty()) return setEnd();
    }
    Row next = std::move(m_ahead.front());
    m_ahead.pop_front();
    standOn(std::move(next), m_position + 1);
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
    m_ahead.clear();
    // From the current row or back from the last, whichever is nearer: the
    // board and the reports step from the first row to the second-last.
    const int back = m_count - 1 - target;
    if (back == 0) return standOn(m_lastKey, target);
    if (back < count) return step(m_lastKey, false, back, target);
    step(m_key, true, count, target);
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

const Value& Recordset::operator[](std::string_view column) const {
    if (m_eof) throw std::out_of_range("no current row to read " + std::string(column) + " from");
    const auto i = columnIndex(column);
    const auto& values = currentValues();
    if (i >= m_columns.size() || i >= values.size())
        throw std::out_of_range("no column " + std::string(column));
    return values[i];
}

}  // namespace tessaro::store
