// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/archive.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/newfile.h"
#include "model/runstopped.h"
#include "store/asciitext.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/serverplace.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

namespace fs = std::filesystem;

constexpr int kMostCopiesASecond = 99;

std::string copyName(const fs::path& game, const std::string& stamp, int n) {
    std::string name = game.stem().string() + "-" + stamp;
    if (n > 1) name += "-" + std::to_string(n);
    return (game.parent_path() / (name + ".mdb")).string();
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), store::isAsciiDigit);
}

// Reads "<stem>-YYYYMMDD-HHMMSS[-N].mdb" into its stamp and number.
bool readCopyName(const std::string& stem, const std::string& name, std::string& stamp, int& n) {
    const std::string prefix = stem + "-";
    const std::string ext = ".mdb";
    if (name.size() < prefix.size() + 15 + ext.size() || name.compare(0, prefix.size(), prefix) ||
        name.compare(name.size() - ext.size(), ext.size(), ext))
        return false;
    const std::string_view rest =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - ext.size());
    if (rest.size() < 15 || !allDigits(rest.substr(0, 8)) || rest[8] != '-' ||
        !allDigits(rest.substr(9, 6)))
        return false;
    stamp = std::string(rest.substr(0, 15));
    n = 1;
    if (rest.size() == 15) return true;
    if (rest[15] != '-' || !allDigits(rest.substr(16)) || rest.size() > 19) return false;
    n = std::stoi(std::string(rest.substr(16)));
    return n > 1;
}

std::string shownStamp(const std::string& s) {
    return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " + s.substr(9, 2) +
           ":" + s.substr(11, 2) + ":" + s.substr(13, 2);
}

[[noreturn]] void copyFailed(const std::string& why) {
    throw RunStopped({"The game could not be kept in its archive before the re-initialisation (" +
                          why + "), so the re-initialisation was stopped and nothing was deleted.",
                      "Initialization For SD Run", Icon::Critical});
}

}  // namespace

namespace {

// On a server the archive is the team's own archive tables, written in the
// transaction that replaces the game.
std::string archiveOnServer(store::Connection& db) {
    auto next = db.openRecordset("SELECT coalesce(max(ARCHIVE), 0) + 1 AS N FROM ARCHIVES");
    // A copy: the row it is read from may not outlive the next statement.
    const store::Value n = next["n"];  // NOLINT(performance-unnecessary-copy-initialization)
    db.execute("INSERT INTO ARCHIVES(ARCHIVE) VALUES(?1)", {n});
    for (const char* table : {"PLIO", "PLED", "PLDI", "TAKEBACK"})
        db.execute(std::string("INSERT INTO ") + table +
                       "_ARCHIVE SELECT CAST(?1 AS integer), * FROM " + table,
                   {n});
    return "archive " + n.toText() + " of " + db.path();
}

}  // namespace

std::optional<std::string> archiveGame(store::Connection& db) {
    if (db.openRecordset("Select * from PLIO").recordCount() <= 2) return std::nullopt;
    if (db.isServer()) return archiveOnServer(db);
    const fs::path game(db.path());
    const std::string stamp = localStamp();
    // Built under a temporary name and then given the first free name, so
    // that an archived copy is never half written nor written over another.
    const std::string temporary = temporaryFor(copyName(game, stamp, 1));
    removeTemporary(temporary);
    try {
        db.backupTo(temporary);
        for (int n = 1; n <= kMostCopiesASecond; ++n) {
            const std::string name = copyName(game, stamp, n);
            if (publishNewFile(temporary, name)) {
                removeTemporary(temporary);
                syncFolder(game.parent_path().string());
                return name;
            }
        }
        removeTemporary(temporary);
        copyFailed("every name for a copy of this second is taken");
    } catch (const store::StoreError& e) {
        removeTemporary(temporary);
        // Named by the name the copy would have had, not the temporary one.
        if (e.path() == temporary)
            copyFailed(store::StoreError(e.cause(), copyName(game, stamp, 1), e.detail()).what());
        copyFailed(e.what());
    }
}

std::vector<ArchivedGame> listArchive(const std::string& gamePath) {
    const fs::path game(gamePath);
    fs::path folder = game.parent_path();
    if (folder.empty()) folder = ".";
    const std::string stem = game.stem().string();
    struct Found {
        std::string stamp;
        int n;
        ArchivedGame game;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string stamp;
        int n = 0;
        const std::string name = it->path().filename().string();
        if (!readCopyName(stem, name, stamp, n)) continue;
        ArchivedGame a;
        a.path = (game.parent_path() / name).string();
        a.archivedAt = shownStamp(stamp);
        // A copy may since have been damaged or replaced: it is named with
        // what is wrong with it, and the others are listed all the same.
        try {
            auto db = store::Connection::openFile(a.path, store::Access::Read);
            store::Snapshot snapshot(db);
            auto plio = db.openRecordset("Select * from PLIO");
            if (plio.recordCount() > 0) {
                plio.moveLast();
                a.quartersPlayed = plio["PNPLPD"].planNumber().value_or(0);
            }
            auto pldi = db.openRecordset("Select * from PLDI");
            if (pldi.recordCount() > 0) {
                pldi.moveLast();
                a.runningTotal = pldi["ZTVG"].toText();
            }
        } catch (const std::exception& e) {
            a.problem = e.what();
        }
        found.push_back({stamp, n, std::move(a)});
    }
    std::sort(found.begin(), found.end(), [](const Found& x, const Found& y) {
        return x.stamp != y.stamp ? x.stamp > y.stamp : x.n > y.n;
    });
    std::vector<ArchivedGame> out;
    out.reserve(found.size());
    for (auto& f : found) out.push_back(std::move(f.game));
    return out;
}

std::vector<ArchivedGame> listGames(const std::string& connectionString) {
    if (!store::isServerConnectionString(connectionString))
        return listArchive(store::pathFromConnectionString(connectionString));
    store::Connection db(connectionString, store::Access::Read);
    store::Snapshot snapshot(db);
    auto rs = db.openRecordset(
        "SELECT ARCHIVE, to_char(ARCHIVED, 'YYYY-MM-DD HH24:MI:SS') AS AT, "
        "(SELECT max(PNPLPD) FROM PLIO_ARCHIVE p WHERE p.ARCHIVE = a.ARCHIVE) AS Q, "
        "(SELECT ZTVG FROM PLDI_ARCHIVE d WHERE d.ARCHIVE = a.ARCHIVE ORDER BY ZNPLPD DESC "
        "LIMIT 1) AS T FROM ARCHIVES a ORDER BY ARCHIVE DESC");
    std::vector<ArchivedGame> games;
    for (; !rs.eof(); rs.moveNext())
        games.push_back({"archive " + rs["archive"].toText(), rs["at"].toText(),
                         rs["q"].planNumber().value_or(0), rs["t"].toText(), ""});
    return games;
}

std::string wayBackText(const std::string& gamePath) {
    for (const auto& copy : listArchive(gamePath)) {
        if (!copy.problem.empty()) continue;
        return " Its archive keeps the game as it stood before each re-initialisation: the "
               "newest copy, " +
               copy.path + " (" + copy.archivedAt + ", " + std::to_string(copy.quartersPlayed) +
               " quarters played), plays on from there with --database, or copied into this file's "
               "place; "
               "'tessaro-cli games' lists every copy.";
    }
    return " No copy of the game is kept in its archive.";
}

}  // namespace tessaro::model
