// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/newfile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "store/storeerror.h"

namespace tessaro::model {
namespace {

std::string twoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

}  // namespace

bool somethingAt(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::string temporaryFor(const std::string& path) {
    return path + ".new-" + std::to_string(::getpid());
}

void removeTemporary(const std::string& temporary) {
    std::error_code ec;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::filesystem::remove(temporary + suffix, ec);
}

bool publishNewFile(const std::string& temporary, const std::string& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) return false;
    // File systems without the no-replace rename: a hard link fails as well
    // when the name is taken.
    if (errno == EINVAL || errno == ENOSYS) {
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            return true;
        }
        if (errno == EEXIST) return false;
        if (errno == EPERM || errno == EOPNOTSUPP) {
            if (somethingAt(path)) return false;
            std::error_code ec;
            std::filesystem::rename(temporary, path, ec);
            if (!ec) return true;
            throw store::StoreError(store::StoreCause::CannotOpen, path, ec.message());
        }
    }
    throw store::StoreError(store::StoreCause::CannotOpen, path,
                            std::generic_category().message(errno));
}

void syncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string localStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return std::to_string(t.tm_year + 1900) + twoDigits(t.tm_mon + 1) + twoDigits(t.tm_mday) + "-" +
           twoDigits(t.tm_hour) + twoDigits(t.tm_min) + twoDigits(t.tm_sec);
}

}  // namespace tessaro::model
