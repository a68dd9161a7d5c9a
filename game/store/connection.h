// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A connection to the game database file: executes the game's statement
// texts and opens recordsets on its select texts.
//
//   store::Connection db(connectionString, store::Access::Exclusive);
//   auto plio = db.openRecordset("Select * from PLIO");
//   plio.moveLast();
//   db.execute("delete * from PLED");
//
//   store::Connection reader(connectionString, store::Access::Read);
//   store::Snapshot snapshot(reader);   // every select below sees one state
//
// Opening checks that the path is a regular file (symbolic links to one are
// followed) and that it is an SQLite database holding exactly the three game
// tables and the game's own take-back table (schema.h) as the game defines
// them, with at most plain indexes on them and nothing else; every page read
// afterwards is checked as it is read. Every failure is a StoreError that
// names the file, and a file refused is left as it was. Every connection runs with the
// engine's defensive settings and with bounds on the work and memory one
// statement may take, so that no file can run code, hang or exhaust memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "recordset.h"

namespace tessaro::store {

class Engine;

enum class Access {
    // Reads only. A hot journal left beside the file by a crash is rolled
    // back first, as the engine intends, when the file can be written.
    Read,
    // Reads and writes; each transaction takes the file for its own length.
    Write,
    // Reads and writes, holding the file for this connection alone from the
    // opening until the connection closes: no other connection, of this
    // program or another, reads or writes it meanwhile, while every
    // transaction still commits durably on its own. Opening waits for the
    // busy timeout when another connection has the file.
    Exclusive,
};

// The journal mode every connection that writes uses ("DELETE", "TRUNCATE",
// "PERSIST" or "WAL"); crash safety stays on in each. Benchmarks compare them.
void setJournalMode(std::string_view mode);
const std::string& journalMode();

// How long a connection waits for another one to let go of the file before
// it gives up with StoreCause::Locked; a few seconds unless set.
void setBusyTimeout(int milliseconds);
int busyTimeout();

// The bounds every connection runs under: a table select may give at most
// kMaxRows rows (the plan numbers are 16-bit), and a file larger than
// kMaxFileBytes is refused before it is read.
inline constexpr int kMaxRows = 70000;
inline constexpr long long kMaxFileBytes = 128LL * 1024 * 1024;

class Connection {
public:
    // Opens the game a connection string names: a file, or a team's game
    // on a class server (serverplace.h).
    explicit Connection(std::string_view connectionString, Access access = Access::Write);
    // A connection over an engine the store has opened itself.
    Connection(std::shared_ptr<Engine> engine, Access access);
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

    // The file's path as the players named it, or, for a game on a server,
    // the team and the server: what every message names.
    const std::string& path() const;
    // Whether the game lies on a server rather than in a file.
    bool isServer() const;

    // Executes one statement text. "delete * from T" is accepted as the game
    // writes it; more than one statement in a text is refused.
    void execute(std::string_view statementText);
    // Executes one statement with its ?1, ?2 ... bound to `parameters`,
    // which go into the file exactly as they are.
    void execute(std::string_view statementText, const std::vector<Value>& parameters);

    // Opens a recordset. "Select * from PLIO" and "Select * from PLDI" come
    // back in ascending plan number, read as the cursor moves (recordset.h),
    // "Select * from PLED" in insertion order; any other select is read
    // whole, with its ?1, ?2 ... bound to `parameters`.
    Recordset openRecordset(std::string_view selectText, const std::vector<Value>& parameters = {});

    // Whether the file holds a table of this name (any case).
    bool hasTable(std::string_view name);

    // Reads every page of the file and refuses it (StoreCause::Damaged) when
    // they do not hold together: every command that writes makes it first,
    // since writing into a damaged file deepens the damage. Every page any
    // command reads is checked as it is read too.
    void checkWholeFile();

    // Copies the whole database, as it stands for this connection, into a
    // new file at `path` (which must not exist) through the engine's online
    // backup, and makes the copy durable.
    void backupTo(const std::string& path);

    // Inserts into `table` of this file every row that `selectText` (with
    // `parameters`) gives on `source`, each value exactly as it is there.
    // Returns the number of rows copied.
    int copyRows(Connection& source, std::string_view selectText,
                 const std::vector<Value>& parameters, std::string_view table);

    // On a connection that holds the file (Access::Exclusive), inside its
    // last transaction: the hold ends with that transaction's commit (or
    // rollback) instead of at the closing. The commit then removes the
    // journal as a commit outside the hold does, where it would otherwise
    // clear it and wait for the disk once more.
    void releaseHoldAtCommit();

    // Throws StoreError (StoreCause::Gone) when the file's name no longer
    // leads to the file this connection opened: it was deleted, moved, or
    // replaced by another file. Every transaction checks it as it commits.
    void checkStillInPlace() const;

    // The engine beneath, for the store's own parts.
    Engine& engine() const;

private:
    Connection(const std::string& path, Access access, bool create);
    void close();

    std::shared_ptr<Engine> m_engine;
    Access m_access = Access::Write;
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
    // Takes back everything done in the transaction; throws when the engine
    // cannot.
    void rollback();

private:
    Connection& m_connection;
    bool m_open = true;
};

// One consistent state of the file for every select made on the connection
// while it lives: what another program commits meanwhile waits until it
// ends, and a program that is in the middle of a run keeps it waiting until
// the run is over (up to the busy timeout, then StoreCause::Locked).
class Snapshot {
public:
    explicit Snapshot(Connection& connection);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    Connection& m_connection;
};

}  // namespace tessaro::store
