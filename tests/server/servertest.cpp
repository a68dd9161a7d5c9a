// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "servertest.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "model/classroom.h"
#include "store/connection.h"
#include "store/serverplace.h"

namespace tessaro::testing {
namespace {

std::string stateValue(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

Cluster loadCluster() {
    std::ifstream in(TESSARO_PG_STATE);
    if (!in)
        throw std::runtime_error(
            "no PostgreSQL cluster: run the server tests through ctest, "
            "whose pg_cluster fixture starts one (" TESSARO_PG_STATE ")");
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    Cluster c{stateValue(text, "TESSARO_PG_DIR"), stateValue(text, "TESSARO_PG_BIN"),
              stateValue(text, "PGHOST"), stateValue(text, "PGPORT"),
              stateValue(text, "PGPASSFILE")};
    // Nothing of the machine's own settings reaches the tests.
    for (const char* v : {"PGSERVICE", "PGSERVICEFILE", "PGDATABASE", "PGUSER", "PGPASSWORD",
                          "PGSSLMODE", "PGOPTIONS", "TESSARO_SERVER"})
        ::unsetenv(v);
    ::setenv("PGHOST", c.host.c_str(), 1);
    ::setenv("PGPORT", c.port.c_str(), 1);
    return c;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string bitsOf(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

}  // namespace

const Cluster& cluster() {
    static const Cluster c = loadCluster();
    return c;
}

std::string adminSql(const std::string& sql, const std::string& database) {
    const Cluster& c = cluster();
    const std::string conninfo = "host=" + c.host + " port=" + c.port + " dbname=" + database +
                                 " user=tessaro_admin passfile=" + c.adminPgpass;
    PGconn* conn = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string why = PQerrorMessage(conn);
        PQfinish(conn);
        throw std::runtime_error("admin connection: " + why);
    }
    PGresult* r = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(r);
    std::string value;
    std::string error;
    if (status == PGRES_TUPLES_OK && PQntuples(r) > 0)
        value = PQgetvalue(r, 0, 0);
    else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        error = PQerrorMessage(conn);
    PQclear(r);
    PQfinish(conn);
    if (!error.empty()) throw std::runtime_error(sql + ": " + error);
    return value;
}

ServerClass::ServerClass() {
    static std::atomic<int> counter{0};
    m_prefix = "t" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_";
    m_database = m_prefix + "class";
    m_teacher = m_prefix + "teacher";
    const std::string password = "teacher-" + std::to_string(::getpid());
    adminSql("CREATE ROLE " + m_teacher + " LOGIN CREATEROLE PASSWORD '" + password + "'");
    adminSql("CREATE DATABASE " + m_database + " OWNER " + m_teacher);
    std::ofstream(pgpass()) << readFile(cluster().adminPgpass) << "*:*:*:" << m_teacher << ":"
                            << password << "\n";
    std::filesystem::permissions(
        pgpass(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ::setenv("PGPASSFILE", pgpass().c_str(), 1);
}

ServerClass::~ServerClass() {
    try {
        adminSql("DROP DATABASE IF EXISTS " + m_database + " WITH (FORCE)");
        const std::string roles = adminSql(
            "SELECT string_agg(quote_ident(rolname), ', ') FROM pg_roles WHERE rolname LIKE '" +
            m_prefix + "%'");
        if (!roles.empty()) adminSql("DROP ROLE " + roles);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the test's class could not be removed: " << e.what();
    }
}

std::string ServerClass::address(const std::string& role, bool tcp) const {
    return "host=" + (tcp ? std::string("127.0.0.1") : cluster().host) + " port=" + cluster().port +
           " dbname=" + m_database + " user=" + role;
}

std::string ServerClass::teacher() const {
    return store::connectionStringForServer(address(m_teacher));
}

std::string ServerClass::game(const std::string& team) const {
    return store::connectionStringForServer(address(team));
}

void ServerClass::addPassword(const std::string& line) {
    std::ofstream(pgpass(), std::ios::app) << line << "\n";
}

std::vector<std::string> ServerClass::init(const std::vector<std::string>& names) {
    std::vector<std::string> teams;
    teams.reserve(names.size());
    for (const auto& n : names) teams.push_back(team(n));
    for (const auto& line : model::initClass(teacher(), teams, "")) addPassword(line);
    return teams;
}

std::string exactDump(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    store::Snapshot snapshot(db);
    std::ostringstream out;
    for (const char* select :
         {"SELECT * FROM PLIO ORDER BY PNPLPD", "SELECT * FROM PLDI ORDER BY ZNPLPD",
          "SELECT * FROM PLED ORDER BY rowid", "SELECT * FROM TAKEBACK ORDER BY TNPLPD"}) {
        auto rs = db.openRecordset(select);
        out << select << ": " << rs.recordCount() << " rows\n";
        for (; !rs.eof(); rs.moveNext()) {
            for (const auto& column : rs.columns()) {
                const auto& v = rs[column];
                switch (v.kind()) {
                    case store::Value::Kind::Empty:
                        out << " -";
                        break;
                    case store::Value::Kind::Integer:
                        out << " i" << v.integerValue();
                        break;
                    case store::Value::Kind::Real:
                        out << " r" << bitsOf(v.realValue());
                        break;
                    case store::Value::Kind::Text:
                        out << " t" << v.textValue();
                        break;
                }
            }
            out << '\n';
        }
    }
    return out.str();
}

bool consistentGame(const std::string& cs) {
    store::Connection db(cs, store::Access::Read);
    store::Snapshot snapshot(db);
    const auto one = [&](const std::string& select) {
        auto rs = db.openRecordset(select);
        std::string row;
        for (const auto& c : rs.columns()) row += rs[c].toText() + ",";
        return row;
    };
    const std::string plio = one("SELECT min(PNPLPD), max(PNPLPD), count(*) FROM PLIO");
    const long long k = std::stoll(one("SELECT max(PNPLPD) FROM PLIO"));
    const std::string K = std::to_string(k);
    const std::string pldi = one("SELECT min(ZNPLPD), max(ZNPLPD), count(*) FROM PLDI");
    const std::string pled = one("SELECT count(*), min(ENPLPD), max(ENPLPD) FROM PLED");
    EXPECT_EQ(plio, "0," + K + "," + std::to_string(k + 1) + ",") << cs;
    EXPECT_EQ(pldi, "1," + K + "," + K + ",") << cs;
    EXPECT_EQ(pled, "25," + std::to_string(k - 1) + "," + std::to_string(k - 1) + ",") << cs;
    return plio == "0," + K + "," + std::to_string(k + 1) + "," &&
           pldi == "1," + K + "," + K + "," &&
           pled == "25," + std::to_string(k - 1) + "," + std::to_string(k - 1) + ",";
}

}  // namespace tessaro::testing
