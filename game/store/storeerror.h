// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The one error the game store raises: it names the database file and says
// in plain words what is wrong with it, so that it can be shown as it is.
#pragma once

#include <stdexcept>
#include <string>

namespace tessaro::store {

enum class StoreCause {
    Missing,          // no file at the path
    CannotOpen,       // the file or its folder cannot be opened
    NotAFile,         // a folder, named pipe, device, socket or symbolic link loop
    TooLarge,         // far larger than any game grows, or a table with more rows
    NotADatabase,     // not an SQLite file
    Damaged,          // an SQLite file whose pages do not hold together
    MissingTable,     // a game table or one of its columns is missing
    Foreign,          // holds triggers, views or tables that the game never makes
    ReadOnly,         // the file or the medium refuses writing
    FolderReadOnly,   // the file's folder refuses the new files writing needs
    JournalInTheWay,  // something that is no journal lies where the journal goes
    Gone,             // the file was deleted, moved or replaced while in use
    Locked,           // another program holds the file
    DiskFull,
    TooMuchWork,   // a statement ran past the bound on the work it may do
    Failed,        // any other failure of the engine
    BadStatement,  // a statement text the store does not accept
    // A game on a server:
    BadAddress,         // libpq cannot read the server's address
    PasswordInAddress,  // the address carries a password, which is refused
    Unreachable,        // the server does not answer
    LoginRefused,       // wrong password, or no such role
    PasswordNeeded,     // the server asks for a password and none was found
    NotAClass,          // no class in the database, or no game for the team
    ServerGone,         // the connection was lost during the command
    Denied,             // the role has no right to what was asked
};

class StoreError : public std::runtime_error {
public:
    StoreError(StoreCause cause, std::string path, const std::string& detail);

    StoreCause cause() const { return m_cause; }
    const std::string& path() const { return m_path; }
    const std::string& detail() const { return m_detail; }

private:
    StoreCause m_cause;
    std::string m_path;
    std::string m_detail;
};

// The password advice every message about a server's password gives.
inline constexpr const char* kPasswordPlaces =
    "put it in ~/.pgpass (one line host:port:database:role:password, the file of mode 0600), "
    "in the file PGPASSFILE names, or in a service file";

// Maps an SQLite result code to the cause the players are told.
StoreCause causeOfSqliteCode(int code);

// Why no new file can be made in the folder of `path` by this user (the
// folder and the system's words), or an empty text when one can.
std::string folderRefusal(const std::string& path);

}  // namespace tessaro::store
