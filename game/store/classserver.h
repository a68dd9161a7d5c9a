// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A class on a PostgreSQL server, as its teacher works on it: one database
// per class, holding the schema TESSARO (the list of teams and the trigger
// that tells the league of every quarter run) and one schema per team,
// named like the team's login role, with the team's game and its archive.
//
// The teacher's role owns every schema and table, so that a team can
// neither change its tables' definitions nor drop them; a team's role may
// only use its own schema and read and write its game's rows (and add to
// its archive). The teacher needs CREATEROLE, and should own the class's
// database, so that the teams of one class cannot connect to another's.
//
//   store::ClassServer server(connectionString);
//   store::Transaction t(server.connection());
//   server.makeClass();
//   server.createTeam("team1", password);   // the connection now plays team1
//   ...
//   t.commit();
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "connection.h"

namespace tessaro::store {

// Where the class's database tells of a team's run (NOTIFY), with the
// team's name as the payload.
inline constexpr const char* kLeagueChannel = "tessaro_league";

// Team names: lowercase letters, digits and _, 1 to 31 characters; none that
// the server keeps for itself (pg_...) or that names a schema every
// database has (public) or the class's own (tessaro).
bool isTeamName(std::string_view name);
inline constexpr const char* kTeamNameRule =
    "a team name is 1 to 31 lowercase letters, digits and _, not starting with pg_, and "
    "neither public nor tessaro";

struct ClassTeam {
    std::string name;
    int quarters = 0;     // quarters played (PLDI rows)
    std::string lastRun;  // "2026-03-09 14:15:02" of the last quarter run, or empty
};

class ClassServer {
public:
    // Connects as the teacher to the class's database; a schema in the
    // connection string is not used.
    explicit ClassServer(std::string_view connectionString, Access access = Access::Write);

    Connection& connection() { return m_connection; }

    // Whether the database is a class; requireClass throws
    // StoreError (NotAClass) when it is not.
    bool isClass();
    void requireClass();
    // Which of these names a role or a schema of the server has already.
    std::vector<std::string> namesTaken(const std::vector<std::string>& names);
    std::vector<std::string> teamNames();
    bool hasTeam(const std::string& team);
    std::vector<ClassTeam> teams();

    // In the open transaction:
    // makes the database a class, when it is not one yet;
    void makeClass();
    // makes the team's role (which logs in with `password`), its schema and
    // empty tables and its rights, and lists it; the connection then works
    // on the team's game;
    void createTeam(const std::string& team, const std::string& password);
    // makes the connection work on the team's game (its messages name it);
    void useTeam(const std::string& team);
    // removes the team's game, archive, role and listing.
    void dropTeam(const std::string& team);

    // The connection string of the team's game, for the teacher's role.
    std::string teamConnectionString(const std::string& team) const;
    // The team's line for ~/.pgpass on its PCs.
    std::string pgpassLine(const std::string& team, const std::string& password) const;

private:
    bool ownsDatabase();
    std::string m_address;
    Connection m_connection;
};

// A new password for a team: 20 letters and digits from the system's
// random source.
std::string newTeamPassword();

}  // namespace tessaro::store
