// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/gamefile.h"

#include <unistd.h>

#include <filesystem>

#include "model/runcommand.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

void removeTemporary(const std::string& temporary) {
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    std::filesystem::remove(temporary + "-journal", ec);
    std::filesystem::remove(temporary + "-wal", ec);
    std::filesystem::remove(temporary + "-shm", ec);
}

}  // namespace

bool ensureGameDatabase(const std::string& connectionString) {
    namespace fs = std::filesystem;
    const std::string path = store::pathFromConnectionString(connectionString);
    std::error_code ec;
    if (fs::exists(path, ec)) return false;

    const std::string temporary = path + ".new-" + std::to_string(::getpid());
    fs::remove(temporary, ec);
    try {
        {
            auto db = store::Connection::createFile(temporary);
            store::Transaction transaction(db);
            store::createGameTables(db);
            db.execute(store::initialFirmInsertText());
            reinitialiseGame(db);
            transaction.commit();
        }
        fs::rename(temporary, path, ec);
        if (ec) throw store::StoreError(store::StoreCause::CannotOpen, path, ec.message());
    } catch (const store::StoreError& e) {
        removeTemporary(temporary);
        // Name the file the players asked for, not the temporary one.
        throw store::StoreError(e.cause() == store::StoreCause::Missing
                                    ? store::StoreCause::CannotOpen
                                    : e.cause(),
                                path, "a new game could not be created: " + e.detail());
    } catch (...) {
        removeTemporary(temporary);
        throw;
    }
    return true;
}

}  // namespace tessaro::model
