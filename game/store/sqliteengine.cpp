// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "sqliteengine.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include "fileidentity.h"
#include "recordset.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// Waiting this long for another player's command to release the file before
// telling the players it is in use: a run holds the file for a few
// milliseconds, so several players pressing at once all get through, while a
// program that keeps the file is reported before the window looks hung.
constexpr int kDefaultBusyTimeoutMs = 5000;

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
// one file at rest and works wherever the file lies.
constexpr const char* kDefaultJournalMode = "DELETE";

std::string& journalModeSetting() {
    static std::string mode = kDefaultJournalMode;
    return mode;
}

int& busyTimeoutSetting() {
    static int ms = kDefaultBusyTimeoutMs;
    return ms;
}

void limitEngineHeap() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Another part of the process may have chosen its own limit.
        if (sqlite3_hard_heap_limit64(-1) == 0) sqlite3_hard_heap_limit64(kHeapLimitBytes);
    });
}

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

// Reads `n` bytes at `offset` of the file through the engine's own
// descriptor of it, never through one of ours: closing a descriptor of a
// file drops every lock the process holds on it, the engine's included.
// Bytes past the end read as zeros. Returns the file's size, or -1.
sqlite3_int64 readThroughEngine(sqlite3* db, unsigned char* into, int n, sqlite3_int64 offset) {
    sqlite3_file* file = nullptr;
    sqlite3_int64 size = -1;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods || file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return -1;
    const int rc = file->pMethods->xRead(file, into, n, offset);
    return rc == SQLITE_OK || rc == SQLITE_IOERR_SHORT_READ ? size : -1;
}

