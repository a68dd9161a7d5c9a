// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "pgengine.h"

#include <libpq-fe.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <string_view>

#include "asciitext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// How long a command waits for a server that does not answer, and for
// another PC of the team to let go, before it says so: nothing hangs.
constexpr const char* kConnectTimeoutSeconds = "10";
constexpr const char* kStatementTimeout = "60s";

std::string firstLine(const char* text) {
    std::string line = text ? text : "";
    // libpq puts "connection to server at ... failed: " before the reason.
    if (const auto failed = line.find("failed: "); failed != std::string::npos)
        line = line.substr(failed + 8);
    if (const auto end = line.find('\n'); end != std::string::npos) line.resize(end);
    while (!line.empty() && isAsciiSpace(line.back())) line.pop_back();
    return line;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// A server that stopped, restarts or cannot be reached, in libpq's words or
// the server's own as it goes down: not the login's fault.
bool serverWentAway(const std::string& why) {
    for (const char* words :
         {"closed the connection", "shutting down", "starting up", "recovery mode",
          "terminating connection", "Connection refused", "No such file or directory",
          "timeout expired", "could not connect", "could not translate host name",
          "Network is unreachable", "No route to host"})
        if (contains(why, words)) return true;
    return false;
}

StoreCause causeOfSqlState(std::string_view state) {
    if (state == "42P01" || state == "3F000") return StoreCause::NotAClass;
    if (state == "42501") return StoreCause::Denied;
    if (state == "55P03" || state == "40001" || state == "40P01") return StoreCause::Locked;
    if (state == "57014") return StoreCause::TooMuchWork;
    if (state == "53100") return StoreCause::DiskFull;
    if (state.substr(0, 2) == "08" || state.substr(0, 3) == "57P") return StoreCause::ServerGone;
    return StoreCause::Failed;
}

// The options every connection starts with, after any the address gives:
// the team's schema first in the search path, every number written back in
// its shortest exact form, and bounds on a statement and on a wait.
std::string startupOptions(const std::string& given, const std::string& schema) {
    std::string options = given;
    if (!options.empty()) options += " ";
    options += "-c search_path=" + (schema.empty() ? std::string("$user") : schema);
    options += " -c extra_float_digits=3";
    options += std::string(" -c statement_timeout=") + kStatementTimeout;
    options += " -c lock_timeout=" + std::to_string(busyTimeout()) + "ms";
    options += std::string(" -c idle_in_transaction_session_timeout=") + kStatementTimeout;
    return options;
}

std::string optionsIn(const std::string& address) {
    std::string value;
    if (PQconninfoOption* parsed = PQconninfoParse(address.c_str(), nullptr)) {
        for (PQconninfoOption* o = parsed; o->keyword; ++o)
            if (std::string_view(o->keyword) == "options" && o->val) value = o->val;
        PQconninfoFree(parsed);
    }
    return value;
}

}  // namespace

namespace {

// A game's connection that a command let go of, kept for the process's
// next command on the same game: a window plays quarter after quarter, and
// logging in anew (a SCRAM exchange, a new server process) and preparing
// every statement again would cost more than the run itself.
struct Parked {
    std::string key;
    pid_t pid = 0;
    PGconn* conn = nullptr;
    std::unordered_map<std::string, std::string> statements;
    std::unordered_map<std::string, std::vector<std::string>> columns;
    std::unordered_map<std::string, bool> tables;
    std::string host, port, database, role;
};
constexpr std::size_t kMostParked = 64;

// The connections kept, closed as the process ends: the server ends their
// sessions at once instead of when it notices. A forked child keeps its
// hands off its parent's.
struct Parking {
    std::vector<Parked> connections;
    ~Parking() {
        for (auto& p : connections)
            if (p.pid == ::getpid()) PQfinish(p.conn);
    }
};

std::vector<Parked>& parked() {
    static Parking parking;
    return parking.connections;
}

// Commands may run on several threads at once (a benchmark's forty PCs).
std::mutex& parkingLock() {
    static std::mutex lock;
    return lock;
}

std::string parkingKey(const ServerPlace& place) {
    return place.address + '\x1f' + place.schema + '\x1f' + serverPassword();
}

// A connection left idle is fit to use while the server has sent nothing on
// it: a server that stopped or restarts says so, and closes it.
bool stillFit(PGconn* conn) {
    if (PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE) return false;
    pollfd fd{PQsocket(conn), POLLIN, 0};
    return ::poll(&fd, 1, 0) == 0;
}

}  // namespace

