// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/newfile.h"

#include <fcntl.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill is POSIX, not <csignal>'s
#include <stdio.h>   // NOLINT(modernize-deprecated-headers): renameat2 is glibc's, not <cstdio>'s
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "store/asciitext.h"
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

constexpr std::string_view kTemporaryMark = ".new-";

std::string temporaryFor(const std::string& path) {
    return path + std::string(kTemporaryMark) + std::to_string(::getpid());
}

namespace {

// The process that made a temporary, from its name "<file>.new-<pid>" with
// one of the engine's journal suffixes or none, and the name of the file it
// was made for; none for any other name.
std::optional<std::pair<pid_t, std::string>> temporaryOwner(std::string_view name) {
    for (const std::string_view suffix : {"-journal", "-wal", "-shm", ""}) {
        if (name.size() < suffix.size() || name.substr(name.size() - suffix.size()) != suffix)
            continue;
        const std::string_view rest = name.substr(0, name.size() - suffix.size());
        const auto mark = rest.rfind(kTemporaryMark);
        if (mark == std::string_view::npos || mark == 0) continue;
        const std::string_view digits = rest.substr(mark + kTemporaryMark.size());
        if (digits.empty() || digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), store::isAsciiDigit))
            continue;
        pid_t pid = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (pid <= 0) continue;
        return std::make_pair(pid, std::string(rest.substr(0, mark)));
    }
    return std::nullopt;
}

bool processIsGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

int removeLeftTemporaries(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path game(path);
    const std::string gameName = game.filename().string();
    // Archived copies are named "<stem>-YYYYMMDD-HHMMSS[-N].mdb".
    const std::string copyPrefix = game.stem().string() + "-";
    const fs::path folder = game.has_parent_path() ? game.parent_path() : fs::path(".");
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto owner = temporaryOwner(name);
        if (!owner) continue;
        const std::string& madeFor = owner->second;
        if (madeFor != gameName && madeFor.rfind(copyPrefix, 0) != 0) continue;
        // Only plain files of this user, and only once their process has
        // ended: a process still alive may be writing them now.
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || !processIsGone(owner->first))
            continue;
        if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
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
