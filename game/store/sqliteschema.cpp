// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What a game file may hold: its three tables exactly as the game creates
// them, the game's take-back table, plain indexes on them and the engine's
// statistics, and nothing else. A trigger could loop or write behind the
// game's back, a view in place of a table could compute anything, and a
// table defined otherwise could refuse or alter what is written.
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>

#include "asciitext.h"
#include "schema.h"
#include "sqliteengine.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

struct Entry {
    std::string type, name, table, sql;
};

bool isGameTable(std::string_view name) {
    return std::any_of(gameTables().begin(), gameTables().end(),
                       [&](const TableShape& t) { return lowerAscii(t.name) == lowerAscii(name); });
}

bool isTakeBack(std::string_view name) {
    return lowerAscii(name) == lowerAscii(takeBackTable().name);
}

// A file already found whole in this process need not be checked again
// while it is the same file (device and inode) with the same schema.
struct Verified {
    std::string path;
    dev_t device;
    ino_t inode;
    long long schemaVersion;
};
std::vector<Verified>& verifiedFiles() {
    static std::vector<Verified> verified;
    return verified;
}

}  // namespace

void SqliteEngine::checkGameTables() {
    struct stat st {};
    long long schemaVersion = -1;
    const RowHandler version = [&](std::vector<Value>& row) {
        schemaVersion = row.at(0).integerValue();
    };
    if (::stat(m_path.c_str(), &st) == 0) run("PRAGMA schema_version", {}, &version);
    const auto same = [&](const Verified& v) {
        return v.path == m_path && v.device == st.st_dev && v.inode == st.st_ino &&
               v.schemaVersion == schemaVersion;
    };
    auto& verified = verifiedFiles();
    if (schemaVersion > 0 && std::any_of(verified.begin(), verified.end(), same)) return;

    std::vector<Entry> entries;
    const RowHandler entry = [&](std::vector<Value>& row) {
        const auto text = [&](std::size_t i) { return std::string(row[i].textValue()); };
        entries.push_back({text(0), text(1), text(2), text(3)});
    };
    run("SELECT type, name, tbl_name, sql FROM sqlite_schema", {}, &entry);
    for (const auto& t : gameTables()) {
        const auto e = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
            return (e.type == "table" || e.type == "view") &&
                   lowerAscii(e.name) == lowerAscii(t.name);
        });
        if (e == entries.end())
            throw StoreError(StoreCause::MissingTable, m_path,
                             "no such table: " + std::string(t.name));
        if (e->type != "table")
            throw StoreError(
                StoreCause::Foreign, m_path,
                std::string(t.name) + " is " + withArticle(e->type) + ", not the game's table");
        if (e->sql != t.createText) {
            // A missing column is named in the engine's words.
            if (startsWithWords(e->sql, {"create", "table"})) checkColumns(t.name);
            throw StoreError(
                StoreCause::Foreign, m_path,
                "table " + std::string(t.name) + " is not defined as the game defines it");
        }
    }
    // The take-back table is the game's own too, and must be exactly so: a
    // take-back restores what it finds there.
    for (const auto& e : entries) {
        if (e.type == "table" && isGameTable(e.name)) continue;
        if (e.type == "table" && isTakeBack(e.name)) {
            if (e.sql == takeBackTable().createText) continue;
            throw StoreError(
                StoreCause::Foreign, m_path,
                "table " + shownName(e.name) + " is not defined as the game defines it");
        }
        if (e.type == "index" && (isGameTable(e.table) || isTakeBack(e.table)) &&
            isPlainIndex(e.name))
            continue;
        // The engine's statistics tables, should someone have analysed the
        // file, only guide its choice of plan.
        if (e.type == "table" && lowerAscii(e.name).rfind("sqlite_stat", 0) == 0) continue;
        throw StoreError(StoreCause::Foreign, m_path,
                         "it holds " + withArticle(e.type) + " \"" + shownName(e.name) +
                             "\" that the game never makes");
    }
    if (schemaVersion > 0) {
        std::erase_if(verified, [&](const Verified& v) { return v.path == m_path; });
        verified.push_back({m_path, st.st_dev, st.st_ino, schemaVersion});
    }
}

bool SqliteEngine::isPlainIndex(const std::string& index) {
    // An index on plain columns, neither unique nor partial, only speeds
    // reading: it can neither refuse a row the game writes nor compute
    // anything the file chooses.
    long long found = 0;
    const RowHandler count = [&](std::vector<Value>& row) { found = row.at(0).integerValue(); };
    run("SELECT count(*) FROM pragma_index_list((SELECT tbl_name FROM sqlite_schema "
        "WHERE type = 'index' AND name = ?1)) WHERE name = ?1 AND \"unique\" = 0 "
        "AND partial = 0",
        {Value::text(index)}, &count);
    if (found != 1) return false;
    found = -1;
    run("SELECT count(*) FROM pragma_index_xinfo(?1) WHERE key AND (cid < 0 OR "
        "coll NOT IN ('BINARY', 'NOCASE', 'RTRIM'))",
        {Value::text(index)}, &count);
    return found == 0;
}

void SqliteEngine::checkColumns(std::string_view table) {
    // Preparing a select of every column the game reads fails with the
    // engine's own words when a column is missing.
    const auto required = [&]() -> std::vector<std::string_view> {
        if (table == "PLIO") return {plioColumns().begin(), plioColumns().end()};
        if (table == "PLED") return {pledColumns().begin(), pledColumns().end()};
        return {pldiColumns().begin(), pldiColumns().end()};
    }();
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < required.size(); ++i) {
        if (i) sql += ",";
        sql += required[i];
    }
    sql += " FROM " + std::string(table) + " LIMIT 0";
    startStatement();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_OK) return;
    const std::string why = sqlite3_errmsg(m_db);
    if ((rc & 0xff) == SQLITE_ERROR && why.rfind("no such ", 0) == 0)
        throw StoreError(StoreCause::MissingTable, m_path, why);
    fail(rc);
}

}  // namespace tessaro::store