std::shared_ptr<PgEngine> PgEngine::open(const ServerPlace& place, Access access, Purpose purpose) {
    checkServerAddress(place.address);
    std::shared_ptr<PgEngine> engine(new PgEngine());
    engine->m_access = access;
    engine->m_purpose = purpose;
    if (purpose == Purpose::Game) engine->m_key = parkingKey(place);
    if (!engine->unpark()) engine->connect(place, access);
    return engine;
}

bool PgEngine::unpark() {
    const std::lock_guard<std::mutex> hold(parkingLock());
    auto& all = parked();
    // A child process shares its parent's connections: it must not use
    // them, nor close them under the parent.
    if (!all.empty() && all.front().pid != ::getpid()) all.clear();
    while (!m_key.empty()) {
        const auto found =
            std::find_if(all.begin(), all.end(), [&](const Parked& p) { return p.key == m_key; });
        if (found == all.end()) return false;
        Parked p = std::move(*found);
        all.erase(found);
        if (!stillFit(p.conn)) {
            PQfinish(p.conn);
            continue;
        }
        m_conn = p.conn;
        m_statements = std::move(p.statements);
        m_columns = std::move(p.columns);
        m_host = std::move(p.host);
        m_port = std::move(p.port);
        m_database = std::move(p.database);
        m_role = std::move(p.role);
        const auto place = m_key.substr(0, m_key.find('\x1f'));
        const auto rest = m_key.substr(place.size() + 1);
        const auto schema = rest.substr(0, rest.find('\x1f'));
        rename(schema.empty() ? m_role : schema);
        m_tables = std::move(p.tables);
        return true;
    }
    return false;
}

PgEngine::~PgEngine() {
    close();
}

void PgEngine::connect(const ServerPlace& place, Access) {
    const std::string options = startupOptions(optionsIn(place.address), place.schema);
    // Defaults first, which the address may override; then what the game
    // needs, which it may not.
    std::vector<const char*> keys = {"connect_timeout",  "keepalives_idle",  "keepalives_interval",
                                     "keepalives_count", "application_name", "dbname",
                                     "options"};
    std::vector<const char*> values = {kConnectTimeoutSeconds, "10",           "5", "3", "tessaro",
                                       place.address.c_str(),  options.c_str()};
    if (!serverPassword().empty()) {
        keys.push_back("password");
        values.push_back(serverPassword().c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) failToConnect(place);
    m_host = PQhost(m_conn);
    m_port = PQport(m_conn);
    m_database = PQdb(m_conn);
    m_role = PQuser(m_conn);
    rename(place.schema.empty() ? m_role : place.schema);
    if (!PQenterPipelineMode(m_conn)) fail(nullptr);
}

void PgEngine::rename(const std::string& schema) {
    m_schema = schema;
    m_name = (schema.empty() ? std::string("of the class") : schema) + " on the server " + m_host +
             ":" + m_port + "/" + m_database;
    m_tables.clear();
}

void PgEngine::failToConnect(const ServerPlace& place) {
    const std::string why = firstLine(m_conn ? PQerrorMessage(m_conn) : "out of memory");
    const std::string host = m_conn && PQhost(m_conn) ? PQhost(m_conn) : "";
    const std::string port = m_conn && PQport(m_conn) ? PQport(m_conn) : "";
    const std::string db = m_conn && PQdb(m_conn) ? PQdb(m_conn) : "";
    const std::string role = m_conn && PQuser(m_conn) ? PQuser(m_conn) : "";
    const std::string schema = place.schema.empty() ? role : place.schema;
    const std::string name = schema + " on the server " + host + ":" + port + "/" + db;
    StoreCause cause = StoreCause::Unreachable;
    if (serverWentAway(why))
        cause = StoreCause::Unreachable;
    else if (m_conn && PQconnectionNeedsPassword(m_conn))
        cause = StoreCause::PasswordNeeded;
    else if (contains(why, "does not exist"))
        cause = StoreCause::NotAClass;
    else if ((m_conn && PQconnectionUsedPassword(m_conn)) || contains(why, "pg_hba.conf") ||
             contains(why, "authentication"))
        cause = StoreCause::LoginRefused;
    close();
    throw StoreError(cause, name, why);
}

void PgEngine::fail(const pg_result* result) const {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD || !state)
        throw StoreError(StoreCause::ServerGone, m_name,
                         firstLine(m_conn ? PQerrorMessage(m_conn) : ""));
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    throw StoreError(causeOfSqlState(state), m_name, primary ? primary : state);
}

