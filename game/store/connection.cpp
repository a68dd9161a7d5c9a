// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "asciitext.h"
#include "gamelocation.h"
#include "schema.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// Waiting this long for another player's command to release the file before
// telling the players it is in use: a run holds the file for a few
// milliseconds, so several players pressing at once all get through, while a
// program that keeps the file is reported before the window looks hung.
constexpr int kDefaultBusyTimeoutMs = 5000;

// The bound on the work of one statement, in virtual machine steps, counted
// in periods of kProgressPeriod steps. Reading the whole PLIO of a game of
// 32,767 quarters takes about a million steps; twenty times that stops a
// runaway statement within a fraction of a second.
constexpr int kProgressPeriod = 1000;
constexpr long long kMaxPeriods = 20000;

// The engine's own memory, for the whole process; a game needs a few
// megabytes of page cache per connection.
constexpr sqlite3_int64 kHeapLimitBytes = 512LL * 1024 * 1024;

// Per-connection limits on what one statement may hold or build. The game's
// statements and rows are far below each: its longest text is under 1 kB,
// its widest row 25 numbers, its selects and inserts a few dozen steps.
struct EngineLimit {
    int id;
    int value;
};
constexpr EngineLimit kLimits[] = {
    {SQLITE_LIMIT_LENGTH, 1000000},     // bytes of one text, blob or row
    {SQLITE_LIMIT_SQL_LENGTH, 100000},  // bytes of one statement text
    {SQLITE_LIMIT_COLUMN, 100},
    {SQLITE_LIMIT_EXPR_DEPTH, 100},
    {SQLITE_LIMIT_COMPOUND_SELECT, 4},
    {SQLITE_LIMIT_VDBE_OP, 25000},  // size of one compiled statement
    {SQLITE_LIMIT_FUNCTION_ARG, 8},
    {SQLITE_LIMIT_ATTACHED, 0},
    {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100},
    {SQLITE_LIMIT_VARIABLE_NUMBER, 100},
    {SQLITE_LIMIT_TRIGGER_DEPTH, 1},
    {SQLITE_LIMIT_WORKER_THREADS, 0},
};

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
        db.startStatement();
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db.handle(), text.data(), static_cast<int>(text.size()),
                                          &m_stmt, &tail);
        if (rc != SQLITE_OK) db.fail(rc, "");
        if (tail && !skipBlanks(std::string_view(tail, text.data() + text.size() - tail)).empty()) {
            // No destructor runs for a constructor that throws; an unfinished
            // statement would keep the connection, and its locks, open.
            sqlite3_finalize(m_stmt);
            throw StoreError(StoreCause::BadStatement, db.path(),
                             "more than one statement in one text");
        }
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

int& busyTimeoutSetting() {
    static int ms = kDefaultBusyTimeoutMs;
    return ms;
}

std::string systemMessage(int error) {
    return std::generic_category().message(error);
}

// A name out of a file for a message: printable ASCII only, and short, since
// a hostile file chooses it.
std::string shownName(std::string_view name) {
    std::string out;
    for (char c : name.substr(0, 40)) out += c >= ' ' && c <= '~' ? c : '?';
    if (name.size() > 40) out += "...";
    return out;
}

std::string kindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder";
    if (S_ISFIFO(mode)) return "it is a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
    if (S_ISSOCK(mode)) return "it is a socket";
    return "it is not a file";
}

// The regular file a path leads to, found without opening anything: opening
// a named pipe for reading would wait for a writer forever, and a device or a
// folder is no game.
struct FileIdentity {
    std::string resolved;  // no symbolic link left in it
    dev_t device = 0;
    ino_t inode = 0;
};

FileIdentity regularFileAt(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw StoreError(StoreCause::Missing, path, "");
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(error));
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        const int error = errno;
        if (error == ELOOP)
            throw StoreError(StoreCause::NotAFile, path,
                             "it is a symbolic link that leads round in a loop");
        if (error == ENOENT)
            throw StoreError(StoreCause::Missing, path,
                             "it is a symbolic link to a file that is not there");
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(error));
    }
    FileIdentity identity{resolved};
    std::free(resolved);
    struct stat st {};
    if (::stat(identity.resolved.c_str(), &st) != 0)
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(errno));
    if (!S_ISREG(st.st_mode)) throw StoreError(StoreCause::NotAFile, path, kindOfFile(st.st_mode));
    if (st.st_size > kMaxFileBytes)
        throw StoreError(StoreCause::TooLarge, path,
                         "it holds " + std::to_string(st.st_size / (1024 * 1024)) + " MiB");
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    return identity;
}

bool startsWithWords(std::string_view s, std::initializer_list<std::string_view> words) {
    for (const auto word : words) {
        s = skipBlanks(s);
        if (!startsWithWord(s, word)) return false;
        s.remove_prefix(word.size());
    }
    return true;
}

std::string withArticle(const std::string& type) {
    const bool vowel =
        !type.empty() && std::string_view("aeiou").find(type[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + type;
}

void limitEngineHeap() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Another part of the process may have chosen its own limit.
        if (sqlite3_hard_heap_limit64(-1) == 0) sqlite3_hard_heap_limit64(kHeapLimitBytes);
    });
}

}  // namespace

