// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "fileidentity.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "connection.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

std::string kindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "not a file";
}

}  // namespace

std::string systemMessage(int error) {
    return std::generic_category().message(error);
}

bool fileHasNoWriteBit(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

void checkJournalPlaces(const std::string& resolved, const std::string& shown) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        struct stat st {};
        if (::lstat((resolved + suffix).c_str(), &st) != 0 || S_ISREG(st.st_mode)) continue;
        const std::string name = std::filesystem::path(shown + suffix).filename().string();
        throw StoreError(StoreCause::JournalInTheWay, shown,
                         "beside it, " + name + " is " + kindName(st.st_mode));
    }
}

FileIdentity regularFileAt(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw StoreError(StoreCause::Missing, path, "");
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(error));
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        const int error = errno;
        if (error == ELOOP)
            throw StoreError(StoreCause::NotAFile, path,
                             "it is a symbolic link that leads round in a loop");
        if (error == ENOENT)
            throw StoreError(StoreCause::Missing, path,
                             "it is a symbolic link to a file that is not there");
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(error));
    }
    FileIdentity identity{resolved};
    std::free(resolved);
    struct stat st {};
    if (::stat(identity.resolved.c_str(), &st) != 0)
        throw StoreError(StoreCause::CannotOpen, path, systemMessage(errno));
    if (!S_ISREG(st.st_mode))
        throw StoreError(StoreCause::NotAFile, path, "it is " + kindName(st.st_mode));
    if (st.st_size > kMaxFileBytes)
        throw StoreError(StoreCause::TooLarge, path,
                         "it holds " + std::to_string(st.st_size / (1024L * 1024L)) + " MiB");
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    return identity;
}

void checkStillAt(const std::string& path, dev_t device, ino_t inode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw StoreError(StoreCause::Gone, path, "no file is there now");
        return;  // a name that cannot be looked at now says nothing of the file
    }
    if (st.st_dev != device || st.st_ino != inode)
        throw StoreError(StoreCause::Gone, path, "another file is there now");
}

}  // namespace tessaro::store
