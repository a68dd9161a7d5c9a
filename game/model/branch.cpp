// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/branch.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "model/module1.h"
#include "model/newfile.h"
#include "model/runstopped.h"
#include "model/simulation.h"
#include "model/takeback.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

[[noreturn]] void refuse(const std::string& text) {
    throw RunStopped({text, kBranchTitle, Icon::Critical});
}

// Why a new file cannot be made at `path`, in plain words where they can be
// found.
std::string folderProblem(const std::string& path, const std::string& engineWords) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code ec;
    const auto status = std::filesystem::status(folder, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return "the folder " + folder.string() + " does not exist";
    if (!ec && status.type() != std::filesystem::file_type::directory)
        return folder.string() + " is not a folder";
    if (auto why = store::folderRefusal(path); !why.empty()) return why;
    return engineWords;
}

// What row n holds in the branch beyond the copied rows.
struct Standing {
    std::array<store::Value, 4> decisions;  // as they stood before the run from row n
    bool traceInFile = false;               // the trace now in PLED is row n's
    std::int64_t trace = 0;                 // otherwise its digest, to write it again
};

Standing standingAt(store::Connection& game, int n, int last) {
    Standing s;
    if (n == last) {
        // The game stands there now: its decisions and trace are as they are.
        auto row = game.openRecordset("SELECT PORD, PHRD, PRORD, PRHRD FROM PLIO WHERE PNPLPD = ?1",
                                      {store::Value::integer(n)});
        for (std::size_t i = 0; i < 4 && !row.eof(); ++i) s.decisions[i] = row[row.columns()[i]];
        s.traceInFile = true;
        return s;
    }
    // The run from row n kept both.
    std::optional<store::Recordset> entry;
    if (game.hasTable(store::takeBackTable().name))
        entry = game.openRecordset("SELECT * FROM TAKEBACK WHERE TNPLPD = ?1",
                                   {store::Value::integer(n + 1)});
    if (!entry || entry->eof())
        refuse("Plan-quarter " + std::to_string(n + 1) +
               " was played before the game kept what it needs to go back to plan-quarter " +
               std::to_string(n) + ", so no branch can start there; nothing was written.");
    for (std::size_t i = 0; i < 4; ++i) s.decisions[i] = (*entry)[store::takeBackColumns()[i + 1]];
    s.trace = (*entry)["TTRACE"].integerValue();
    return s;
}

void writeBranch(store::Connection& game, store::Connection& out, int n, const Standing& s) {
    const std::vector<store::Value> upTo{store::Value::integer(n)};
    store::Transaction transaction(out);
    out.copyRows(game, "SELECT * FROM PLIO WHERE PNPLPD <= ?1 ORDER BY PNPLPD", upTo, "PLIO");
    out.copyRows(game, "SELECT * FROM PLDI WHERE ZNPLPD <= ?1 ORDER BY ZNPLPD", upTo, "PLDI");
    if (game.hasTable(store::takeBackTable().name))
        out.copyRows(game, "SELECT * FROM TAKEBACK WHERE TNPLPD <= ?1 ORDER BY TNPLPD", upTo,
                     "TAKEBACK");
    out.execute("UPDATE PLIO SET PORD = ?1, PHRD = ?2, PRORD = ?3, PRHRD = ?4 WHERE PNPLPD = ?5",
                {s.decisions[0], s.decisions[1], s.decisions[2], s.decisions[3], upTo[0]});
    if (s.traceInFile) {
        out.copyRows(game, "SELECT * FROM PLED ORDER BY rowid", {}, "PLED");
    } else {
        // The quarter that wrote row n, run again from row n - 1.
        auto from = out.openRecordset("SELECT * FROM PLIO WHERE PNPLPD = ?1",
                                      {store::Value::integer(n - 1)});
        if (from.eof())
            refuse("The game has no row " + std::to_string(n - 1) + "; nothing was written.");
        const StartingRow start = readStartingRow(from);
        ModelTables tables;
        fillTables(tables);
        simulateTrace(start, tables, [&out](const std::string& text) { out.execute(text); });
        if (traceDigest(out) != s.trace)
            refuse("The trace of plan-quarter " + std::to_string(n) +
                   " cannot be written again exactly as the game wrote it (the game database was "
                   "changed outside the game, or by another version of it); nothing was written.");
    }
    transaction.commit();
}

}  // namespace

void branchGame(const std::string& connectionString, int n, const std::string& outPath) {
    struct stat st {};
    if (::lstat(outPath.c_str(), &st) == 0)
        refuse("There is already a file at " + outPath + "; nothing was written.");

    store::Connection game(connectionString, store::Access::Read);
    // Every row copied comes from one state of the game.
    store::Snapshot snapshot(game);
    auto plio = game.openRecordset("Select * from PLIO");
    if (plio.recordCount() == 0)
        refuse("The game database holds no plan-quarters; nothing was written.");
    checkPlanNumbering(plio);
    const int last = plio.recordCount() - 1;
    if (n < 1 || n > last)
        refuse("A branch starts at a plan-quarter of this game, from 1 to " + std::to_string(last) +
               "; " + std::to_string(n) + " is none of them. Nothing was written.");
    const Standing standing = standingAt(game, n, last);

    const std::string temporary = temporaryFor(outPath);
    removeTemporary(temporary);
    // What branches killed on the way to this name left behind.
    removeLeftTemporaries(outPath);
    try {
        {
            auto out = store::Connection::createFile(temporary);
            store::createGameTables(out);
            writeBranch(game, out, n, standing);
        }
        if (!publishNewFile(temporary, outPath))
            refuse("There is already a file at " + outPath + "; nothing was written.");
        std::filesystem::path folder = std::filesystem::path(outPath).parent_path();
        syncFolder(folder.string());
    } catch (const store::StoreError& e) {
        removeTemporary(temporary);
        // A failure of the new file, named as the players named it.
        if (e.path() == temporary || e.path() == outPath)
            refuse("The new game file " + outPath + " could not be written (" +
                   folderProblem(outPath, e.detail()) + "); nothing was written.");
        throw;
    } catch (...) {
        removeTemporary(temporary);
        throw;
    }
}

}  // namespace tessaro::model