void setJournalMode(std::string_view mode) { journalModeSetting() = std::string(mode); }
const std::string& journalMode() { return journalModeSetting(); }

void setBusyTimeout(int milliseconds) {
    busyTimeoutSetting() = milliseconds;
}
int busyTimeout() {
    return busyTimeoutSetting();
}

// What the engine's handlers keep for a connection, at an address that stays
// when the connection is moved.
struct Connection::Watch {
    // The work done by the statement running now, counted by the progress
    // handler; the store sets it back at the start of every statement.
    long long periods = 0;
    // Since when the statement has been waiting for another connection.
    std::chrono::steady_clock::time_point busySince;
    int busyTimeoutMs = kDefaultBusyTimeoutMs;

    static int onProgress(void* self) {
        return ++static_cast<Watch*>(self)->periods > kMaxPeriods ? 1 : 0;
    }
    // Short sleeps, so that of several players pressing at once each gets
    // the file soon after the one before lets go, up to the timeout.
    static int onBusy(void* self, int attempt) {
        auto* watch = static_cast<Watch*>(self);
        const auto now = std::chrono::steady_clock::now();
        if (attempt == 0) watch->busySince = now;
        if (now - watch->busySince >= std::chrono::milliseconds(watch->busyTimeoutMs)) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 4 ? 1 << attempt : 10));
        return 1;
    }
};

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
    : m_path(std::move(path)), m_access(access), m_watch(std::make_unique<Watch>()) {
    FileIdentity identity{m_path};
    if (!create) {
        identity = regularFileAt(m_path);
        if (access != Access::Read && fileHasNoWriteBit(identity.resolved))
            throw StoreError(StoreCause::ReadOnly, m_path, "the file is marked read-only");
    }

    // Readers open for writing too (the engine falls back to reading where
    // the file cannot be written), so that a hot journal left by a crash is
    // rolled back rather than reported; they are kept from writing anything
    // else below. The path opened has no symbolic link left in it, so none
    // can be slipped in between the check above and the opening.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    flags |= create ? SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE : SQLITE_OPEN_NOFOLLOW;
    const int rc = sqlite3_open_v2(identity.resolved.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw StoreError(causeOfSqliteCode(rc), m_path, detail);
    }
    try {
        configure();
        if (!create) {
            // The file opened must be the one checked: nothing has been read
            // from it yet.
            struct stat st {};
            if (::stat(identity.resolved.c_str(), &st) != 0 || st.st_dev != identity.device ||
                st.st_ino != identity.inode)
                throw StoreError(StoreCause::CannotOpen, m_path,
                                 "it was replaced while it was being opened");
        }
        if (access == Access::Read) {
            execute("PRAGMA query_only=1");
        } else if (sqlite3_db_readonly(m_db, "main") == 1) {
            throw StoreError(StoreCause::ReadOnly, m_path, "opened for reading only");
        }
        if (access == Access::Exclusive) holdExclusively();
        if (access != Access::Read) {
            // Full synchronous writes in every mode: a commit is on disk when
            // it returns, and a process killed at any instant leaves the file
            // as before or after the transaction.
            execute("PRAGMA journal_mode=" + journalMode());
            execute("PRAGMA synchronous=FULL");
        }
        if (!create) {
            if (access != Access::Read) quickCheck();
            checkGameTables();
        }
    } catch (...) {
        close();
        throw;
    }
}

void Connection::configure() {
    sqlite3_extended_result_codes(m_db, 1);
    m_watch->busyTimeoutMs = busyTimeout();
    sqlite3_busy_handler(m_db, &Watch::onBusy, m_watch.get());
    // Defensive: no writing of the schema or of the engine's own pages by a
    // statement; no functions or virtual tables trusted because a file names
    // them; no triggers or views run (the game has none, and a file that
    // brings some is refused below); no extensions loaded.
    const std::pair<int, int> settings[] = {
        {SQLITE_DBCONFIG_DEFENSIVE, 1},
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
        {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
        {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0},
    };
    for (const auto& [op, value] : settings) {
        int now = -1;
        const int rc = sqlite3_db_config(m_db, op, value, &now);
        if (rc != SQLITE_OK || now != value)
            throw StoreError(StoreCause::Failed, m_path,
                             "the database engine lacks its defensive settings");
    }
    for (const auto& limit : kLimits) sqlite3_limit(m_db, limit.id, limit.value);
    sqlite3_progress_handler(m_db, kProgressPeriod, &Watch::onProgress, m_watch.get());
    limitEngineHeap();
}

void Connection::holdExclusively() {
    // The empty exclusive transaction takes the strongest lock (waiting up to
    // the busy timeout, and rolling back a hot journal if there is one); in
    // exclusive locking mode the engine then keeps it until the connection
    // closes. The mode is switched on only once the lock is taken: in it a
    // failed attempt would keep its shared lock while waiting, and two
    // players waiting at once would block each other until the timeout.
    execute("BEGIN EXCLUSIVE");
    execute("PRAGMA locking_mode=EXCLUSIVE");
    execute("COMMIT");
}

void Connection::quickCheck() {
    // Writing into a damaged file deepens the damage: the check reads every
    // page of the file once, far less than a run costs in commits.
    Statement stmt(*this, "PRAGMA quick_check(1)");
    std::string verdict;
    try {
        if (stmt.step()) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
            verdict = t ? t : "";
        }
    } catch (const StoreError& e) {
        if (e.cause() == StoreCause::NotADatabase || e.cause() == StoreCause::Damaged)
            throw StoreError(e.cause(), m_path, sqlite3_errmsg(m_db));
        throw;
    }
    if (verdict != "ok") throw StoreError(StoreCause::Damaged, m_path, shownName(verdict));
}

