// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "classserver.h"

#include <libpq-fe.h>

#include <fstream>

#include "asciitext.h"
#include "pgengine.h"
#include "schema.h"
#include "serverplace.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

PgEngine& serverOf(Connection& c) {
    return dynamic_cast<PgEngine&>(c.engine());
}

std::shared_ptr<Engine> classEngine(std::string_view connectionString, Access access) {
    auto place = serverPlace(connectionString);
    if (!place)
        throw StoreError(StoreCause::NotAClass, std::string(connectionString),
                         "a class lies on a server: name it with --server");
    place->schema.clear();
    return PgEngine::open(*place, access, PgEngine::Purpose::Class);
}

// A name made safe for a statement text: team names are checked first, and
// quoted besides.
std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

constexpr const char* kDefaultSocketFolder = "/var/run/postgresql";

// The .pgpass format escapes ':' and '\'.
std::string pgpassField(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ':' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The trigger that marks a team's run and tells the league: it runs as the
// teacher, who may write the list of teams, for whichever team's table
// fired it.
const char* const kQuarterRunFunction =
    "CREATE FUNCTION TESSARO.QUARTER_RUN() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
    "SET search_path = pg_catalog, pg_temp AS $$ BEGIN "
    "UPDATE tessaro.teams SET last_run = now() WHERE team = TG_TABLE_SCHEMA; "
    "PERFORM pg_notify('tessaro_league', TG_TABLE_SCHEMA); RETURN NULL; END $$";

}  // namespace

bool isTeamName(std::string_view name) {
    if (name.empty() || name.size() > 31) return false;
    for (char c : name)
        if (!(c >= 'a' && c <= 'z') && !isAsciiDigit(c) && c != '_') return false;
    return name.substr(0, 3) != "pg_" && name != "public" && name != "tessaro";
}

ClassServer::ClassServer(std::string_view connectionString, Access access)
    : m_address(serverPlace(connectionString) ? serverPlace(connectionString)->address : ""),
      m_connection(classEngine(connectionString, access), access) {}

bool ClassServer::isClass() {
    auto rs = m_connection.openRecordset(
        "SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = 'tessaro' AND "
        "tablename = 'teams'");
    return rs["count"].integerValue() > 0;
}

void ClassServer::requireClass() {
    if (!isClass())
        throw StoreError(StoreCause::NotAClass, serverOf(m_connection).name(),
                         "no list of teams in the database " + serverOf(m_connection).database());
}

std::vector<std::string> ClassServer::namesTaken(const std::vector<std::string>& names) {
    std::vector<std::string> taken;
    for (const auto& n : names) {
        auto rs = m_connection.openRecordset(
            "SELECT (SELECT count(*) FROM pg_catalog.pg_roles WHERE rolname = ?1) + "
            "(SELECT count(*) FROM pg_catalog.pg_namespace WHERE nspname = ?1) AS n",
            {Value::text(n)});
        if (rs["n"].integerValue() > 0) taken.push_back(n);
    }
    return taken;
}

std::vector<std::string> ClassServer::teamNames() {
    std::vector<std::string> names;
    auto rs = m_connection.openRecordset("SELECT TEAM FROM TESSARO.TEAMS ORDER BY TEAM");
    for (; !rs.eof(); rs.moveNext()) names.emplace_back(rs["team"].textValue());
    return names;
}

bool ClassServer::hasTeam(const std::string& team) {
    auto rs = m_connection.openRecordset("SELECT count(*) FROM TESSARO.TEAMS WHERE TEAM = ?1",
                                         {Value::text(team)});
    return rs["count"].integerValue() > 0;
}

std::vector<ClassTeam> ClassServer::teams() {
    std::vector<ClassTeam> out;
    auto rs = m_connection.openRecordset(
        "SELECT TEAM, to_char(LAST_RUN, 'YYYY-MM-DD HH24:MI:SS') AS LAST_RUN FROM TESSARO.TEAMS "
        "ORDER BY TEAM");
    for (; !rs.eof(); rs.moveNext())
        out.push_back({std::string(rs["team"].textValue()), 0, rs["last_run"].toText()});
    for (auto& t : out) {
        auto n = m_connection.openRecordset("SELECT count(*) FROM " + quoted(t.name) + ".PLDI");
        t.quarters = static_cast<int>(n["count"].integerValue());
    }
    return out;
}

bool ClassServer::ownsDatabase() {
    auto rs = m_connection.openRecordset(
        "SELECT count(*) FROM pg_catalog.pg_database WHERE datname = current_database() AND "
        "pg_catalog.pg_get_userbyid(datdba) = current_user");
    return rs["count"].integerValue() > 0;
}

