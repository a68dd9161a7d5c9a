// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
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

// The game table that a text selects whole ("Select * from PLIO" and its
// two siblings, in any case and spacing), or none.
const TableShape* wholeTableSelected(std::string_view text) {
    std::string_view rest = skipBlanks(text);
    if (!startsWithWord(rest, "select")) return nullptr;
    rest = skipBlanks(rest.substr(6));
    if (rest.empty() || rest.front() != '*') return nullptr;
    rest = skipBlanks(rest.substr(1));
    if (!startsWithWord(rest, "from")) return nullptr;
    rest = skipBlanks(rest.substr(4));
    std::string table;
    while (!rest.empty() && (isAsciiAlnum(rest.front()) || rest.front() == '_')) {
        table += rest.front();
        rest.remove_prefix(1);
    }
    if (!skipBlanks(rest).empty()) return nullptr;
    for (const auto& t : gameTables())
        if (lowerAscii(t.name) == lowerAscii(table)) return &t;
    return nullptr;
}

class Statement {
public:
    Statement(const Connection& db, std::string_view text) : m_connection(db) {
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
        m_connection.fail(rc, "");
    }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    const Connection& m_connection;
    sqlite3_stmt* m_stmt = nullptr;
};

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

// A plain numeric literal as the game writes them: -12, 0.125, 1.5E-05.
bool isNumericLiteral(std::string_view v) {
    std::size_t i = 0;
    if (i < v.size() && v[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < v.size(); ++i) {
        if (isAsciiDigit(v[i]))
            digits = true;
        else if (v[i] == '.' && !point)
            point = true;
        else
            break;
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

bool isNull(std::string_view v) {
    return v.size() == 4 && lowerAscii(v[0]) == 'n' && lowerAscii(v[1]) == 'u' &&
           lowerAscii(v[2]) == 'l' && lowerAscii(v[3]) == 'l';
}

// Where `lowerWord` first stands in `s`, in any case.
std::size_t findIgnoringCase(std::string_view s, std::string_view lowerWord) {
    for (std::size_t i = 0; i + lowerWord.size() <= s.size(); ++i) {
        std::size_t j = 0;
        while (j < lowerWord.size() && lowerAscii(s[i + j]) == lowerWord[j]) ++j;
        if (j == lowerWord.size()) return i;
    }
    return std::string_view::npos;
}

// Splits "INSERT INTO T(cols) VALUES(v1, v2, ...)" into the part up to and
// including "VALUES(" and its literal values; false for any other text.
bool splitLiteralInsert(std::string_view text, std::string_view& head,
                        std::vector<std::string_view>& values) {
    const std::string_view body = trimmed(text);
    if (!startsWithWord(body, "insert")) return false;
    const auto open = findIgnoringCase(body, "values(");
    if (open == std::string_view::npos || body.back() != ')') return false;
    head = body.substr(0, open + 7);
    if (head.find('\'') != std::string_view::npos || head.find(';') != std::string_view::npos)
        return false;
    std::string_view rest = body.substr(open + 7, body.size() - open - 8);
    values.clear();
    for (;;) {
        const auto comma = rest.find(',');
        const std::string_view v = trimmed(rest.substr(0, comma));
        if (!isNumericLiteral(v) && !isNull(v)) return false;
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

std::string kindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "not a file";
}

std::string kindOfFile(mode_t mode) {
    return "it is " + kindName(mode);
}

// The engine keeps its journal beside the file under these names while it
// writes, and looks for one left by a crash whenever it reads. Anything but
// a plain file there would make it fail with an I/O error, or wait forever
// on a named pipe, so it is named before the file is opened.
void checkJournalPlaces(const std::string& resolved, const std::string& shown) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        struct stat st {};
        if (::lstat((resolved + suffix).c_str(), &st) != 0 || S_ISREG(st.st_mode)) continue;
        const std::string name = std::filesystem::path(shown + suffix).filename().string();
        throw StoreError(StoreCause::JournalInTheWay, shown,
                         "beside it, " + name + " is " + kindName(st.st_mode));
    }
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

void setJournalMode(std::string_view mode) {
    journalModeSetting() = std::string(mode);
}
const std::string& journalMode() {
    return journalModeSetting();
}

void setBusyTimeout(int milliseconds) {
    busyTimeoutSetting() = milliseconds;
}
int busyTimeout() {
    return busyTimeoutSetting();
}

namespace {

// A file that may be written but lies in a folder that refuses new files
// fails at its journal (or, when it is being made, at itself): the engine
// calls that a read-only database or a file it cannot open, and the players
// are told of the folder instead.
[[noreturn]] void throwFailure(int code, const std::string& shown, const std::string& file,
                               const std::string& engineWords) {
    // The engine finds the file deleted or replaced under its name when it
    // goes to write.
    if (code == SQLITE_READONLY_DBMOVED)
        throw StoreError(StoreCause::Gone, shown, "it is not the file at that place any more");
    const StoreCause cause = causeOfSqliteCode(code);
    if (cause == StoreCause::ReadOnly || cause == StoreCause::CannotOpen) {
        const bool fileWritable = ::access(file.c_str(), W_OK) == 0 || errno == ENOENT;
        if (!file.empty() && fileWritable) {
            if (auto why = folderRefusal(file); !why.empty())
                throw StoreError(StoreCause::FolderReadOnly, shown, why);
        }
    }
    throw StoreError(cause, shown, engineWords);
}

// What the engine's handlers keep for a connection.
struct Watch {
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

// Statements a connection keeps prepared; the game uses a few dozen texts.
constexpr std::size_t kMostCachedStatements = 200;

bool onlyBlanks(std::string_view s) {
    for (char c : s)
        if (!isAsciiSpace(c)) return false;
    return true;
}

std::atomic<long long> g_rowsRead{0};
std::atomic<long long> g_pagesRead{0};

}  // namespace

ReadCounters readCounters() {
    return {g_rowsRead.load(), g_pagesRead.load()};
}

// The open file, shared by a connection with the recordsets it opens, at an
// address that stays when the connection is moved. Statements are prepared
// once per connection and kept here: the trace and accounting inserts run
// some thirty times a quarter with the same columns and new numbers, and the
// recordsets fetch their rows with a few shapes of select; parsing each text
// anew was most of a run's processor time.
struct Connection::Core {
    sqlite3* db = nullptr;
    std::string path;      // as the players named it
    std::string resolved;  // the file opened, with no symbolic link left in it
    // The file opened, to tell whether the name still leads to it.
    dev_t device = 0;
    ino_t inode = 0;
    Watch watch;
    std::unordered_map<std::string, sqlite3_stmt*> statements;
    std::vector<std::string_view> literals;
    std::string insertText;

    ~Core() { close(); }

    void startStatement() { watch.periods = 0; }

    [[noreturn]] void fail(int code, std::string_view what) const {
        std::string detail(what);
        if (db) {
            if (!detail.empty()) detail += ": ";
            detail += sqlite3_errmsg(db);
        }
        throwFailure(code, path, resolved, detail);
    }

    // The statement for `sql`, prepared on first use. No statement is left
    // running between two calls, so when the cache is full it can be
    // emptied (a connection that runs many texts of its own making).
    sqlite3_stmt* prepared(const std::string& sql) {
        if (!db)
            throw StoreError(StoreCause::Failed, path,
                             "a recordset was used after its connection was closed");
        if (const auto found = statements.find(sql); found != statements.end())
            return found->second;
        if (statements.size() >= kMostCachedStatements) {
            for (auto& [text, stmt] : statements) sqlite3_finalize(stmt);
            statements.clear();
        }
        startStatement();
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
        if (rc != SQLITE_OK) fail(rc, "");
        if (tail && !onlyBlanks(std::string_view(tail, sql.data() + sql.size() - tail))) {
            sqlite3_finalize(stmt);
            throw StoreError(StoreCause::BadStatement, path, "more than one statement in one text");
        }
        if (!stmt) throw StoreError(StoreCause::BadStatement, path, "empty statement");
        statements.emplace(sql, stmt);
        return stmt;
    }

    void close() {
        for (auto& [sql, stmt] : statements) sqlite3_finalize(stmt);
        statements.clear();
        if (!db) return;
        int misses = 0, highest = 0;
        if (sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 0) == SQLITE_OK)
            g_pagesRead += misses;
        // Closes as soon as the last statement is finished, should one be left.
        sqlite3_close_v2(db);
        db = nullptr;
    }
};

namespace {

// Binds `parameters` to ?1, ?2 ... exactly as they are.
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

// Steps a prepared statement to its end, handing each row to `onRow`, and
// leaves it reset, so that it holds no lock between two calls.
template <class OnRow>
void runPrepared(Connection::Core& core, sqlite3_stmt* stmt, OnRow&& onRow) {
    struct Reset {
        sqlite3_stmt* stmt;
        ~Reset() {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
        }
    } reset{stmt};
    core.startStatement();
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            onRow(stmt);
            continue;
        }
        if (rc == SQLITE_DONE) return;
        core.fail(rc, "");
    }
}

std::vector<Value> rowValues(sqlite3_stmt* stmt, int columns) {
    std::vector<Value> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) row.push_back(columnValue(stmt, i));
    ++g_rowsRead;
    return row;
}

// A table keyed by plan number, read a row or a few at a time: the key is
// the table's integer primary key, so each read is a lookup in its tree.
class KeyedRows : public RowSource {
public:
    KeyedRows(std::shared_ptr<Connection::Core> core, std::string_view table, std::string_view key,
              int columns)
        : m_core(std::move(core)), m_columns(columns) {
        const std::string select =
            "SELECT * FROM " + std::string(table) + " WHERE " + std::string(key);
        m_at = select + " = ?1";
        m_forward = select + " > ?1 ORDER BY " + std::string(key) + " LIMIT ?2 OFFSET ?3";
        m_backward = select + " < ?1 ORDER BY " + std::string(key) + " DESC LIMIT ?2 OFFSET ?3";
    }

    static std::string atText(std::string_view table, std::string_view key) {
        return "SELECT * FROM " + std::string(table) + " WHERE " + std::string(key) + " = ?1";
    }

    std::optional<Row> at(std::int64_t key) override {
        sqlite3_stmt* stmt = m_core->prepared(m_at);
        sqlite3_bind_int64(stmt, 1, key);
        std::optional<Row> row;
        runPrepared(*m_core, stmt, [&](sqlite3_stmt* s) {
            row = Row{key, rowValues(s, m_columns)};
        });
        return row;
    }

    std::vector<Row> fetch(std::int64_t key, bool forward, int skip, int limit) override {
        sqlite3_stmt* stmt = m_core->prepared(forward ? m_forward : m_backward);
        sqlite3_bind_int64(stmt, 1, key);
        sqlite3_bind_int(stmt, 2, limit);
        sqlite3_bind_int(stmt, 3, skip);
        std::vector<Row> rows;
        runPrepared(*m_core, stmt, [&](sqlite3_stmt* s) {
            rows.push_back({sqlite3_column_int64(s, 0), rowValues(s, m_columns)});
        });
        return rows;
    }

private:
    std::shared_ptr<Connection::Core> m_core;
    int m_columns;
    std::string m_at, m_forward, m_backward;
};

}  // namespace

