// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A game on a PostgreSQL class server, spelled as a connection string of
// the game's own, like the file's:
//   "Provider = PostgreSQL; Schema = team1; Server = " + libpq address
// The address is a libpq connection URI (postgresql://host:port/class) or
// key=value string (host=... dbname=...), exactly as the players gave it
// with --server or TESSARO_SERVER; it comes last, so that it is kept whole.
// Schema names the team whose game is meant; without it the game is the
// one in the schema named like the role that logs in. A password never
// stands in the address: it comes the libpq way (~/.pgpass, PGPASSFILE, a
// service file) or from the window's masked prompt (setServerPassword).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro::store {

inline constexpr std::string_view kServerProvider = "Provider = PostgreSQL;";

struct ServerPlace {
    std::string address;  // the libpq address as given
    std::string schema;   // the team's schema; empty for the role's own
};

// The game's connection string for a game on a server.
std::string connectionStringForServer(std::string_view address, std::string_view schema = {});

// Whether a connection string names a game on a server.
bool isServerConnectionString(std::string_view connectionString);

// The server and schema a connection string names; none for a file's.
std::optional<ServerPlace> serverPlace(std::string_view connectionString);

// Throws StoreError (PasswordInAddress) when the address carries a
// password, and (BadAddress) when libpq cannot read it.
void checkServerAddress(std::string_view address);

// The password the window's prompt was given for the server, used when
// libpq finds none of its own; empty when none was asked for.
void setServerPassword(std::string password);
const std::string& serverPassword();

// The environment variable that names the server when --server does not.
inline constexpr const char* kServerVariable = "TESSARO_SERVER";

}  // namespace tessaro::store
