// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Where the game database lies, spelled as the connection string the game
// has always used:
//   "Provider = Microsoft.jet.OLEDB.4.0; Data Source =" + directory + "/TESSARO_DB.mdb"
// The store reads the file path back out of that text.
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

// The file path named by a connection string; throws std::invalid_argument
// when the text has no "Data Source =" part.
std::string pathFromConnectionString(std::string_view connectionString);

// The directory the running program file lies in.
std::string programDirectory();

}  // namespace tessaro::store