// A journal left beside the file by a crash holds what the file held before
// the write that was cut short, including its first page: the engine rolls
// it back before the file is read, so the file is judged only after that.
bool journalBeside(const std::string& resolved) {
    for (const char* suffix : {"-journal", "-wal"}) {
        struct stat st {};
        if (::stat((resolved + suffix).c_str(), &st) == 0 && st.st_size > 0) return true;
    }
    return false;
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

std::shared_ptr<SqliteEngine> SqliteEngine::open(const std::string& path, Access access,
                                                 bool create) {
    std::shared_ptr<SqliteEngine> engine(new SqliteEngine());
    engine->m_path = path;
    engine->m_access = access;
    engine->openFile(access, create);
    return engine;
}

SqliteEngine::~SqliteEngine() {
    close();
}

void SqliteEngine::openFile(Access access, bool create) {
    FileIdentity identity{m_path};
    if (!create) {
        identity = regularFileAt(m_path);
        if (access != Access::Read && fileHasNoWriteBit(identity.resolved))
            throw StoreError(StoreCause::ReadOnly, m_path, "the file is marked read-only");
    }
    checkJournalPlaces(identity.resolved, m_path);
    m_resolved = identity.resolved;

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
        throwFailure(rc, m_path, identity.resolved, detail);
    }
    m_db = db;
    try {
        if (!create && !journalBeside(identity.resolved)) checkHeader();
        configure();
        struct stat st {};
        if (!create) {
            // The file opened must be the one checked: nothing has been read
            // from it yet.
            if (::stat(identity.resolved.c_str(), &st) != 0 || st.st_dev != identity.device ||
                st.st_ino != identity.inode)
                throw StoreError(StoreCause::CannotOpen, m_path,
                                 "it was replaced while it was being opened");
        } else if (::stat(identity.resolved.c_str(), &st) != 0) {
            throw StoreError(StoreCause::CannotOpen, m_path, systemMessage(errno));
        }
        m_device = st.st_dev;
        m_inode = st.st_ino;
        if (access == Access::Read) {
            execute("PRAGMA query_only=1");
        } else if (sqlite3_db_readonly(db, "main") == 1) {
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
        if (!create) checkGameTables();
    } catch (...) {
        close();
        throw;
    }
}

void SqliteEngine::configure() {
    sqlite3_extended_result_codes(m_db, 1);
    m_watch.busyTimeoutMs = busyTimeout();
    sqlite3_busy_handler(m_db, &Watch::onBusy, &m_watch);
    // Defensive: no writing of the schema or of the engine's own pages by a
    // statement; no functions or virtual tables trusted because a file names
    // them; no triggers or views run (the game has none, and a file that
    // brings some is refused); no extensions loaded.
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
    sqlite3_progress_handler(m_db, kProgressPeriod, &Watch::onProgress, &m_watch);
    limitEngineHeap();
    // Every page read is checked as it is read, before any of its cells is
    // used: a damaged page stops the statement (and its transaction rolls
    // back) instead of being written through.
    execute("PRAGMA cell_size_check=ON");
}

void SqliteEngine::execute(const std::string& sql) {
    runPrepared(prepared(sql), nullptr);
}

void SqliteEngine::holdExclusively() {
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

void SqliteEngine::releaseHoldAtCommit() {
    // The commit then removes the journal as a commit outside the hold does,
    // where it would otherwise clear it and wait for the disk once more.
    if (m_access == Access::Exclusive) execute("PRAGMA locking_mode=NORMAL");
}

void SqliteEngine::begin(TransactionKind kind) {
    if (kind == TransactionKind::Write) {
        // IMMEDIATE takes the write lock now, so a file held by another
        // program is reported before any work is done.
        execute("BEGIN IMMEDIATE");
        return;
    }
    // A deferred transaction takes its shared lock at the first read and
    // keeps it to the end; reading the schema cookie is that first read.
    execute("BEGIN");
    try {
        execute("PRAGMA schema_version");
    } catch (...) {
        abandon();
        throw;
    }
}

void SqliteEngine::commit() {
    execute("COMMIT");
    if (m_wholeInThisTransaction) rememberWhole();
    m_wholeInThisTransaction = false;
}

void SqliteEngine::rollback() {
    m_wholeInThisTransaction = false;
    execute("ROLLBACK");
}

void SqliteEngine::abandon() noexcept {
    m_wholeInThisTransaction = false;
    if (!m_db || sqlite3_get_autocommit(m_db)) return;
    startStatement();
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

namespace {

// The files this process has found whole, each with the change counter its
// header held then (or after this process's own commit into it, which
// keeps it whole). In a rollback journal every commit, of any program,
// moves the counter on, so an unchanged counter means an unchanged file.
struct WholeFile {
    dev_t device;
    ino_t inode;
    std::uint32_t counter;
};
std::vector<WholeFile>& wholeFiles() {
    static std::vector<WholeFile> files;
    return files;
}
constexpr std::size_t kMostWholeFiles = 16;

}  // namespace

void SqliteEngine::checkHeader() {
    // Every SQLite database starts with these 16 bytes, in a header of 100.
    // The engine takes a file shorter than that for a new, empty database
    // and writes one into it: a file of a few bytes would be rewritten by
    // the very command that refuses it.
    static constexpr char kMagic[] = "SQLite format 3";
    unsigned char header[100] = {};
    const sqlite3_int64 size = readThroughEngine(m_db, header, sizeof header, 0);
    if (size < 0) return;  // the engine names what it cannot read
    if (size == 0) throw StoreError(StoreCause::NotADatabase, m_path, "it is empty");
    if (size < static_cast<sqlite3_int64>(sizeof header))
        throw StoreError(StoreCause::NotADatabase, m_path,
                         "it holds only " + std::to_string(size) + " bytes");
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        throw StoreError(StoreCause::NotADatabase, m_path,
                         "it does not start as an SQLite database does");
}

std::optional<std::uint32_t> SqliteEngine::changeCounter() const {
    // The file change counter of the header: 4 bytes, big-endian, at 24.
    unsigned char b[4] = {};
    if (readThroughEngine(m_db, b, 4, 24) < 28) return std::nullopt;
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

bool SqliteEngine::countsEveryCommit() const {
    return journalMode() != "WAL" && journalMode() != "wal";
}

void SqliteEngine::rememberWhole() {
    const auto counter = changeCounter();
    if (!counter || !countsEveryCommit()) return;
    auto& files = wholeFiles();
    std::erase_if(files,
                  [&](const WholeFile& f) { return f.device == m_device && f.inode == m_inode; });
    if (files.size() >= kMostWholeFiles) files.erase(files.begin());
    files.push_back({m_device, m_inode, *counter});
}

void SqliteEngine::checkWholeFile() {
    // Writing into a damaged file deepens the damage: the check reads every
    // page of the file once. A file this process found whole, or made so by
    // its own commit, and that nobody has written since, is not read again:
    // a window plays quarter after quarter on one file.
    m_wholeInThisTransaction = false;
    const std::uint32_t counter = countsEveryCommit() ? changeCounter().value_or(0) : 0;
    const auto& files = wholeFiles();
    if (counter != 0 && std::any_of(files.begin(), files.end(), [&](const WholeFile& f) {
            return f.device == m_device && f.inode == m_inode && f.counter == counter;
        })) {
        m_wholeInThisTransaction = !sqlite3_get_autocommit(m_db);
        return;
    }
    std::string verdict;
    const RowHandler first = [&](std::vector<Value>& row) {
        if (verdict.empty()) verdict = std::string(row.at(0).textValue());
    };
    try {
        run("PRAGMA quick_check(1)", {}, &first);
    } catch (const StoreError& e) {
        if (e.cause() == StoreCause::NotADatabase || e.cause() == StoreCause::Damaged)
            throw StoreError(e.cause(), m_path, sqlite3_errmsg(m_db));
        throw;
    }
    if (verdict != "ok") throw StoreError(StoreCause::Damaged, m_path, shownName(verdict));
    rememberWhole();
    m_wholeInThisTransaction = !sqlite3_get_autocommit(m_db);
}

void SqliteEngine::backupTo(const std::string& target) {
    auto copy = SqliteEngine::open(target, Access::Write, true);
    sqlite3_backup* backup = sqlite3_backup_init(copy->m_db, "main", m_db, "main");
    if (!backup) copy->fail(sqlite3_errcode(copy->m_db));
    const int step = sqlite3_backup_step(backup, -1);
    const int finish = sqlite3_backup_finish(backup);
    if (step != SQLITE_DONE) fail(step);
    if (finish != SQLITE_OK) copy->fail(finish);
}

void SqliteEngine::checkStillInPlace() const {
    checkStillAt(m_path, m_device, m_inode);
}

void SqliteEngine::fail(int code, std::string_view what) const {
    std::string detail(what);
    if (m_db) {
        if (!detail.empty()) detail += ": ";
        detail += sqlite3_errmsg(m_db);
    }
    throwFailure(code, m_path, m_resolved, detail);
}

void SqliteEngine::close() noexcept {
    finalizeStatements();
    if (!m_db) return;
    int misses = 0, highest = 0;
    if (sqlite3_db_status(m_db, SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 0) == SQLITE_OK)
        countPagesRead(misses);
    // Closes as soon as the last statement is finished, should one be left.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

}  // namespace tessaro::store