bool PgEngine::hasTable(std::string_view name) {
    const std::string key = lowerAscii(name);
    if (const auto found = m_tables.find(key); found != m_tables.end()) return found->second;
    bool present = false;
    const RowHandler count = [&](std::vector<Value>& row) {
        present = row.at(0).integerValue() > 0;
    };
    run("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND "
        "tablename = ?1",
        {Value::text(key)}, &count);
    m_tables[key] = present;
    return present;
}

void PgEngine::begin(TransactionKind kind) {
    if (kind == TransactionKind::Snapshot) {
        send("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", {}, nullptr);
        return;
    }
    send("BEGIN ISOLATION LEVEL READ COMMITTED", {}, nullptr);
    // Every writer of a team's game takes it first, and none waits for
    // another: the second PC to press is told at once, and the first runs
    // its quarter alone. Readers are never kept out.
    if (m_purpose == Purpose::Game && m_access != Access::Read)
        send("LOCK TABLE PLIO IN EXCLUSIVE MODE NOWAIT", {}, nullptr);
}

void PgEngine::commit() {
    send("COMMIT", {}, nullptr);
    sync();
}

void PgEngine::rollback() {
    send("ROLLBACK", {}, nullptr);
    sync();
}

void PgEngine::abandon() noexcept {
    if (!m_conn) return;
    drainQuietly();
    const auto status = PQtransactionStatus(m_conn);
    if (status != PQTRANS_INTRANS && status != PQTRANS_INERROR) return;
    try {
        send("ROLLBACK", {}, nullptr);
    } catch (...) {
    }
    drainQuietly();
}

void PgEngine::backupTo(const std::string&) {
    throw StoreError(StoreCause::BadStatement, m_name,
                     "a game on a server is copied into a file with 'class export'");
}

void PgEngine::close() noexcept {
    if (!m_conn) return;
    drainQuietly();
    const std::lock_guard<std::mutex> hold(parkingLock());
    auto& all = parked();
    if (!m_key.empty() && stillFit(m_conn) && (all.empty() || all.front().pid == ::getpid())) {
        if (all.size() >= kMostParked) {
            PQfinish(all.front().conn);
            all.erase(all.begin());
        }
        try {
            all.push_back({m_key, ::getpid(), m_conn, std::move(m_statements), std::move(m_columns),
                           std::move(m_tables), m_host, m_port, m_database, m_role});
            m_conn = nullptr;
        } catch (...) {
        }
    }
    if (m_conn) PQfinish(m_conn);
    m_conn = nullptr;
    m_pending.clear();
}

}  // namespace tessaro::store
