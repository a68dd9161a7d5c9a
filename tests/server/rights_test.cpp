// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A team's role reaches only its own game: it cannot read, change or drop
// another team's, create schemas, change its own tables' definitions, nor
// connect to another class. The teacher reads every team. Each right is
// tried on the server itself, with the team's own login.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "model/league.h"
#include "servertest.h"

namespace tessaro::testing {
namespace {

// Runs `sql` as `role`; returns the SQLSTATE of the refusal, "" when done.
std::string attempt(const ServerClass& server, const std::string& role, const std::string& sql,
                    const std::string& database = "") {
    std::string address = server.address(role);
    if (!database.empty()) address += " dbname=" + database;
    PGconn* conn = PQconnectdb(address.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string why = PQerrorMessage(conn);
        PQfinish(conn);
        return "no connection: " + why;
    }
    PGresult* r = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(r);
    const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    std::string result =
        status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? "" : (state ? state : "?");
    PQclear(r);
    PQfinish(conn);
    return result;
}

TEST(Rights, aTeamReachesOnlyItsOwnGame) {
    ServerClass server;
    const auto teams = server.init({"a", "b"});
    const std::string& a = teams[0];
    const std::string& b = teams[1];
    const std::string denied = "42501";
    const std::pair<const char*, std::string> refused[] = {
        {"read another team's game", "SELECT * FROM " + b + ".plio"},
        {"change another team's game", "UPDATE " + b + ".plio SET pord = 1"},
        {"add to another team's game", "DELETE FROM " + b + ".pldi"},
        {"drop another team's game", "DROP TABLE " + b + ".plio"},
        {"drop another team's schema", "DROP SCHEMA " + b + " CASCADE"},
        {"create a schema", "CREATE SCHEMA mine"},
        {"create a table in its schema", "CREATE TABLE " + a + ".extra (x int)"},
        {"change its own table", "ALTER TABLE " + a + ".plio ADD COLUMN x int"},
        {"drop its own table", "DROP TABLE " + a + ".pldi"},
        {"empty its own table past the game", "TRUNCATE " + a + ".pled"},
        {"disable the league's trigger", "ALTER TABLE " + a + ".pldi DISABLE TRIGGER ALL"},
        {"rewrite its archive", "DELETE FROM " + a + ".archives"},
        {"read the list of teams", "SELECT * FROM tessaro.teams"},
        {"mark another team's run", "UPDATE tessaro.teams SET last_run = now()"},
        {"make a role", "CREATE ROLE intruder"},
    };
    for (const auto& [what, sql] : refused) {
        const auto state = attempt(server, a, sql);
        // Refused for want of the right (or, for an object it may not even
        // see, as not there to it).
        EXPECT_TRUE(state == denied || state == "42P01" || state == "3F000")
            << what << ": " << state;
    }
    // What the game itself does is allowed.
    EXPECT_EQ(attempt(server, a, "SELECT count(*) FROM plio"), "");
    EXPECT_EQ(attempt(server, a, "UPDATE pldi SET zvg = zvg"), "");
    EXPECT_EQ(attempt(server, a, "BEGIN; LOCK TABLE plio IN EXCLUSIVE MODE; COMMIT"), "");
    // Another class's database is closed to the team.
    EXPECT_NE(attempt(server, a, "SELECT 1", "postgres").find("no connection"), std::string::npos);
    // Team b's game is as it was, and the teacher reads every team.
    EXPECT_EQ(adminSql("SELECT count(*) FROM " + b + ".plio WHERE pord = 1", server.database()),
              "0");
    EXPECT_EQ(attempt(server, server.teacherRole(), "SELECT * FROM " + a + ".plio, " + b + ".plio"),
              "");
    const auto league = model::readServerLeague(server.teacher());
    EXPECT_EQ(league.rankedCount(), 2u);
    // A team's login cannot read the league of the class.
    EXPECT_THROW(model::readServerLeague(server.game(a)), std::exception);
}

}  // namespace
}  // namespace tessaro::testing