Connection::Connection(std::string_view connectionString, Access access)
    : Connection(pathFromConnectionString(connectionString), access, false) {}

Connection Connection::openFile(const std::string& path, Access access) {
    return Connection(path, access, false);
}

Connection Connection::createFile(const std::string& path) {
    return Connection(path, Access::Write, true);
}

Connection::Connection(std::string path, Access access, bool create)
    : m_core(std::make_shared<Core>()), m_access(access) {
    m_core->path = std::move(path);
    const std::string& where = m_core->path;
    FileIdentity identity{where};
    if (!create) {
        identity = regularFileAt(where);
        if (access != Access::Read && fileHasNoWriteBit(identity.resolved))
            throw StoreError(StoreCause::ReadOnly, where, "the file is marked read-only");
    }
    checkJournalPlaces(identity.resolved, where);
    m_core->resolved = identity.resolved;

    // Readers open for writing too (the engine falls back to reading where
    // the file cannot be written), so that a hot journal left by a crash is
    // rolled back rather than reported; they are kept from writing anything
    // else below. The path opened has no symbolic link left in it, so none
    // can be slipped in between the check above and the opening.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    flags |= create ? SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE : SQLITE_OPEN_NOFOLLOW;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(identity.resolved.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throwFailure(rc, where, identity.resolved, detail);
    }
    m_core->db = db;
    try {
        configure();
        struct stat st {};
        if (!create) {
            // The file opened must be the one checked: nothing has been read
            // from it yet.
            if (::stat(identity.resolved.c_str(), &st) != 0 || st.st_dev != identity.device ||
                st.st_ino != identity.inode)
                throw StoreError(StoreCause::CannotOpen, where,
                                 "it was replaced while it was being opened");
        } else if (::stat(identity.resolved.c_str(), &st) != 0) {
            throw StoreError(StoreCause::CannotOpen, where, systemMessage(errno));
        }
        m_core->device = st.st_dev;
        m_core->inode = st.st_ino;
        if (access == Access::Read) {
            execute("PRAGMA query_only=1");
        } else if (sqlite3_db_readonly(db, "main") == 1) {
            throw StoreError(StoreCause::ReadOnly, where, "opened for reading only");
        }
        if (access == Access::Exclusive) holdExclusively();
        if (access != Access::Read) {
            // Full synchronous writes in every mode: a commit is on disk when
            // it returns, and a process killed at any instant leaves the file
            // as before or after the transaction.
            execute("PRAGMA journal_mode=" + journalMode());
            execute("PRAGMA synchronous=FULL");
        }
        if (!create) checkGameTables();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::configure() {
    sqlite3* db = m_core->db;
    sqlite3_extended_result_codes(db, 1);
    m_core->watch.busyTimeoutMs = busyTimeout();
    sqlite3_busy_handler(db, &Watch::onBusy, &m_core->watch);
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
        const int rc = sqlite3_db_config(db, op, value, &now);
        if (rc != SQLITE_OK || now != value)
            throw StoreError(StoreCause::Failed, m_core->path,
                             "the database engine lacks its defensive settings");
    }
    for (const auto& limit : kLimits) sqlite3_limit(db, limit.id, limit.value);
    sqlite3_progress_handler(db, kProgressPeriod, &Watch::onProgress, &m_core->watch);
    limitEngineHeap();
    // Every page read is checked as it is read, before any of its cells is
    // used: a damaged page stops the statement (and its transaction rolls
    // back) instead of being written through. The whole file is checked only
    // by the commands that rewrite the whole game (checkWholeFile), since
    // reading every page would make every command cost in proportion to the
    // length of the game.
    execute("PRAGMA cell_size_check=ON");
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

void Connection::releaseHoldAtCommit() {
    if (m_access == Access::Exclusive) execute("PRAGMA locking_mode=NORMAL");
}

void Connection::checkWholeFile() {
    // Writing into a damaged file deepens the damage: the check reads every
    // page of the file once.
    Statement stmt(*this, "PRAGMA quick_check(1)");
    std::string verdict;
    try {
        if (stmt.step()) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
            verdict = t ? t : "";
        }
    } catch (const StoreError& e) {
        if (e.cause() == StoreCause::NotADatabase || e.cause() == StoreCause::Damaged)
            throw StoreError(e.cause(), path(), sqlite3_errmsg(handle()));
        throw;
    }
    if (verdict != "ok") throw StoreError(StoreCause::Damaged, path(), shownName(verdict));
}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (m_core) m_core->close();
}

