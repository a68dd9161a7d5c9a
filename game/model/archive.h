// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The archive of a game file: before a re-initialisation throws a game of
// more than one quarter away, the whole game is copied beside the file as
// <stem>-YYYYMMDD-HHMMSS.mdb (TESSARO_DB-20260309-141502.mdb for the default
// file; -2, -3 ... added when that name is taken), so that nothing played is
// ever lost.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessaro::store {
class Connection;
}

namespace tessaro::model {

inline constexpr const char* kArchiveTitle = "Archive For Tessaro";

// Copies the game held by `db` (a connection that holds the file) into its
// archive when PLIO has more than two rows, through the engine's online
// backup; returns the copy's path, or nothing when the game is not worth
// keeping. Throws RunStopped (title "Initialization For SD Run") when the
// copy cannot be written; nothing is left of it then.
std::optional<std::string> archiveGame(store::Connection& db);

// One archived game, as `tessaro-cli games` lists it.
struct ArchivedGame {
    std::string path;
    std::string archivedAt;    // "2026-03-09 14:15:02", read from the name
    int quartersPlayed = 0;    // the quarters run, the first one included
    std::string runningTotal;  // ZTVG of its last quarter, as text
    std::string problem;       // why the copy could not be read, if it could not
};

// The archive of the game file at `gamePath`, newest first.
std::vector<ArchivedGame> listArchive(const std::string& gamePath);

// The games kept of the game a connection string names: the archive of a
// file, or the archive tables of a team's game on a server ("archive 3").
std::vector<ArchivedGame> listGames(const std::string& connectionString);

// For the message that refuses a damaged game file: how its archive can
// bring the game back, naming the newest copy that can be read (a sentence
// that starts with a blank).
std::string wayBackText(const std::string& gamePath);

}  // namespace tessaro::model