void ClassServer::makeClass() {
    if (isClass()) return;
    m_connection.execute("CREATE SCHEMA TESSARO");
    m_connection.execute("REVOKE ALL ON SCHEMA TESSARO FROM PUBLIC");
    m_connection.execute(
        "CREATE TABLE TESSARO.TEAMS (TEAM text PRIMARY KEY, "
        "CREATED timestamp with time zone NOT NULL DEFAULT now(), "
        "LAST_RUN timestamp with time zone)");
    m_connection.execute(kQuarterRunFunction);
    m_connection.execute("REVOKE ALL ON FUNCTION TESSARO.QUARTER_RUN() FROM PUBLIC");
    // Only the class's own teams (and its owner) may connect to it.
    if (ownsDatabase())
        m_connection.execute("REVOKE CONNECT ON DATABASE " +
                             quoted(serverOf(m_connection).database()) + " FROM PUBLIC");
}

void ClassServer::createTeam(const std::string& team, const std::string& password) {
    if (!isTeamName(team)) throw StoreError(StoreCause::BadStatement, team, kTeamNameRule);
    PgEngine& server = serverOf(m_connection);
    // The server keeps only the password's SCRAM verifier, made here: the
    // password itself never travels nor lands in a server log.
    char* verifier =
        PQencryptPasswordConn(server.handle(), password.c_str(), team.c_str(), "scram-sha-256");
    if (!verifier) server.fail(nullptr);
    const std::string secret = "'" + std::string(verifier) + "'";
    PQfreemem(verifier);
    const std::string t = quoted(team);
    m_connection.execute("CREATE ROLE " + t + " LOGIN NOINHERIT PASSWORD " + secret);
    m_connection.execute("CREATE SCHEMA " + t);
    m_connection.execute("GRANT USAGE ON SCHEMA " + t + " TO " + t);
    useTeam(team);
    for (const auto& text : serverTableTexts()) m_connection.execute(text);
    for (const auto& text : serverArchiveTexts()) m_connection.execute(text);
    m_connection.execute("GRANT SELECT, INSERT, UPDATE, DELETE ON PLIO, PLED, PLDI, TAKEBACK TO " +
                         t);
    m_connection.execute(
        "GRANT SELECT, INSERT ON ARCHIVES, PLIO_ARCHIVE, PLED_ARCHIVE, PLDI_ARCHIVE, "
        "TAKEBACK_ARCHIVE TO " +
        t);
    m_connection.execute(
        "CREATE TRIGGER LEAGUE AFTER INSERT OR UPDATE OR DELETE ON PLDI FOR EACH STATEMENT "
        "EXECUTE FUNCTION TESSARO.QUARTER_RUN()");
    m_connection.execute("INSERT INTO TESSARO.TEAMS(TEAM) VALUES(?1)", {Value::text(team)});
    if (ownsDatabase())
        m_connection.execute("GRANT CONNECT ON DATABASE " + quoted(server.database()) + " TO " + t);
}

void ClassServer::useTeam(const std::string& team) {
    if (!isTeamName(team)) throw StoreError(StoreCause::BadStatement, team, kTeamNameRule);
    m_connection.execute("SET LOCAL search_path = " + quoted(team));
    serverOf(m_connection).rename(team);
}

void ClassServer::dropTeam(const std::string& team) {
    if (!isTeamName(team)) throw StoreError(StoreCause::BadStatement, team, kTeamNameRule);
    const std::string t = quoted(team);
    m_connection.execute("DROP SCHEMA " + t + " CASCADE");
    if (ownsDatabase())
        m_connection.execute("REVOKE CONNECT ON DATABASE " +
                             quoted(serverOf(m_connection).database()) + " FROM " + t);
    m_connection.execute("DROP ROLE " + t);
    m_connection.execute("DELETE FROM TESSARO.TEAMS WHERE TEAM = ?1", {Value::text(team)});
}

std::string ClassServer::teamConnectionString(const std::string& team) const {
    return connectionStringForServer(m_address, team);
}

std::string ClassServer::pgpassLine(const std::string& team, const std::string& password) const {
    const PgEngine& server = dynamic_cast<const PgEngine&>(m_connection.engine());
    // The host as the teacher reached the server, which should be as the
    // PCs reach it; libpq looks up the default socket folder as "localhost".
    const std::string host = server.host() == kDefaultSocketFolder ? "localhost" : server.host();
    return pgpassField(host) + ":" + pgpassField(server.port()) + ":" +
           pgpassField(server.database()) + ":" + pgpassField(team) + ":" + pgpassField(password);
}

std::string newTeamPassword() {
    static constexpr char kLetters[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    std::ifstream random("/dev/urandom", std::ios::binary);
    std::string password;
    while (password.size() < 20) {
        const int byte = random.get();
        if (byte < 0)
            throw StoreError(StoreCause::Failed, "/dev/urandom", "no random bytes to be had");
        // Bytes past the last whole multiple are skipped, so that each
        // letter is as likely as the others.
        constexpr int n = sizeof kLetters - 1;
        if (byte < 256 - 256 % n) password += kLetters[byte % n];
    }
    return password;
}

}  // namespace tessaro::store
