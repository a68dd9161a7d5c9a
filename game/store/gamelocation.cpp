// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "gamelocation.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "asciitext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

namespace fs = std::filesystem;
constexpr char kSeparator = fs::path::preferred_separator;

#ifndef TESSARO_INSTALL_BINDIR
#define TESSARO_INSTALL_BINDIR ""
#endif

// Folders that hold installed programs for every user. A game started from
// there keeps its file in each player's own data folder, even when the
// player (root, say) could write beside the program: a game file does not
// belong among the system's programs, and a package's removal must leave
// nothing behind.
bool isSystemFolder(const std::string& dir) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(dir, ec);
    const std::string d = ec ? dir : canonical.string();
    for (const char* system : {TESSARO_INSTALL_BINDIR, "/usr/bin", "/usr/local/bin", "/usr/games",
                               "/usr/local/games", "/bin", "/usr/sbin", "/sbin"}) {
        if (*system == '\0') continue;
        const fs::path s = fs::weakly_canonical(system, ec);
        if (d == (ec ? std::string(system) : s.string())) return true;
    }
    return false;
}

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && *pw->pw_dir == '/')
        return pw->pw_dir;
    return {};
}

std::string userName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid); pw && pw->pw_name) return pw->pw_name;
    return "user " + std::to_string(uid);
}

}  // namespace

std::string connectionStringForDirectory(std::string_view directory) {
    std::string cs(kConnectionPrefix);
    cs += directory;
    if (directory.empty() || directory.back() != kSeparator) cs += kSeparator;
    cs += kDatabaseFileName;
    return cs;
}

std::string connectionStringForFile(std::string_view path) {
    return std::string(kConnectionPrefix) + std::string(path);
}

std::string pathFromConnectionString(std::string_view connectionString) {
    // The game's own text: the path is the rest, exactly as it was given.
    if (connectionString.substr(0, kConnectionPrefix.size()) == kConnectionPrefix) {
        std::string path(connectionString.substr(kConnectionPrefix.size()));
        if (path.empty()) throw std::invalid_argument("connection string names no file");
        return path;
    }
    // Any other text: "key = value" pairs separated by ';'; the path runs to
    // the next ';' or the end, and may itself hold blanks.
    const std::string low = lowerAscii(connectionString);
    const auto key = low.find("data source");
    if (key == std::string::npos)
        throw std::invalid_argument("connection string has no Data Source");
    auto pos = low.find('=', key);
    if (pos == std::string::npos)
        throw std::invalid_argument("connection string has no Data Source");
    ++pos;
    while (pos < connectionString.size() && connectionString[pos] == ' ') ++pos;
    auto end = connectionString.find(';', pos);
    if (end == std::string_view::npos) end = connectionString.size();
    std::string path(connectionString.substr(pos, end - pos));
    while (!path.empty() && path.back() == ' ') path.pop_back();
    if (path.empty()) throw std::invalid_argument("connection string names no file");
    return path;
}

std::string programDirectory() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path().string();
    return exe.parent_path().string();
}

std::string userDataDirectory() {
    // An XDG_DATA_HOME that is not an absolute path is to be ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return (fs::path(xdg) / "tessaro").string();
    const std::string home = homeDirectory();
    if (home.empty()) return {};
    return (fs::path(home) / ".local" / "share" / "tessaro").string();
}

GameLocation defaultGameLocation(const std::string& programDir) {
    GameLocation where;
    const std::string besideProgram = (fs::path(programDir) / kDatabaseFileName).string();
    std::error_code ec;
    const bool fileThere = fs::exists(besideProgram, ec);
    if (isSystemFolder(programDir)) {
        where.reason = "the program is installed in " + programDir;
    } else if (::access(programDir.c_str(), W_OK) != 0) {
        where.reason = "you may not write in " + programDir;
    } else if (fileThere && ::access(besideProgram.c_str(), W_OK) != 0) {
        where.reason = "you may not write to " + besideProgram;
    } else {
        where.portable = true;
        where.directory = programDir;
        where.connectionString = connectionStringForDirectory(programDir);
        return where;
    }

    where.directory = userDataDirectory();
    if (where.directory.empty())
        throw StoreError(StoreCause::CannotOpen, std::string(kDatabaseFileName),
                         "there is no home folder to keep the game in (HOME is not set); "
                         "name a game file with --database");
    // The folder is the player's alone, as data folders are.
    fs::create_directories(fs::path(where.directory).parent_path(), ec);
    if (::mkdir(where.directory.c_str(), 0700) != 0 && errno != EEXIST)
        throw StoreError(
            StoreCause::CannotOpen, where.directory,
            std::string("the game's data folder could not be made: ") + std::strerror(errno));
    where.connectionString = connectionStringForDirectory(where.directory);
    return where;
}

void checkOwnGameFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;
    if (st.st_uid == ::geteuid()) return;
    throw StoreError(StoreCause::CannotOpen, path,
                     "the file belongs to " + userName(st.st_uid) +
                         ", so it is not played as your game; each player keeps a game of "
                         "their own (name a shared game file with --database to play it)");
}

}  // namespace tessaro::store

namespace tessaro::store {

GameLocation gameLocation(const std::string* databasePath, const std::string& programDir) {
    if (databasePath) {
        GameLocation named;
        named.named = true;
        named.connectionString = connectionStringForFile(*databasePath);
        named.directory = fs::path(*databasePath).parent_path().string();
        return named;
    }
    GameLocation where = defaultGameLocation(programDir);
    checkOwnGameFile(pathFromConnectionString(where.connectionString));
    return where;
}

}  // namespace tessaro::store
