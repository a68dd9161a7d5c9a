// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "keyedrows.h"

#include <algorithm>
#include <optional>

#include "connection.h"

namespace tessaro::store {
namespace {

std::string selectAll(std::string_view table, std::string_view key) {
    return "SELECT * FROM " + std::string(table) + " WHERE " + std::string(key);
}

class KeyedRows : public RowSource {
public:
    KeyedRows(std::shared_ptr<Engine> engine, std::string_view table, std::string_view key)
        : m_engine(std::move(engine)) {
        const std::string select = selectAll(table, key);
        m_at = select + " = ?1";
        m_forward = select + " > ?1 ORDER BY " + std::string(key) + " LIMIT ?2 OFFSET ?3";
        m_backward = select + " < ?1 ORDER BY " + std::string(key) + " DESC LIMIT ?2 OFFSET ?3";
    }

    // The first and the last rows, read with the keys when the recordset
    // opened: most readers want no other.
    void keep(Row row) { m_ends.push_back(std::move(row)); }

    std::optional<Row> at(std::int64_t key) override {
        for (const auto& kept : m_ends)
            if (kept.key == key) return kept;
        std::optional<Row> row;
        const RowHandler take = [&](std::vector<Value>& values) {
            row = Row{key, std::move(values)};
            countRowsRead(1);
        };
        m_engine->run(m_at, {Value::integer(key)}, &take);
        return row;
    }

    std::vector<Row> fetch(std::int64_t key, bool forward, int skip, int limit) override {
        std::vector<Row> rows;
        const RowHandler take = [&](std::vector<Value>& values) {
            rows.push_back({values.at(0).integerValue(), std::move(values)});
            countRowsRead(1);
        };
        m_engine->run(forward ? m_forward : m_backward,
                      {Value::integer(key), Value::integer(limit), Value::integer(skip)}, &take);
        return rows;
    }

private:
    std::shared_ptr<Engine> m_engine;
    std::string m_at, m_forward, m_backward;
    std::vector<Row> m_ends;
};

}  // namespace

Recordset openKeyed(const std::shared_ptr<Engine>& engine, std::string_view table,
                    std::string_view key) {
    // The first and the last rows, and with them their keys, in one read:
    // a lone min() or max() is found at an end of the key's index. The rows
    // between come when the cursor reaches them.
    const std::string from = std::string(key) + ") FROM " + std::string(table) + ")";
    const std::string ends = selectAll(table, key) + " = (SELECT min(" + from + " OR " +
                             std::string(key) + " = (SELECT max(" + from + " ORDER BY " +
                             std::string(key);
    auto source = std::make_shared<KeyedRows>(engine, table, key);
    std::int64_t first = 0, last = -1;
    bool any = false;
    const RowHandler take = [&](std::vector<Value>& row) {
        const std::int64_t k = row.at(0).integerValue();
        if (!any) first = k;
        last = k;
        any = true;
        source->keep({k, std::move(row)});
        countRowsRead(1);
    };
    engine->run(ends, {}, &take);
    auto columns = engine->columns(selectAll(table, key) + " = ?1");
    // The plan numbers run without gaps, so the rows from the first to the
    // last are counted by their numbers: counting them one by one would read
    // the whole table. Keys beyond 16 bits, which only a hand-made file
    // holds, are counted one by one, so that no difference of two 64-bit
    // keys is narrowed into a count.
    int count = 0;
    if (first >= -32768 && last <= 32767) {
        count = static_cast<int>(last - first + 1);
    } else {
        const RowHandler all = [&](std::vector<Value>& row) {
            count = static_cast<int>(std::min<std::int64_t>(row.at(0).integerValue(), kMaxRows));
        };
        engine->run("SELECT count(*) FROM " + std::string(table), {}, &all);
    }
    return Recordset(std::move(columns), count, first, last, std::move(source));
}

}  // namespace tessaro::store
