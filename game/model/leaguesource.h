// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Where a league's teams come from, so that a window shows a league without
// knowing whether it is of chosen game files or of a class on a server.
// A server's league is live: it says when a team has run a quarter, and
// what the connection is doing while it cannot hear.
//
//   auto source = model::leagueSourceFor(gameConnectionString, files);
//   League league = source->read();
//   // on activity of source->socket(), and on a timer: if (source->poll()) read again
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/league.h"

namespace tessaro::model {

class LeagueSource {
public:
    virtual ~LeagueSource() = default;

    // The league now. Throws an exception whose words are to be shown when
    // a server cannot be read, or when the login is a team's, which may not
    // read the class; a file that cannot be read is that team's error
    // instead.
    virtual League read() = 0;
    // True for a class on a server, whose teams are every team of the class
    // (no files are chosen).
    virtual bool onServer() const { return false; }
    // Does what is due without waiting; true when the league is to be read
    // again (a team ran a quarter, or the connection came back).
    virtual bool poll() { return false; }
    // The socket to watch for reading, -1 when there is none (yet).
    virtual int socket() const { return -1; }
    // What to show beside the league: "" while all is well.
    virtual std::string statusText() const { return {}; }
};

// The chosen game files, each read with a read-only connection.
std::unique_ptr<LeagueSource> fileLeague(std::vector<std::string> files);

// Every team of the class the connection string's server holds, heard
// through the server's notifications.
std::unique_ptr<LeagueSource> serverLeague(std::string connectionString);

// The league of the game the program plays: its class when the game is on a
// server, else the chosen files.
std::unique_ptr<LeagueSource> leagueSourceFor(const std::string& gameConnectionString,
                                              std::vector<std::string> files);

}  // namespace tessaro::model
