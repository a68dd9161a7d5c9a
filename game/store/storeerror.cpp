// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "storeerror.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tessaro::store {
namespace {

std::string phrase(StoreCause cause) {
    switch (cause) {
        case StoreCause::Missing:
            return "does not exist";
        case StoreCause::CannotOpen:
            return "cannot be opened";
        case StoreCause::NotAFile:
            return "is not a regular file; nothing was changed";
        case StoreCause::TooLarge:
            return "is far larger than any game; nothing was changed";
        case StoreCause::NotADatabase:
            return "is not a game database or is damaged";
        case StoreCause::Damaged:
            return "is damaged; it was left untouched so that it can be rescued";
        case StoreCause::MissingTable:
            return "is missing part of the game tables";
        case StoreCause::Foreign:
            return "is not laid out as a game file; nothing was changed";
        case StoreCause::ReadOnly:
            return "is read-only and cannot be written";
        case StoreCause::FolderReadOnly:
            return "cannot be written, because no new file may be made in its folder (the game "
                   "keeps a journal beside the file while it writes); nothing was changed";
        case StoreCause::JournalInTheWay:
            return "cannot be used, because something that is no journal lies where its "
                   "journal goes; nothing was changed";
        case StoreCause::Gone:
            return "went away while the game was using it (it was deleted, moved or replaced "
                   "by another file), so what this command wrote is not in the file now at that "
                   "place";
        case StoreCause::Locked:
            return "is being used by another player; nothing was changed";
        case StoreCause::DiskFull:
            return "cannot be written because the disk is full";
        case StoreCause::TooMuchWork:
            return "asked for more work than any game needs and was stopped";
        case StoreCause::Failed:
            return "could not be read or written";
        case StoreCause::BadStatement:
            return "refused a statement";
        case StoreCause::BadAddress:
            return "cannot be reached, because the server's address cannot be read; nothing "
                   "was changed";
        case StoreCause::PasswordInAddress:
            return std::string(
                       "is named with a password in the server's address, which is "
                       "refused: anyone who sees the command line or the environment "
                       "would read it; ") +
                   kPasswordPlaces + ", and leave it out of the address; nothing was changed";
        case StoreCause::Unreachable:
            return "cannot be reached: the server does not answer; nothing was changed";
        case StoreCause::LoginRefused:
            return "refused the login: the password is wrong, or the server knows no such "
                   "team; nothing was changed";
        case StoreCause::PasswordNeeded:
            return std::string("needs a password, and none was found: ") + kPasswordPlaces +
                   "; nothing was changed";
        case StoreCause::NotAClass:
            return "is not there: the database is not a class of this game, or holds no game "
                   "for this team; nothing was changed";
        case StoreCause::ServerGone:
            return "lost its server during the command (the server stopped or restarted, or "
                   "the network failed): what the command was writing is either wholly in the "
                   "game or wholly out of it; run it again once the server is back";
        case StoreCause::Denied:
            return "refused the command: the role has no right to do that; nothing was changed";
    }
    return "failed";
}

// The engine's own words add nothing to "being used by another player", and
// the players are meant to see that message exactly.
bool showsDetail(StoreCause cause) {
    return cause != StoreCause::Locked;
}

}  // namespace

StoreError::StoreError(StoreCause cause, std::string path, const std::string& detail)
    : std::runtime_error(
          "The game database " + path + " " + phrase(cause) +
          (detail.empty() || !showsDetail(cause) ? std::string() : " (" + detail + ")") + "."),
      m_cause(cause),
      m_path(std::move(path)),
      m_detail(detail) {}

StoreCause causeOfSqliteCode(int code) {
    switch (code & 0xff) {
        case SQLITE_NOTADB:
            return StoreCause::NotADatabase;
        case SQLITE_CORRUPT:
            return StoreCause::Damaged;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return StoreCause::Locked;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return StoreCause::ReadOnly;
        case SQLITE_CANTOPEN:
            return StoreCause::CannotOpen;
        case SQLITE_FULL:
            return StoreCause::DiskFull;
        case SQLITE_INTERRUPT:
            return StoreCause::TooMuchWork;
        default:
            return StoreCause::Failed;
    }
}

std::string folderRefusal(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return "";
    return "the folder " + folder.string() + ": " + std::generic_category().message(errno);
}

}  // namespace tessaro::store
