// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The teacher's commands on a class server (store/classserver.h): teams
// made and dropped, a team's game re-initialised, and a game moved between
// a file and the server, row for row and value for value, both ways, the
// source never changed.
//
// Every command throws RunStopped with the message why it refused, having
// changed nothing, and store::StoreError when the server fails.
#pragma once

#include <string>
#include <vector>

#include "model/runstopped.h"
#include "store/classserver.h"

namespace tessaro::model {

inline constexpr const char* kClassTitle = "Class For Tessaro";

// Makes one login role, schema and new game per team, all in one
// transaction, and gives each team a new password: written once to
// `passwordsFile` (which must not exist) as ~/.pgpass lines, mode 0600, or
// returned when no file is named. A name that is no team name, a name given
// twice, or a team, role or schema the server has already refuses the
// whole command before anything is created.
std::vector<std::string> initClass(const std::string& connectionString,
                                   const std::vector<std::string>& teams,
                                   const std::string& passwordsFile);

std::vector<store::ClassTeam> listClass(const std::string& connectionString);

// The team's game, for the teacher's role.
std::string teamGame(const std::string& connectionString, const std::string& team);

// Removes the team: its game, its archive, its role.
void dropTeam(const std::string& connectionString, const std::string& team);

// Copies the game of `source` (a file or a team's game on a server) into a
// new game file at `outPath`, which must not exist, row for row.
void exportGame(const std::string& source, const std::string& outPath);

// Replaces the team's game on the server by the game in the file `inPath`,
// row for row, in one transaction; the game it replaces is kept in the
// team's archive first, as a re-initialisation keeps it. Returns the
// archive's name, or empty when the game replaced was not worth keeping.
std::string importGame(const std::string& inPath, const std::string& teamGame);

}  // namespace tessaro::model
