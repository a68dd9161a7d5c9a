// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A game on a PostgreSQL class server, reached through libpq. The team's
// game is the schema named like its role (or the one a teacher's command
// names); the game's statements are adapted to the server's dialect in one
// place (pgdialect.h), prepared once per connection, and sent in a pipeline:
// the writes of a quarter travel together and wait for the server only at
// the next read or the commit (pgstatements.cpp). Values go both ways in
// their shortest exact decimal form, so every number comes back as it went.
//
// A write transaction takes the team's game for itself at once, and gives
// up at once when another PC of the team has it: two PCs pressing "System
// Dynamics Run" together give one quarter, and the other is told.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "connection.h"
#include "engine.h"
#include "serverplace.h"

struct pg_conn;
struct pg_result;

namespace tessaro::store {

class PgEngine final : public Engine {
public:
    // What the connection is for: a team's game, or a teacher's work on the
    // class as a whole (no game of its own, no hold taken).
    enum class Purpose { Game, Class };

    static std::shared_ptr<PgEngine> open(const ServerPlace& place, Access access,
                                          Purpose purpose = Purpose::Game);
    ~PgEngine() override;

    const std::string& name() const override { return m_name; }
    void run(std::string_view text, const std::vector<Value>& parameters,
             const RowHandler* onRow) override;
    std::vector<std::string> columns(std::string_view text) override;
    bool hasTable(std::string_view name) override;
    void begin(TransactionKind kind) override;
    void commit() override;
    void rollback() override;
    void abandon() noexcept override;
    void checkWholeFile() override {}
    void backupTo(const std::string& path) override;
    void releaseHoldAtCommit() override {}
    void checkStillInPlace() const override {}
    void close() noexcept override;

    pg_conn* handle() const { return m_conn; }
    // The server as messages and .pgpass lines name it.
    const std::string& host() const { return m_host; }
    const std::string& port() const { return m_port; }
    const std::string& database() const { return m_database; }
    const std::string& role() const { return m_role; }
    // Names the game in messages from now on: another team's schema.
    void rename(const std::string& schema);

    // Raises the StoreError for a failed result or a lost connection.
    [[noreturn]] void fail(const pg_result* result) const;

private:
    PgEngine() = default;
    void connect(const ServerPlace& place, Access access);
    // Takes a connection to the same game that this process let go of.
    bool unpark();
    [[noreturn]] void failToConnect(const ServerPlace& place);

    // Pipelined statements (pgstatements.cpp).
    struct Pending {
        enum class Kind { Prepare, Query, Describe } kind;
        const RowHandler* onRow = nullptr;
        std::string statement;  // the prepared statement's name
    };
    const std::string& prepared(std::string_view text);
    void send(std::string_view text, const std::vector<Value>& parameters, const RowHandler* onRow);
    // Waits for every statement sent and hands out their rows; throws the
    // first failure among them.
    void sync();
    void drainQuietly() noexcept;

    pg_conn* m_conn = nullptr;
    Access m_access = Access::Write;
    Purpose m_purpose = Purpose::Game;
    std::string m_name, m_host, m_port, m_database, m_role, m_schema;
    std::string m_key;  // what a connection let go of is kept under
    std::unordered_map<std::string, std::string> m_statements;            // text -> name
    std::unordered_map<std::string, std::vector<std::string>> m_columns;  // name -> columns
    std::unordered_map<std::string, bool> m_tables;
    std::deque<Pending> m_pending;
    std::vector<std::string>* m_describeInto = nullptr;
};

}  // namespace tessaro::store
