// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game file as the system knows it, found and checked before the engine
// opens anything: a regular file (symbolic links followed) of a size a game
// can have, with nothing but journals where the engine keeps its journals,
// and afterwards still the file at its name.
#pragma once

#include <sys/types.h>

#include <string>

namespace tessaro::store {

struct FileIdentity {
    std::string resolved;  // no symbolic link left in it
    dev_t device = 0;
    ino_t inode = 0;
};

// The regular file `path` leads to, found without opening anything: opening
// a named pipe for reading would wait for a writer forever, and a device or
// a folder is no game. Throws StoreError naming `path` otherwise.
FileIdentity regularFileAt(const std::string& path);

// Throws StoreError (JournalInTheWay) when anything but a plain file lies
// where the engine keeps its journal beside `resolved`: it would fail with
// an I/O error there, or wait forever on a named pipe. `shown` is the name
// the players gave.
void checkJournalPlaces(const std::string& resolved, const std::string& shown);

// Whether the file carries no write permission bit at all.
bool fileHasNoWriteBit(const std::string& path);

// Throws StoreError (Gone) when `path` no longer leads to the file of this
// device and inode: it was deleted, moved, or replaced by another file.
void checkStillAt(const std::string& path, dev_t device, ino_t inode);

// The system's words for an errno value.
std::string systemMessage(int error);

}  // namespace tessaro::store
