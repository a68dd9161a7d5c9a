// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The one seam between the store and a database engine. A Connection
// (connection.h) turns the game's statement texts into what every engine
// takes (statementtext.h) and reaches its engine only through this class:
// the SQLite file (sqliteengine.h) and a PostgreSQL server (pgengine.h).
// Nothing above the store sees it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace tessaro::store {

// Receives each row of a statement; the values may be moved from.
using RowHandler = std::function<void(std::vector<Value>& row)>;

enum class TransactionKind {
    // Writes; a file is taken for writing at once, so that a file held by
    // another program is reported before any work is done.
    Write,
    // Reads only, every select seeing one state.
    Snapshot,
};

class Engine {
public:
    virtual ~Engine() = default;

    // What every message names: the file as the players named it, or the
    // game's place on its server.
    virtual const std::string& name() const = 0;

    // Runs one statement with ?1, ?2 ... bound to `parameters`, exactly as
    // they are. Rows go to `onRow`; without one the statement's rows are not
    // wanted, and an engine may report its failure only at the next
    // statement whose rows are wanted, or at the commit, which then fails.
    virtual void run(std::string_view text, const std::vector<Value>& parameters,
                     const RowHandler* onRow) = 0;
    // The names of the columns a select gives, without running it.
    virtual std::vector<std::string> columns(std::string_view text) = 0;

    // Whether a table of this name (any case) holds the game here.
    virtual bool hasTable(std::string_view name) = 0;

    virtual void begin(TransactionKind kind) = 0;
    virtual void commit() = 0;
    // Takes back the open transaction; throws when the engine cannot.
    virtual void rollback() = 0;
    // Ends the open transaction without keeping it, after a failure: never
    // throws.
    virtual void abandon() noexcept = 0;

    // Refuses (StoreCause::Damaged) a database that does not hold together.
    virtual void checkWholeFile() = 0;
    // Copies the whole database into a new file at `path`.
    virtual void backupTo(const std::string& path) = 0;
    // A hold on the game that outlives transactions ends with the next commit.
    virtual void releaseHoldAtCommit() = 0;
    // Throws StoreError (StoreCause::Gone) when the game is no longer where
    // it was opened.
    virtual void checkStillInPlace() const = 0;

    // Lets go of the database; every later use throws.
    virtual void close() noexcept = 0;
};

}  // namespace tessaro::store
