// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/tables.h"

#include <iterator>
#include <map>

#include "store/connection.h"
#include "store/schema.h"

namespace tessaro::model {
namespace {

template <typename Columns>
std::vector<std::string> rowText(const store::Recordset& rs, const Columns& columns) {
    std::vector<std::string> row;
    row.reserve(std::size(columns));
    for (const auto& c : columns) row.push_back(rs[c].toText());
    return row;
}

}  // namespace

TextTable readTrace(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    store::Snapshot snapshot(db);
    TextTable table;
    table.head.assign(store::pledColumns().begin(), store::pledColumns().end());
    for (auto pled = db.openRecordset("Select * from PLED"); !pled.eof(); pled.moveNext())
        table.rows.push_back(rowText(pled, table.head));
    return table;
}

TextTable readHistory(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    // PLDI and PLIO of one state: every quarter with its accounting.
    store::Snapshot snapshot(db);
    std::map<std::string, std::vector<std::string>> accounts;
    for (auto pldi = db.openRecordset("Select * from PLDI"); !pldi.eof(); pldi.moveNext()) {
        auto row = rowText(pldi, store::pldiColumns());
        accounts[row.front()] = row;
    }
    TextTable table;
    table.head.assign(store::plioColumns().begin(), store::plioColumns().end());
    table.head.insert(table.head.end(), store::pldiColumns().begin(), store::pldiColumns().end());
    for (auto plio = db.openRecordset("Select * from PLIO"); !plio.eof(); plio.moveNext()) {
        auto row = rowText(plio, store::plioColumns());
        const auto it = accounts.find(row.front());
        if (it != accounts.end())
            row.insert(row.end(), it->second.begin(), it->second.end());
        else
            row.resize(table.head.size());
        table.rows.push_back(std::move(row));
    }
    return table;
}

int countPlanQuarters(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    return db.openRecordset("Select * from PLIO").recordCount();
}

}  // namespace tessaro::model