Connection::~Connection() { close(); }

void Connection::close() {
    m_inserts.reset();
    // Closes as soon as the last statement is finished, should one be left.
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

Connection::Connection(Connection&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)),
      m_path(std::move(other.m_path)),
      m_access(other.m_access),
      m_inserts(std::move(other.m_inserts)),
      m_watch(std::move(other.m_watch)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_access = other.m_access;
        m_inserts = std::move(other.m_inserts);
        m_watch = std::move(other.m_watch);
    }
    return *this;
}

void Connection::startStatement() const {
    if (m_watch) m_watch->periods = 0;
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
    startStatement();
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
        Statement stmt(*this, "PRAGMA schema_version");
        if (stmt.step()) schemaVersion = sqlite3_column_int64(stmt.get(), 0);
    }
    const auto same = [&](const Verified& v) {
        return v.path == m_path && v.device == st.st_dev && v.inode == st.st_ino &&
               v.schemaVersion == schemaVersion;
    };
    if (schemaVersion > 0 && std::any_of(verified.begin(), verified.end(), same)) return;

    // Only the game's own schema is accepted: its three tables exactly as it
    // creates them, and nothing else. A trigger could loop or write behind
    // the game's back, a view in place of a table could compute anything,
    // and a table defined otherwise could refuse or alter what is written.
    struct Entry {
        std::string type, name, table, sql;
    };
    std::vector<Entry> entries;
    {
        Statement stmt(*this, "SELECT type, name, tbl_name, sql FROM sqlite_schema");
        const auto text = [&](int i) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), i));
            return std::string(t ? t : "");
        };
        while (stmt.step()) entries.push_back({text(0), text(1), text(2), text(3)});
    }
    const auto isGameTable = [](std::string_view name) {
        return std::any_of(gameTables().begin(), gameTables().end(), [&](const TableShape& t) {
            return lowerAscii(t.name) == lowerAscii(name);
        });
    };
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
    for (const auto& e : entries) {
        if (e.type == "table" && isGameTable(e.name)) continue;
        if (e.type == "index" && isGameTable(e.table) && isPlainIndex(e.name)) continue;
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

bool Connection::isPlainIndex(const std::string& index) {
    // An index on plain columns, neither unique nor partial, only speeds
    // reading: it can neither refuse a row the game writes nor compute
    // anything the file chooses.
    const auto bound = [&](const char* text) {
        auto stmt = std::make_unique<Statement>(*this, text);
        sqlite3_bind_text(stmt->get(), 1, index.c_str(), -1, SQLITE_TRANSIENT);
        return stmt;
    };
    {
        auto shape = bound(
            "SELECT count(*) FROM pragma_index_list((SELECT tbl_name FROM sqlite_schema "
            "WHERE type = 'index' AND name = ?1)) WHERE name = ?1 AND \"unique\" = 0 "
            "AND partial = 0");
        if (!shape->step() || sqlite3_column_int(shape->get(), 0) != 1) return false;
    }
    auto columns = bound(
        "SELECT count(*) FROM pragma_index_xinfo(?1) WHERE key AND (cid < 0 OR "
        "coll NOT IN ('BINARY', 'NOCASE', 'RTRIM'))");
    return columns->step() && sqlite3_column_int(columns->get(), 0) == 0;
}

void Connection::checkColumns(std::string_view table) {
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
    fail(rc, "");
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
        if (rows.size() >= static_cast<std::size_t>(kMaxRows))
            throw StoreError(StoreCause::TooLarge, m_path,
                             "a table holds more than " + std::to_string(kMaxRows) + " rows");
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
    if (!m_open) return;
    m_connection.startStatement();
    sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_connection.execute("COMMIT");
    m_open = false;
}

void Transaction::rollback() {
    m_open = false;
    m_connection.execute("ROLLBACK");
}

Snapshot::Snapshot(Connection& connection) : m_connection(connection) {
    // A deferred transaction takes its shared lock at the first read and
    // keeps it to the end; reading the schema cookie is that first read.
    m_connection.execute("BEGIN");
    try {
        m_connection.execute("PRAGMA schema_version");
    } catch (...) {
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

Snapshot::~Snapshot() {
    m_connection.startStatement();
    sqlite3_exec(m_connection.handle(), "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace tessaro::store
