// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The connection as the game sees it: the game's statement texts turned into
// what every engine takes, and the game's selects read in the order every
// reader relies on. The engine itself lies behind engine.h.
#include "connection.h"

#include <utility>

#include "engine.h"
#include "gamelocation.h"
#include "keyedrows.h"
#include "pgengine.h"
#include "serverplace.h"
#include "sqliteengine.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// The literal inserts of a quarter come one after another; their buffers
// are kept between them.
thread_local LiteralInsert t_insert;

}  // namespace

namespace {

std::shared_ptr<Engine> engineFor(std::string_view connectionString, Access access) {
    if (const auto place = serverPlace(connectionString)) return PgEngine::open(*place, access);
    return SqliteEngine::open(pathFromConnectionString(connectionString), access, false);
}

}  // namespace

Connection::Connection(std::string_view connectionString, Access access)
    : m_engine(engineFor(connectionString, access)), m_access(access) {}

Connection::Connection(std::shared_ptr<Engine> engine, Access access)
    : m_engine(std::move(engine)), m_access(access) {}

bool Connection::isServer() const {
    return dynamic_cast<const PgEngine*>(m_engine.get()) != nullptr;
}

Connection Connection::openFile(const std::string& path, Access access) {
    return Connection(path, access, false);
}

Connection Connection::createFile(const std::string& path) {
    return Connection(path, Access::Write, true);
}

Connection::Connection(const std::string& path, Access access, bool create)
    : m_engine(SqliteEngine::open(path, access, create)), m_access(access) {}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (m_engine) m_engine->close();
}

Connection::Connection(Connection&& other) noexcept
    : m_engine(std::move(other.m_engine)), m_access(other.m_access) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        m_engine = std::move(other.m_engine);
        m_access = other.m_access;
    }
    return *this;
}

const std::string& Connection::path() const {
    static const std::string none;
    return m_engine ? m_engine->name() : none;
}

Engine& Connection::engine() const {
    if (!m_engine) throw StoreError(StoreCause::Failed, "", "the connection was moved away");
    return *m_engine;
}

void Connection::execute(std::string_view statementText) {
    // The model's rows go in as parameters read from its literals: one
    // prepared text for every row of a table, and the same numbers stored by
    // every engine.
    if (splitLiteralInsert(statementText, t_insert)) {
        engine().run(t_insert.text, t_insert.values, nullptr);
        return;
    }
    engine().run(normaliseStatement(statementText), {}, nullptr);
}

void Connection::execute(std::string_view statementText, const std::vector<Value>& parameters) {
    engine().run(statementText, parameters, nullptr);
}

bool Connection::hasTable(std::string_view name) {
    return engine().hasTable(name);
}

Recordset Connection::openRecordset(std::string_view selectText,
                                    const std::vector<Value>& parameters) {
    // The game's selects read in the order every reader of the game relies
    // on; any other select is taken as it is.
    std::string text(selectText);
    if (const TableShape* t = wholeTableSelected(selectText); t && parameters.empty()) {
        if (t->keyed) return openKeyed(m_engine, t->name, t->orderBy);
        text = "SELECT * FROM " + std::string(t->name) + " ORDER BY " + std::string(t->orderBy);
    }
    auto columns = engine().columns(text);
    std::vector<std::vector<Value>> rows;
    const RowHandler take = [&](std::vector<Value>& row) {
        if (rows.size() >= static_cast<std::size_t>(kMaxRows))
            throw StoreError(StoreCause::TooLarge, path(),
                             "a table holds more than " + std::to_string(kMaxRows) + " rows");
        rows.push_back(std::move(row));
        countRowsRead(1);
    };
    engine().run(text, parameters, &take);
    return Recordset(std::move(columns), std::move(rows));
}

void Connection::checkWholeFile() {
    engine().checkWholeFile();
}

void Connection::backupTo(const std::string& path) {
    engine().backupTo(path);
}

int Connection::copyRows(Connection& source, std::string_view selectText,
                         const std::vector<Value>& parameters, std::string_view table) {
    const auto n = source.engine().columns(selectText).size();
    std::string insert = "INSERT INTO " + std::string(table) + " VALUES(";
    for (std::size_t i = 0; i < n; ++i) insert += (i ? ",?" : "?") + std::to_string(i + 1);
    insert += ")";
    int copied = 0;
    const RowHandler copy = [&](std::vector<Value>& row) {
        engine().run(insert, row, nullptr);
        ++copied;
        countRowsRead(1);
    };
    source.engine().run(selectText, parameters, &copy);
    return copied;
}

void Connection::releaseHoldAtCommit() {
    engine().releaseHoldAtCommit();
}

void Connection::checkStillInPlace() const {
    engine().checkStillInPlace();
}

}  // namespace tessaro::store
