// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "storeerror.h"

#include <sqlite3.h>

namespace tessaro::store {
namespace {

std::string phrase(StoreCause cause) {
    switch (cause) {
        case StoreCause::Missing: return "does not exist";
        case StoreCause::CannotOpen: return "cannot be opened";
        case StoreCause::NotADatabase: return "is not a game database or is damaged";
        case StoreCause::MissingTable: return "is missing part of the game tables";
        case StoreCause::ReadOnly: return "is read-only and cannot be written";
        case StoreCause::Locked: return "is locked by another program";
        case StoreCause::DiskFull: return "cannot be written because the disk is full";
        case StoreCause::Failed: return "could not be read or written";
        case StoreCause::BadStatement: return "refused a statement";
    }
    return "failed";
}

}  // namespace

StoreError::StoreError(StoreCause cause, std::string path, const std::string& detail)
    : std::runtime_error("The game database " + path + " " + phrase(cause) +
                         (detail.empty() ? std::string() : " (" + detail + ")") + "."),
      m_cause(cause),
      m_path(std::move(path)),
      m_detail(detail) {}

StoreCause causeOfSqliteCode(int code) {
    switch (code & 0xff) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: return StoreCause::NotADatabase;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return StoreCause::Locked;
        case SQLITE_READONLY:
        case SQLITE_PERM: return StoreCause::ReadOnly;
        case SQLITE_CANTOPEN: return StoreCause::CannotOpen;
        case SQLITE_FULL: return StoreCause::DiskFull;
        default: return StoreCause::Failed;
    }
}

}  // namespace tessaro::store
