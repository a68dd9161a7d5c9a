// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/gamefile.h"

#include <fcntl.h>
#include <stdio.h>  // NOLINT(modernize-deprecated-headers): renameat2 is glibc's, not <cstdio>'s
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

#include "model/newfile.h"
#include "model/runcommand.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/serverplace.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

// Holds the folder of the game while a new game is made in it, so that two
// players starting at once make one game between them and a journal is
// only ever set aside while no game file is there. Folders that cannot be
// locked are used without.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) {
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) return;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(store::busyTimeout());
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            if (std::chrono::steady_clock::now() >= deadline)
                throw store::StoreError(store::StoreCause::Locked, folder, "");
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

// A journal beside a game file that is not there was left by a file that was
// deleted or moved in the middle of a write. The engine would roll it into
// whatever file appears under the name next, so it is moved aside under a
// name that says what it is, and kept for whoever wants to rescue the old
// game.
void setAsideStaleJournals(const std::string& path) {
    for (const char* suffix : {"-journal", "-wal"}) {
        const std::string journal = path + suffix;
        if (!somethingAt(journal)) continue;
        const std::string stale = journal + ".stale-" + localStamp();
        std::string target = stale;
        for (int n = 2;; ++n) {
            if (::renameat2(AT_FDCWD, journal.c_str(), AT_FDCWD, target.c_str(),
                            RENAME_NOREPLACE) == 0)
                break;
            if (errno != EEXIST || n > 99)
                throw store::StoreError(store::StoreCause::CannotOpen, path,
                                        "a journal left beside it by an earlier game could not "
                                        "be moved aside: " +
                                            std::generic_category().message(errno));
            target = stale + "-" + std::to_string(n);
        }
    }
}

}  // namespace

bool ensureGameDatabase(const std::string& connectionString) {
    namespace fs = std::filesystem;
    // A game on a server is made by its teacher's 'class init'.
    if (store::isServerConnectionString(connectionString)) return false;
    const std::string path = store::pathFromConnectionString(connectionString);
    // A command killed while it made a new game, a copy or a branch left its
    // temporary files behind; the next command clears them away.
    removeLeftTemporaries(path);
    // Anything at the name, a folder, a pipe or a broken link included, is for
    // the connection to judge; only a name that is free gets a new game.
    if (somethingAt(path)) return false;

    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    const std::string temporary = temporaryFor(path);
    try {
        FolderLock lock(folder);
        if (somethingAt(path)) return false;
        removeTemporary(temporary);
        {
            auto db = store::Connection::createFile(temporary);
            store::Transaction transaction(db);
            store::createGameTables(db);
            db.execute(store::initialFirmInsertText());
            reinitialiseGame(db);
            transaction.commit();
        }
        setAsideStaleJournals(path);
        if (!publishNewFile(temporary, path)) {
            removeTemporary(temporary);
            return false;
        }
    } catch (const store::StoreError& e) {
        removeTemporary(temporary);
        // Name the file the players asked for, not the temporary one.
        throw store::StoreError(
            e.cause() == store::StoreCause::Missing ? store::StoreCause::CannotOpen : e.cause(),
            path, "a new game could not be created: " + e.detail());
    } catch (...) {
        removeTemporary(temporary);
        throw;
    }
    return true;
}

std::optional<std::string> gameFilePath(const std::string& connectionString) {
    if (store::isServerConnectionString(connectionString)) return std::nullopt;
    return store::pathFromConnectionString(connectionString);
}

bool gameIsOnServer(const std::string& connectionString) {
    return store::isServerConnectionString(connectionString);
}

}  // namespace tessaro::model
