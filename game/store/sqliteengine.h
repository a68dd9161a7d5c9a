// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game file: an SQLite database opened through the SQLite C API with the
// engine's defensive settings, bounds on the work and memory of a statement,
// full synchronous commits, and only the game's own tables accepted
// (sqliteschema.cpp). Its statements are prepared once per connection and
// kept (sqlitestatements.cpp).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "connection.h"
#include "engine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tessaro::store {

// What the engine's handlers keep for a connection.
struct Watch {
    // The work done by the statement running now, counted by the progress
    // handler; the store sets it back at the start of every statement.
    long long periods = 0;
    // Since when the statement has been waiting for another connection.
    std::chrono::steady_clock::time_point busySince;
    int busyTimeoutMs = 0;

    static int onProgress(void* self);
    static int onBusy(void* self, int attempt);
};

// How often the progress handler is called, in virtual machine steps.
inline constexpr int kProgressPeriod = 1000;

class SqliteEngine final : public Engine {
public:
    // Opens the file at `path` (as the players named it); `create` makes a
    // new, empty file there instead, which must not exist.
    static std::shared_ptr<SqliteEngine> open(const std::string& path, Access access, bool create);
    ~SqliteEngine() override;

    const std::string& name() const override { return m_path; }
    void run(std::string_view text, const std::vector<Value>& parameters,
             const RowHandler* onRow) override;
    std::vector<std::string> columns(std::string_view text) override;
    bool hasTable(std::string_view name) override;
    void begin(TransactionKind kind) override;
    void commit() override;
    void rollback() override;
    void abandon() noexcept override;
    void checkWholeFile() override;
    void backupTo(const std::string& path) override;
    void releaseHoldAtCommit() override;
    void checkStillInPlace() const override;
    void close() noexcept override;

    // Raises a StoreError with this file's name for an SQLite result code.
    [[noreturn]] void fail(int code, std::string_view what = {}) const;
    // The statement for `sql`, prepared on first use and kept.
    sqlite3_stmt* prepared(const std::string& sql);
    // Steps a prepared statement to its end, handing each row to `onRow`
    // (when given), and leaves it reset, holding no lock.
    void runPrepared(sqlite3_stmt* stmt, const RowHandler* onRow);
    // Starts the count of the work the next statement may do.
    void startStatement() { m_watch.periods = 0; }
    sqlite3* handle() const { return m_db; }

private:
    SqliteEngine() = default;
    void openFile(Access access, bool create);
    void configure();
    void holdExclusively();
    void execute(const std::string& sql);
    void finalizeStatements() noexcept;
    // Refuses a file that does not start as an SQLite database does.
    void checkHeader();
    std::optional<std::uint32_t> changeCounter() const;
    // Whether every commit moves the header's change counter on.
    bool countsEveryCommit() const;
    // Remembers the file, as its header stands now, as found whole.
    void rememberWhole();

    // Schema checks (sqliteschema.cpp).
    void checkGameTables();
    void checkColumns(std::string_view table);
    bool isPlainIndex(const std::string& index);

    sqlite3* m_db = nullptr;
    Access m_access = Access::Write;
    std::string m_path;      // as the players named it
    std::string m_resolved;  // the file opened, with no symbolic link left in it
    // The file opened, to tell whether the name still leads to it.
    dev_t m_device = 0;
    ino_t m_inode = 0;
    Watch m_watch;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
    // The open transaction began on a file found whole.
    bool m_wholeInThisTransaction = false;
};

}  // namespace tessaro::store
