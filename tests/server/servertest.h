// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The throwaway PostgreSQL cluster the tests run against (started by the
// CTest fixture through tests/server/pgcluster), and a class of its own for
// each test: a teacher's role that may create roles, owning a new database,
// and the teams it makes, all dropped at the end.
#pragma once

#include <string>
#include <vector>

#include "testgame.h"

namespace tessaro::testing {

// The cluster the fixture started, its environment set in this process.
struct Cluster {
    std::string dir, bin, host, port, adminPgpass;
};
const Cluster& cluster();

// Runs SQL as the cluster's superuser on `database`; returns the first
// column of the first row, or throws with the server's words.
std::string adminSql(const std::string& sql, const std::string& database = "postgres");

class ServerClass {
public:
    ServerClass();
    ~ServerClass();
    ServerClass(const ServerClass&) = delete;
    ServerClass& operator=(const ServerClass&) = delete;

    // A team name of this test's own (roles are the whole server's).
    std::string team(const std::string& name) const { return m_prefix + name; }
    // The libpq address for a role, over the socket or over TCP.
    std::string address(const std::string& role, bool tcp = false) const;
    // The teacher's connection string (store/serverplace.h).
    std::string teacher() const;
    // The team's own connection string, as its PCs have it.
    std::string game(const std::string& team) const;
    const std::string& database() const { return m_database; }
    const std::string& teacherRole() const { return m_teacher; }

    // Makes the teams (names as given, the prefix added) with class init;
    // their passwords go into this test's .pgpass. Returns the full names.
    std::vector<std::string> init(const std::vector<std::string>& names);
    // Adds a line to this test's .pgpass.
    void addPassword(const std::string& line);
    // The .pgpass file every connection of this test reads (PGPASSFILE).
    std::string pgpass() const { return m_dir.file("pgpass"); }

private:
    TempDir m_dir;
    std::string m_prefix, m_database, m_teacher;
};

// Every row of every table of a game, each value with its kind and exact
// bits, to compare a game on a server with one in a file.
std::string exactDump(const std::string& connectionString);

// True when PLIO, PLDI and PLED agree: PLIO 0..k, PLDI 1..k, PLED the 25
// steps of the run from k - 1. Fails the test with what is wrong otherwise.
bool consistentGame(const std::string& connectionString);

}  // namespace tessaro::testing
