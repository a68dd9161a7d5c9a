// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A connection to the game database file: executes the game's statement
// texts and opens recordsets on its select texts.
//
//   store::Connection db(connectionString, store::Access::Write);
//   auto plio = db.openRecordset("Select * from PLIO");
//   plio.moveLast();
//   db.execute("delete * from PLED");
//
// Opening checks that the file is there, is an SQLite database and holds the
// three game tables; every failure is a StoreError that names the file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "recordset.h"

struct sqlite3;

namespace tessaro::store {

enum class Access { Read, Write };

// The journal mode every connection that writes uses ("DELETE", "TRUNCATE",
// "PERSIST" or "WAL"); crash safety stays on in each. Benchmarks compare them.
void setJournalMode(std::string_view mode);
const std::string& journalMode();

class Connection {
public:
    // Opens the file named by a connection string.
    explicit Connection(std::string_view connectionString, Access access = Access::Write);
    // Opens a file by path (no connection string).
    static Connection openFile(const std::string& path, Access access = Access::Write);
    // Creates a new, empty SQLite file at `path` (which must not exist) and
    // opens it without checking for the game tables.
    static Connection createFile(const std::string& path);

    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& path() const { return m_path; }

    // Executes one statement text. "delete * from T" is accepted as the game
    // writes it; more than one statement in a text is refused.
    void execute(std::string_view statementText);

    // Opens a recordset with all its rows counted. "Select * from PLIO" and
    // "Select * from PLDI" come back in ascending plan number,
    // "Select * from PLED" in insertion order.
    Recordset openRecordset(std::string_view selectText);

    // Raises a StoreError with this file's name for an SQLite result code.
    [[noreturn]] void fail(int code, std::string_view what) const;

    sqlite3* handle() const { return m_db; }

private:
    Connection(std::string path, Access access, bool create);
    void checkGameTables();

    bool executeCachedInsert(std::string_view text);
    void close();

    struct InsertCache;
    sqlite3* m_db = nullptr;
    std::string m_path;
    Access m_access = Access::Write;
    std::unique_ptr<InsertCache> m_inserts;
};

// A write transaction; rolls back unless committed.
//
//   store::Transaction t(db);
//   db.execute(...);
//   t.commit();
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

}  // namespace tessaro::store
