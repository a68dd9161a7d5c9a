// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The command-line front of the game: plays it from a terminal against the
// same database file, with the same checks, messages and effects as the
// decision window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessaro::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;         // the players' input was refused
inline constexpr int kDatabaseFailed = 2;  // the database (or the model) failed
inline constexpr int kUsage = 64;          // the command line itself was wrong

// Runs one command line (without the program name) for a program lying in
// `programDirectory`, which decides where the game file lies unless
// --database names one (store/gamelocation.h).
int runCli(const std::vector<std::string>& args, const std::string& programDirectory,
           std::ostream& out, std::ostream& err);

}  // namespace tessaro::cli
