// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Putting a finished file in place under a name that must be free: new
// games, archived games and branches are built under a temporary name beside
// their place and appear there complete or not at all, never over another
// file.
#pragma once

#include <string>

namespace tessaro::model {

// Whether anything (a file, a folder, a broken link ...) is at `path`.
bool somethingAt(const std::string& path);

// The temporary name a file for `path` is built under by this process.
std::string temporaryFor(const std::string& path);

// Removes a temporary file and any journal the engine left beside it.
void removeTemporary(const std::string& temporary);

// Removes what processes that have ended left in the middle of making a new
// game, an archived copy or a branch beside the game file `path`: the
// temporary files of `path` and of its archived copies, with their journals,
// whose process is gone and which belong to this user. Returns how many
// files went. Nothing that a running process may still be writing is
// touched, and a file that cannot be removed is left as it is.
int removeLeftTemporaries(const std::string& path);

// Moves the finished `temporary` to `path` unless something is there
// already; false when something is. Throws store::StoreError naming `path`
// when the move itself fails.
bool publishNewFile(const std::string& temporary, const std::string& path);

// Makes the names in `folder` durable (best effort: some file systems cannot).
void syncFolder(const std::string& folder);

// The local time now as "20260309-141502".
std::string localStamp();

}  // namespace tessaro::model
