// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Making sure a game database is there: a missing file is created as a new
// game, re-initialised so that the first start shows quarter 2 ready for
// decisions.
#pragma once

#include <optional>
#include <string>

namespace tessaro::model {

// Creates the game database named by the connection string when no file is
// there; returns true when it created one. The file appears complete or not
// at all: it is built under a temporary name beside it and then renamed.
// Throws store::StoreError when the file cannot be created.
bool ensureGameDatabase(const std::string& connectionString);

// The file the game lives in, or nothing for a game on a class server,
// which has no file of its own. Throws std::invalid_argument for a text
// that names neither.
std::optional<std::string> gameFilePath(const std::string& connectionString);

// True for a team's game on a class server.
bool gameIsOnServer(const std::string& connectionString);

}  // namespace tessaro::model
