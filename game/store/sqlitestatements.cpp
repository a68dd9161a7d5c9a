// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The statements of an SQLite connection: prepared once and kept, since the
// trace and accounting inserts run some thirty times a quarter with the same
// text and new numbers and the recordsets fetch their rows with a few shapes
// of select (parsing each text anew was most of a run's processor time);
// bound exactly as given, stepped under the bound on their work, and reset
// after every use so that none holds a lock between two calls.
#include <sqlite3.h>

#include <thread>

#include "sqliteengine.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// The bound on the work of one statement, in periods of kProgressPeriod
// steps. Reading the whole PLIO of a game of 32,767 quarters takes about a
// million steps; twenty times that stops a runaway statement within a
// fraction of a second.
constexpr long long kMaxPeriods = 20000;

// Statements a connection keeps prepared; the game uses a few dozen texts.
constexpr std::size_t kMostCachedStatements = 200;

void bindValues(sqlite3_stmt* stmt, const std::vector<Value>& parameters) {
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        const Value& v = parameters[i];
        switch (v.kind()) {
            case Value::Kind::Empty:
                sqlite3_bind_null(stmt, index);
                break;
            case Value::Kind::Integer:
                sqlite3_bind_int64(stmt, index, v.integerValue());
                break;
            case Value::Kind::Real:
                sqlite3_bind_double(stmt, index, v.realValue());
                break;
            case Value::Kind::Text: {
                const auto t = v.textValue();
                sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()),
                                  SQLITE_TRANSIENT);
                break;
            }
        }
    }
}

Value columnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            return Value::integer(sqlite3_column_int64(stmt, i));
        case SQLITE_FLOAT:
            return Value::real(sqlite3_column_double(stmt, i));
        case SQLITE_NULL:
            return Value();
        default: {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            return Value::text(t ? t : "");
        }
    }
}

}  // namespace

int Watch::onProgress(void* self) {
    return ++static_cast<Watch*>(self)->periods > kMaxPeriods ? 1 : 0;
}

// Short sleeps, so that of several players pressing at once each gets the
// file soon after the one before lets go, up to the timeout.
int Watch::onBusy(void* self, int attempt) {
    auto* watch = static_cast<Watch*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) watch->busySince = now;
    if (now - watch->busySince >= std::chrono::milliseconds(watch->busyTimeoutMs)) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 4 ? 1 << attempt : 10));
    return 1;
}

sqlite3_stmt* SqliteEngine::prepared(const std::string& sql) {
    if (!m_db)
        throw StoreError(StoreCause::Failed, m_path,
                         "a recordset was used after its connection was closed");
    if (const auto found = m_statements.find(sql); found != m_statements.end())
        return found->second;
    // No statement is left running between two calls, so when the cache is
    // full it can be emptied (a connection that runs many texts of its own).
    if (m_statements.size() >= kMostCachedStatements) finalizeStatements();
    startStatement();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK) fail(rc);
    if (tail && !onlyBlanks(std::string_view(tail, sql.data() + sql.size() - tail))) {
        // An unfinished statement would keep the connection, and its locks,
        // open.
        sqlite3_finalize(stmt);
        throw StoreError(StoreCause::BadStatement, m_path, "more than one statement in one text");
    }
    if (!stmt) throw StoreError(StoreCause::BadStatement, m_path, "empty statement");
    m_statements.emplace(sql, stmt);
    return stmt;
}

void SqliteEngine::runPrepared(sqlite3_stmt* stmt, const RowHandler* onRow) {
    struct Reset {
        sqlite3_stmt* stmt;
        ~Reset() {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
        }
    } reset{stmt};
    startStatement();
    const int n = sqlite3_column_count(stmt);
    std::vector<Value> row;
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            if (!onRow) continue;
            row.clear();
            row.reserve(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) row.push_back(columnValue(stmt, i));
            (*onRow)(row);
            continue;
        }
        if (rc == SQLITE_DONE) return;
        fail(rc);
    }
}

void SqliteEngine::run(std::string_view text, const std::vector<Value>& parameters,
                       const RowHandler* onRow) {
    sqlite3_stmt* stmt = prepared(std::string(text));
    bindValues(stmt, parameters);
    runPrepared(stmt, onRow);
}

std::vector<std::string> SqliteEngine::columns(std::string_view text) {
    sqlite3_stmt* stmt = prepared(std::string(text));
    const int n = sqlite3_column_count(stmt);
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) names.emplace_back(sqlite3_column_name(stmt, i));
    return names;
}

bool SqliteEngine::hasTable(std::string_view name) {
    bool found = false;
    const RowHandler count = [&](std::vector<Value>& row) { found = row.at(0).integerValue() > 0; };
    run("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND lower(name) = lower(?1)",
        {Value::text(std::string(name))}, &count);
    return found;
}

void SqliteEngine::finalizeStatements() noexcept {
    for (auto& [sql, stmt] : m_statements) sqlite3_finalize(stmt);
    m_statements.clear();
}

}  // namespace tessaro::store