Connection::Connection(Connection&& other) noexcept
    : m_core(std::move(other.m_core)), m_access(other.m_access) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        m_core = std::move(other.m_core);
        m_access = other.m_access;
    }
    return *this;
}

const std::string& Connection::path() const {
    static const std::string none;
    return m_core ? m_core->path : none;
}

sqlite3* Connection::handle() const {
    return m_core ? m_core->db : nullptr;
}

void Connection::startStatement() const {
    if (m_core) m_core->startStatement();
}

bool Connection::executeCachedInsert(std::string_view text) {
    std::string_view head;
    // Buffers kept by the connection: the inserts of a quarter come one
    // after another, and the text of each is gone through once.
    std::vector<std::string_view>& values = m_core->literals;
    if (!splitLiteralInsert(text, head, values)) return false;
    std::string& sql = m_core->insertText;
    sql.assign(head);
    for (std::size_t i = 0; i < values.size(); ++i) sql += i ? ",?" : "?";
    sql += ")";
    sqlite3_stmt* stmt = m_core->prepared(sql);
    // SQLite binds from index 1. The literals are bound as text, which SQLite
    // converts by the columns' types exactly as it converts the same literals
    // in a text; they are views into the statement text, which outlives the
    // step.
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        if (isNull(values[i]))
            sqlite3_bind_null(stmt, index);
        else
            sqlite3_bind_text(stmt, index, values[i].data(), static_cast<int>(values[i].size()),
                              SQLITE_STATIC);
    }
    runPrepared(*m_core, stmt, [](sqlite3_stmt*) {});
    return true;
}

