// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Where the game database lies, spelled as the connection string the game
// has always used:
//   "Provider = Microsoft.jet.OLEDB.4.0; Data Source =" + directory + "/TESSARO_DB.mdb"
// The store reads the file path back out of that text.
//
// Both programs find the game file by one rule (defaultGameLocation):
//   1. beside the program, when the player may write there and the program
//      is not installed in a system folder: a copied, portable game;
//   2. otherwise in the player's own data folder, $XDG_DATA_HOME/tessaro
//      (~/.local/share/tessaro when XDG_DATA_HOME is not set).
// --database PATH names any other file and wins over both.
#pragma once

#include <string>
#include <string_view>

namespace tessaro::store {

inline constexpr std::string_view kDatabaseFileName = "TESSARO_DB.mdb";
inline constexpr std::string_view kConnectionPrefix =
    "Provider = Microsoft.jet.OLEDB.4.0; Data Source =";

// The connection string for the database file in `directory` (given as the
// system reports it, without a trailing separator; a root keeps its single
// separator).
std::string connectionStringForDirectory(std::string_view directory);

// The connection string for a database file anywhere (--database PATH).
std::string connectionStringForFile(std::string_view path);

// The file path named by a connection string. For the game's own texts
// (the prefix above) it is everything after the prefix, exactly as given,
// so that blanks and ';' in a file name stay part of it; other texts are
// read as "key = value" pairs separated by ';'. Throws
// std::invalid_argument when the text has no "Data Source =" part.
std::string pathFromConnectionString(std::string_view connectionString);

// The directory the running program file lies in.
std::string programDirectory();

// Where the game file lies, and why.
struct GameLocation {
    std::string connectionString;
    std::string directory;
    bool named = false;     // named with --database
    bool portable = false;  // beside the program (rule 1)
    // For rule 2: why the program's own directory is not used.
    std::string reason;
};

// The game file both programs play: the file named with --database when
// there is one, else the one of defaultGameLocation(), which must not
// belong to another player (checkOwnGameFile).
GameLocation gameLocation(const std::string* databasePath,
                          const std::string& programDir = programDirectory());

// Applies the rule above for a program lying in `programDir`; creates the
// per-user data folder when it is chosen and missing. Throws StoreError
// (CannotOpen) when no home folder can be found or the folder cannot be
// made.
GameLocation defaultGameLocation(const std::string& programDir = programDirectory());

// The per-user data folder of the game: $XDG_DATA_HOME/tessaro, or
// ~/.local/share/tessaro (not created here).
std::string userDataDirectory();

// Refuses a game file the player would write into although it belongs to
// somebody else: each player keeps a game of their own unless they name a
// shared file with --database. Throws StoreError (CannotOpen) naming the file
// and its owner; does nothing for a missing file or one of the player's own.
void checkOwnGameFile(const std::string& path);

}  // namespace tessaro::store
