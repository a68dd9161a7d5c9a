// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The rows of one select with a current-row cursor: the row count, move
// first/last/next, move n rows on, an end test, and columns read by name
// without regard to case.
//
// The tables keyed by plan number (PLIO, PLDI) are not read whole: the
// recordset knows its first and last rows and fetches the others when the
// cursor reaches them, so that what the board and a run read (the count, the
// last and the second-last rows) costs the same in a game of five quarters
// and in one of thirty thousand. A walk over every row fetches them in
// batches. Such a recordset reads from its connection as it moves, so it
// sees one state of the file only inside a Snapshot or on a connection that
// holds the file (Access::Exclusive), as every reader of the game does.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace tessaro::store {

// One row with the key that places it: its plan number, or its position.
struct Row {
    std::int64_t key = 0;
    std::vector<Value> values;
};

// Where the rows of a recordset come from, in the recordset's order.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The row keyed `key`, if there is one.
    virtual std::optional<Row> at(std::int64_t key) = 0;
    // Up to `limit` rows that come after (forward) or before the row keyed
    // `key`, nearest first, once `skip` of them have been passed over.
    virtual std::vector<Row> fetch(std::int64_t key, bool forward, int skip, int limit) = 0;
};

class Recordset {
public:
    // Rows held in memory, in their order.
    Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows);
    // Rows keyed from `firstKey` to `lastKey`, fetched from `source` as the
    // cursor reaches them (none when `count` is 0). The keys are plan
    // numbers, which run without gaps: the count is read from them, and the
    // row n places on is looked up by its key (should a key be missing, the
    // rows are stepped over one by one instead).
    Recordset(std::vector<std::string> columns, int count, std::int64_t firstKey,
              std::int64_t lastKey, std::shared_ptr<RowSource> source);

    int recordCount() const { return m_count; }
    bool eof() const { return m_eof; }

    void moveFirst();
    void moveLast();
    void moveNext();
    // Moves `count` rows forward, stopping at the end.
    void move(int count);

    // The current row's value of `column` (any case). Throws
    // std::out_of_range when there is no current row or no such column.
    const Value& operator[](std::string_view column) const;
    const std::vector<std::string>& columns() const { return m_columns; }

private:
    std::size_t columnIndex(std::string_view column) const;
    void setEnd();
    // Stands on the row keyed `key` at `position`; its values are fetched
    // when first read.
    void standOn(std::int64_t key, int position);
    void standOn(Row row, int position);
    // Stands on the row `steps` rows after (or before) the row keyed `from`.
    void step(std::int64_t from, bool forward, int steps, int position);
    const std::vector<Value>& currentValues() const;

    std::vector<std::string> m_columns;
    std::vector<std::string> m_lowerColumns;
    std::shared_ptr<RowSource> m_source;
    int m_count = 0;
    std::int64_t m_firstKey = 0, m_lastKey = 0;
    std::int64_t m_key = 0;
    int m_position = 0;
    bool m_eof = true;
    mutable std::optional<std::vector<Value>> m_values;
    // The rows after the current one, fetched ahead for a walk; the batch
    // grows as the walk goes on, up to a bound that keeps memory small.
    std::deque<Row> m_ahead;
    int m_stepsWalked = 0;
    int m_batch = 0;
};

// What the recordsets of this process have read, to show that a command
// reads what it needs and not every row.
struct ReadCounters {
    long long rows = 0;   // rows taken out of the database into recordsets
    long long pages = 0;  // database pages read from the file (engine cache misses)
};
ReadCounters readCounters();
// For the engines and the row sources: counts what they read.
void countRowsRead(long long rows);
void countPagesRead(long long pages);

}  // namespace tessaro::store