void Connection::checkStillInPlace() const {
    struct stat st {};
    if (::stat(m_core->path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw StoreError(StoreCause::Gone, m_core->path, "no file is there now");
        return;  // a name that cannot be looked at now says nothing of the file
    }
    if (st.st_dev != m_core->device || st.st_ino != m_core->inode)
        throw StoreError(StoreCause::Gone, m_core->path, "another file is there now");
}

void Connection::fail(int code, std::string_view what) const {
    if (m_core) m_core->fail(code, what);
    throw StoreError(causeOfSqliteCode(code), "", std::string(what));
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
    if (::stat(path().c_str(), &st) == 0) {
        Statement stmt(*this, "PRAGMA schema_version");
        if (stmt.step()) schemaVersion = sqlite3_column_int64(stmt.get(), 0);
    }
    const auto same = [&](const Verified& v) {
        return v.path == path() && v.device == st.st_dev && v.inode == st.st_ino &&
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
            throw StoreError(StoreCause::MissingTable, path(),
                             "no such table: " + std::string(t.name));
        if (e->type != "table")
            throw StoreError(
                StoreCause::Foreign, path(),
                std::string(t.name) + " is " + withArticle(e->type) + ", not the game's table");
        if (e->sql != t.createText) {
            // A missing column is named in the engine's words.
            if (startsWithWords(e->sql, {"create", "table"})) checkColumns(t.name);
            throw StoreError(
                StoreCause::Foreign, path(),
                "table " + std::string(t.name) + " is not defined as the game defines it");
        }
    }
    // The take-back table is the game's own too, and must be exactly so: a
    // take-back restores what it finds there.
    const auto isTakeBack = [](std::string_view name) {
        return lowerAscii(name) == lowerAscii(takeBackTable().name);
    };
    for (const auto& e : entries) {
        if (e.type == "table" && isGameTable(e.name)) continue;
        if (e.type == "table" && isTakeBack(e.name)) {
            if (e.sql == takeBackTable().createText) continue;
            throw StoreError(
                StoreCause::Foreign, path(),
                "table " + shownName(e.name) + " is not defined as the game defines it");
        }
        if (e.type == "index" && (isGameTable(e.table) || isTakeBack(e.table)) &&
            isPlainIndex(e.name))
            continue;
        // The engine's statistics tables, should someone have analysed the
        // file, only guide its choice of plan.
        if (e.type == "table" && lowerAscii(e.name).rfind("sqlite_stat", 0) == 0) continue;
        throw StoreError(StoreCause::Foreign, path(),
                         "it holds " + withArticle(e.type) + " \"" + shownName(e.name) +
                             "\" that the game never makes");
    }
    if (schemaVersion > 0) {
        std::erase_if(verified, [&](const Verified& v) { return v.path == path(); });
        verified.push_back({path(), st.st_dev, st.st_ino, schemaVersion});
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
    const int rc = sqlite3_prepare_v2(handle(), sql.c_str(), -1, &stmt, nullptr);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_OK) return;
    const std::string why = sqlite3_errmsg(handle());
    if ((rc & 0xff) == SQLITE_ERROR && why.rfind("no such ", 0) == 0)
        throw StoreError(StoreCause::MissingTable, path(), why);
    fail(rc, "");
}

void Connection::execute(std::string_view statementText) {
    if (executeCachedInsert(statementText)) return;
    sqlite3_stmt* stmt = m_core->prepared(normaliseStatement(statementText));
    runPrepared(*m_core, stmt, [](sqlite3_stmt*) {});
}

void Connection::execute(std::string_view statementText, const std::vector<Value>& parameters) {
    sqlite3_stmt* stmt = m_core->prepared(std::string(statementText));
    bindValues(stmt, parameters);
    runPrepared(*m_core, stmt, [](sqlite3_stmt*) {});
}

bool Connection::hasTable(std::string_view name) {
    sqlite3_stmt* stmt = m_core->prepared(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND lower(name) = lower(?1)");
    sqlite3_bind_text(stmt, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    bool found = false;
    runPrepared(*m_core, stmt, [&](sqlite3_stmt* s) { found = sqlite3_column_int(s, 0) > 0; });
    return found;
}

Recordset Connection::openKeyed(std::string_view table, std::string_view key) {
    // The keys of the first and the last row; the rows themselves when the
    // cursor reaches them.
    // Each in a select of its own: the engine finds a lone min() or max() at
    // an end of the key's tree, but scans the table for both together.
    const std::string from = std::string(key) + ") FROM " + std::string(table) + ")";
    sqlite3_stmt* ends = m_core->prepared("SELECT (SELECT min(" + from + ", (SELECT max(" + from);
    std::int64_t first = 0, last = -1;
    runPrepared(*m_core, ends, [&](sqlite3_stmt* s) {
        if (sqlite3_column_type(s, 0) == SQLITE_NULL) return;
        first = sqlite3_column_int64(s, 0);
        last = sqlite3_column_int64(s, 1);
    });
    sqlite3_stmt* at = m_core->prepared(KeyedRows::atText(table, key));
    const int n = sqlite3_column_count(at);
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) columns.emplace_back(sqlite3_column_name(at, i));
    // The plan numbers run without gaps, so the rows from the first to the
    // last are counted by their numbers: counting them one by one would read
    // the whole table. Keys beyond 16 bits, which only a hand-made file
    // holds, are counted one by one, so that no difference of two 64-bit
    // keys is narrowed into a count.
    int count = 0;
    if (first >= -32768 && last <= 32767) {
        count = static_cast<int>(last - first + 1);
    } else {
        sqlite3_stmt* all = m_core->prepared("SELECT count(*) FROM " + std::string(table));
        runPrepared(*m_core, all, [&](sqlite3_stmt* s) {
            count = static_cast<int>(std::min<sqlite3_int64>(sqlite3_column_int64(s, 0), kMaxRows));
        });
    }
    return Recordset(std::move(columns), count, first, last,
                     std::make_shared<KeyedRows>(m_core, table, key, n));
}

Recordset Connection::openRecordset(std::string_view selectText,
                                    const std::vector<Value>& parameters) {
    // The game's selects read in the order every reader of the game relies
    // on; any other select is taken as it is.
    std::string text(selectText);
    if (const TableShape* t = wholeTableSelected(selectText); t && parameters.empty()) {
        if (t->keyed) return openKeyed(t->name, t->orderBy);
        text = "SELECT * FROM " + std::string(t->name) + " ORDER BY " + std::string(t->orderBy);
    }
    sqlite3_stmt* stmt = m_core->prepared(text);
    bindValues(stmt, parameters);
    const int n = sqlite3_column_count(stmt);
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) columns.emplace_back(sqlite3_column_name(stmt, i));
    std::vector<std::vector<Value>> rows;
    runPrepared(*m_core, stmt, [&](sqlite3_stmt* s) {
        if (rows.size() >= static_cast<std::size_t>(kMaxRows))
            throw StoreError(StoreCause::TooLarge, path(),
                             "a table holds more than " + std::to_string(kMaxRows) + " rows");
        rows.push_back(rowValues(s, n));
    });
    return Recordset(std::move(columns), std::move(rows));
}

void Connection::backupTo(const std::string& target) {
    auto copy = createFile(target);
    sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", handle(), "main");
    if (!backup) copy.fail(sqlite3_errcode(copy.handle()), "");
    const int step = sqlite3_backup_step(backup, -1);
    const int finish = sqlite3_backup_finish(backup);
    if (step != SQLITE_DONE) fail(step, "");
    if (finish != SQLITE_OK) copy.fail(finish, "");
}

int Connection::copyRows(Connection& source, std::string_view selectText,
                         const std::vector<Value>& parameters, std::string_view table) {
    sqlite3_stmt* select = source.m_core->prepared(std::string(selectText));
    bindValues(select, parameters);
    const int n = sqlite3_column_count(select);
    std::string insert = "INSERT INTO " + std::string(table) + " VALUES(";
    for (int i = 0; i < n; ++i) insert += i ? ",?" : "?";
    insert += ")";
    sqlite3_stmt* into = m_core->prepared(insert);
    int copied = 0;
    runPrepared(*source.m_core, select, [&](sqlite3_stmt* row) {
        for (int i = 0; i < n; ++i) sqlite3_bind_value(into, i + 1, sqlite3_column_value(row, i));
        runPrepared(*m_core, into, [](sqlite3_stmt*) {});
        ++copied;
        ++g_rowsRead;
    });
    return copied;
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
    // What is committed into a file that is no longer at its place is lost
    // to the players: it is not committed, and when the file goes in the
    // instant of the commit, the commit is not reported done.
    m_connection.checkStillInPlace();
    m_connection.execute("COMMIT");
    m_open = false;
    m_connection.checkStillInPlace();
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
