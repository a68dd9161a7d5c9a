// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <utility>
#include <vector>

#include "asciitext.h"
#include "gamelocation.h"
#include "schema.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// Waiting this long for another program to release the file before telling
// the players it is locked; long enough to ride over a brief write of a
// second copy of the game, short enough not to look hung.
constexpr int kBusyTimeoutMs = 1000;

// Chosen by measurement, see bench/: the rollback journal keeps the game in
// one file at rest and works wherever the file lies, and a plan run costs
// about two durable commits in it.
constexpr const char* kDefaultJournalMode = "DELETE";


std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && isAsciiSpace(s.front())) s.remove_prefix(1);
    return s;
}

bool startsWithWord(std::string_view s, std::string_view word) {
    if (s.size() < word.size()) return false;
    if (lowerAscii(s.substr(0, word.size())) != word) return false;
    return s.size() == word.size() || !isAsciiAlnum(s[word.size()]);
}

// "delete * from T" is how the game has always emptied a table; SQLite knows
// it without the star.
std::string normaliseStatement(std::string_view text) {
    std::string_view rest = skipBlanks(text);
    if (startsWithWord(rest, "delete")) {
        std::string_view after = skipBlanks(rest.substr(6));
        if (!after.empty() && after.front() == '*') {
            return "delete " + std::string(skipBlanks(after.substr(1)));
        }
    }
    return std::string(text);
}

// "Select * from PLIO" and its two siblings read in the order every reader of
// the game relies on; any other select is taken as it is.
std::string orderedSelect(std::string_view text) {
    std::string_view rest = skipBlanks(text);
    if (!startsWithWord(rest, "select")) return std::string(text);
    rest = skipBlanks(rest.substr(6));
    if (rest.empty() || rest.front() != '*') return std::string(text);
    rest = skipBlanks(rest.substr(1));
    if (!startsWithWord(rest, "from")) return std::string(text);
    rest = skipBlanks(rest.substr(4));
    std::string table;
    while (!rest.empty() && (isAsciiAlnum(rest.front()) ||
                             rest.front() == '_')) {
        table += rest.front();
        rest.remove_prefix(1);
    }
    if (!skipBlanks(rest).empty()) return std::string(text);
    for (const auto& t : gameTables()) {
        if (lowerAscii(t.name) == lowerAscii(table)) {
            return "SELECT * FROM " + std::string(t.name) + " ORDER BY " + std::string(t.orderBy);
        }
    }
    return std::string(text);
}

class Statement {
public:
    Statement(const Connection& db, std::string_view text) : m_db(db) {
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db.handle(), text.data(), static_cast<int>(text.size()),
                                          &m_stmt, &tail);
        if (rc != SQLITE_OK) db.fail(rc, "");
        if (tail && !skipBlanks(std::string_view(tail, text.data() + text.size() - tail)).empty())
            throw StoreError(StoreCause::BadStatement, db.path(),
                             "more than one statement in one text");
        if (!m_stmt) throw StoreError(StoreCause::BadStatement, db.path(), "empty statement");
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while a row is ready, false when done.
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        m_db.fail(rc, "");
    }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    const Connection& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

Value columnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER: return Value::integer(sqlite3_column_int64(stmt, i));
        case SQLITE_FLOAT: return Value::real(sqlite3_column_double(stmt, i));
        case SQLITE_NULL: return Value();
        default: {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            return Value::text(t ? t : "");
        }
    }
}

