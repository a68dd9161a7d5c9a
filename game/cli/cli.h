// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The command-line front of the game: plays it from a terminal against the
// same database file, with the same checks, messages and effects as the
// decision window.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "store/storeerror.h"

namespace tessaro::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;         // the players' input was refused
inline constexpr int kDatabaseFailed = 2;  // the database (or the model) failed
inline constexpr int kUsage = 64;          // the command line itself was wrong
// A game on a server:
inline constexpr int kNotAClass = 65;  // the database is not a class, or no game of the team
inline constexpr int kServerUnreachable = 69;  // the server did not answer, or went away
inline constexpr int kLoginRefused = 77;       // wrong password, none found, or no right to it

// Runs one command line (without the program name) for a program lying in
// `programDirectory`, which decides where the game file lies unless
// --database names one (store/gamelocation.h).
int runCli(const std::vector<std::string>& args, const std::string& programDirectory,
           std::ostream& out, std::ostream& err);

// Prints a usage error with the line that points to --help; returns kUsage.
int usageError(const std::string& why, std::ostream& err);
// The exit status for a command's status and the cause of the database
// failure it told last: each failure of a server has a status of its own.
int exitStatus(int status, const std::optional<store::StoreCause>& failure);

}  // namespace tessaro::cli