// A plain numeric literal as the game writes them: -12, 0.125, 1.5E-05.
bool isNumericLiteral(std::string_view v) {
    std::size_t i = 0;
    if (i < v.size() && v[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < v.size(); ++i) {
        if (isAsciiDigit(v[i])) digits = true;
        else if (v[i] == '.' && !point) point = true;
        else break;
    }
    if (!digits) return false;
    if (i < v.size() && (v[i] == 'E' || v[i] == 'e')) {
        ++i;
        if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
        bool expDigits = false;
        for (; i < v.size() && isAsciiDigit(v[i]); ++i) expDigits = true;
        if (!expDigits) return false;
    }
    return i == v.size();
}

std::string_view trimmed(std::string_view s) {
    s = skipBlanks(s);
    while (!s.empty() && isAsciiSpace(s.back())) s.remove_suffix(1);
    return s;
}

// Splits "INSERT INTO T(cols) VALUES(v1, v2, ...)" into the part up to and
// including "VALUES(" and its literal values; false for any other text.
bool splitLiteralInsert(std::string_view text, std::string_view& head,
                        std::vector<std::string_view>& values) {
    const std::string_view body = trimmed(text);
    if (!startsWithWord(body, "insert")) return false;
    const std::string low = lowerAscii(body);
    const auto open = low.find("values(");
    if (open == std::string::npos || body.back() != ')') return false;
    head = body.substr(0, open + 7);
    if (head.find('\'') != std::string_view::npos || head.find(';') != std::string_view::npos)
        return false;
    std::string_view rest = body.substr(open + 7, body.size() - open - 8);
    values.clear();
    for (;;) {
        const auto comma = rest.find(',');
        const std::string_view v = trimmed(rest.substr(0, comma));
        if (!isNumericLiteral(v) && lowerAscii(v) != "null") return false;
        values.push_back(v);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

bool fileHasNoWriteBit(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

std::string& journalModeSetting() {
    static std::string mode = kDefaultJournalMode;
    return mode;
}

}  // namespace

void setJournalMode(std::string_view mode) { journalModeSetting() = std::string(mode); }
const std::string& journalMode() { return journalModeSetting(); }

// The trace and accounting inserts run some thirty times a quarter with the
// same columns and new numbers. Parsing each text anew was most of a run's
// processor time; instead each shape of insert is prepared once per
// connection and its literals are bound as text, which SQLite converts by
// the columns' types exactly as it converts the same literals in a text.
struct Connection::InsertCache {
    std::unordered_map<std::string, sqlite3_stmt*> statements;
    ~InsertCache() {
        for (auto& [key, stmt] : statements) sqlite3_finalize(stmt);
    }
};

Connection::Connection(std::string_view connectionString, Access access)
    : Connection(pathFromConnectionString(connectionString), access, false) {}

Connection Connection::openFile(const std::string& path, Access access) {
    return Connection(path, access, false);
}

Connection Connection::createFile(const std::string& path) { return Connection(path, Access::Write, true); }

Connection::Connection(std::string path, Access access, bool create)
    : m_path(std::move(path)), m_access(access) {
    std::error_code ec;
    if (!create && !std::filesystem::exists(m_path, ec))
        throw StoreError(StoreCause::Missing, m_path, "");
    if (!create && access == Access::Write && fileHasNoWriteBit(m_path))
        throw StoreError(StoreCause::ReadOnly, m_path, "the file is marked read-only");

    int flags = access == Access::Read ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create) flags |= SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE;
    const int rc = sqlite3_open_v2(m_path.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw StoreError(causeOfSqliteCode(rc), m_path, detail);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    try {
        if (access == Access::Write && sqlite3_db_readonly(m_db, "main") == 1)
            throw StoreError(StoreCause::ReadOnly, m_path, "opened for reading only");
        if (!create) checkGameTables();
        if (access == Access::Write) {
            // Full synchronous writes in every mode: a commit is on disk when
            // it returns, and a process killed at any instant leaves the file
            // as before or after the transaction.
            execute("PRAGMA journal_mode=" + journalMode());
            execute("PRAGMA synchronous=FULL");
        }
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

Connection::~Connection() { close(); }

void Connection::close() {
    m_inserts.reset();
    if (m_db) sqlite3_close(m_db);
    m_db = nullptr;
}

Connection::Connection(Connection&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)),
      m_path(std::move(other.m_path)),
      m_access(other.m_access),
      m_inserts(std::move(other.m_inserts)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_access = other.m_access;
        m_inserts = std::move(other.m_inserts);
    }
    return *this;
}

bool Connection::executeCachedInsert(std::string_view text) {
    std::string_view head;
    std::vector<std::string_view> values;
    if (!splitLiteralInsert(text, head, values)) return false;
    if (!m_inserts) m_inserts = std::make_unique<InsertCache>();
    std::string key(head);
    key += std::to_string(values.size());
    sqlite3_stmt*& stmt = m_inserts->statements[key];
    if (!stmt) {
        std::string sql(head);
        for (std::size_t i = 0; i < values.size(); ++i) sql += i ? ",?" : "?";
        sql += ")";
        const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK) {
            m_inserts->statements.erase(key);
            fail(rc, "");
        }
    }
    // SQLite binds from index 1. The texts are views into the statement text,
    // which outlives the step; every parameter is bound again next time.
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        if (values[i].size() == 4 && lowerAscii(values[i][0]) == 'n')
            sqlite3_bind_null(stmt, index);
        else
            sqlite3_bind_text(stmt, index, values[i].data(), static_cast<int>(values[i].size()),
                              SQLITE_STATIC);
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) fail(rc, "");
    return true;
}

void Connection::fail(int code, std::string_view what) const {
    std::string detail(what);
    if (m_db) {
        if (!detail.empty()) detail += ": ";
        detail += sqlite3_errmsg(m_db);
    }
    throw StoreError(causeOfSqliteCode(code), m_path, detail);
}

void Connection::checkGameTables() {
    // A file already found whole in this process need not be checked again
    // while it is the same file (device and inode) with the same schema.
    struct Verified {
        std::string path;
        dev_t device;
        ino_t inode;
        long long schemaVersion;
    };
    static std::vector<Verified> verified;
    struct stat st {};
    long long schemaVersion = -1;
    if (::stat(m_path.c_str(), &st) == 0) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, "PRAGMA schema_version", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            schemaVersion = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    const auto same = [&](const Verified& v) {
        return v.path == m_path && v.device == st.st_dev && v.inode == st.st_ino &&
               v.schemaVersion == schemaVersion;
    };
    if (schemaVersion > 0 && std::any_of(verified.begin(), verified.end(), same)) return;

    // Preparing a select of every column the game reads fails with SQLite's
    // own words when a table or a column is missing, and costs less than
    // reading the table descriptions.
    auto check = [this](std::string_view table, const auto& required) {
        std::string sql = "SELECT ";
        for (std::size_t i = 0; i < required.size(); ++i) {
            if (i) sql += ",";
            sql += required[i];
        }
        sql += " FROM " + std::string(table) + " LIMIT 0";
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
        if (rc == SQLITE_OK) return;
        const std::string why = sqlite3_errmsg(m_db);
        if ((rc & 0xff) == SQLITE_ERROR && why.rfind("no such ", 0) == 0)
            throw StoreError(StoreCause::MissingTable, m_path, why);
        fail(rc, "");
    };
    check("PLIO", plioColumns());
    check("PLED", pledColumns());
    check("PLDI", pldiColumns());
    if (schemaVersion > 0) {
        std::erase_if(verified, [&](const Verified& v) { return v.path == m_path; });
        verified.push_back({m_path, st.st_dev, st.st_ino, schemaVersion});
    }
}

void Connection::execute(std::string_view statementText) {
    if (executeCachedInsert(statementText)) return;
    const std::string text = normaliseStatement(statementText);
    Statement stmt(*this, text);
    while (stmt.step()) {
    }
}

Recordset Connection::openRecordset(std::string_view selectText) {
    const std::string text = orderedSelect(selectText);
    Statement stmt(*this, text);
    const int n = sqlite3_column_count(stmt.get());
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) columns.emplace_back(sqlite3_column_name(stmt.get(), i));
    std::vector<std::vector<Value>> rows;
    while (stmt.step()) {
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) row.push_back(columnValue(stmt.get(), i));
        rows.push_back(std::move(row));
    }
    return Recordset(std::move(columns), std::move(rows));
}

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    // IMMEDIATE takes the write lock now, so a file held by another program
    // is reported before any work is done.
    m_connection.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (m_open) sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_connection.execute("COMMIT");
    m_open = false;
}

}  // namespace tessaro::store
