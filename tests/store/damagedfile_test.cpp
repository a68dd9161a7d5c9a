// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Files that are no game, or a game whose pages were damaged, met by the
// commands that write: each is refused before anything is written, says so,
// and is left byte for byte as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "cli.h"
#include "cliprocess.h"
#include "model/archive.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What the engine itself says of a file: "ok" for one that holds together.
std::string quickCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr) == SQLITE_OK) {
            const int rc = sqlite3_step(stmt);
            verdict = rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                                       : sqlite3_errmsg(db);
        } else {
            verdict = sqlite3_errmsg(db);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return verdict;
}

const std::vector<std::vector<std::string>> kWritingCommands = {
    {"run", "3000", "10", "WOTA"}, {"reinit", "PELIX"}, {"undo", "PELIX"}};

CliResult onFile(const std::string& path, const std::vector<std::string>& command) {
    std::vector<std::string> args{"--database", path};
    args.insert(args.end(), command.begin(), command.end());
    return cli(args);
}

TEST(TinyFiles, aFileOfAFewBytesIsRefusedAndLeftByteForByte) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    std::mt19937 random(7);
    for (const std::size_t size : {0u, 1u, 50u, 99u}) {
        for (const bool zeros : {true, false}) {
            std::string bytes(size, '\0');
            if (!zeros)
                for (char& c : bytes) c = static_cast<char>(random());
            for (const auto& command : kWritingCommands) {
                writeBytes(path, bytes);
                const auto r = onFile(path, command);
                const std::string what = std::to_string(size) + " bytes, " + command[0];
                EXPECT_EQ(r.status, cli::kDatabaseFailed) << what << ": " << r.out;
                EXPECT_NE(r.out.find("The game database " + path + " is not a game database"),
                          std::string::npos)
                    << what << ": " << r.out;
                EXPECT_EQ(bytesOf(path), bytes) << what;
                EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << what;
            }
        }
    }
}

// Random bytes over random pages of a real game: whatever the engine's own
// check finds damaged is refused by every command that writes, named as
// damaged with the way back through the archive, and left as it was; a
// file the check finds whole plays on.
TEST(DamagedGame, randomBytesOverItsPagesAreFoundBeforeAnythingIsWritten) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    const auto cs = store::connectionStringForFile(path);
    newGame(dir);
    fs::rename(store::pathFromConnectionString(gameIn(dir)), path);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    // An archived copy beside it, as a re-initialisation leaves one.
    ASSERT_EQ(onFile(path, {"reinit", "PELIX"}).status, cli::kDone);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    ASSERT_EQ(model::listArchive(path).size(), 1u);
    const std::string good = bytesOf(path);
    const std::size_t pageSize = 4096;
    ASSERT_GE(good.size(), 3 * pageSize);

    std::mt19937 random(20260309);
    int refused = 0;
    int played = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::string bytes = good;
        // A run of bytes somewhere past the file's header, inside one page.
        const std::size_t page = 1 + random() % (bytes.size() / pageSize - 1);
        const std::size_t length = 1 + random() % 256;
        const std::size_t at = page * pageSize + random() % (pageSize - length);
        for (std::size_t i = 0; i < length; ++i) bytes[at + i] = static_cast<char>(random());
        writeBytes(path, bytes);
        const bool whole = quickCheck(path) == "ok";
        for (const auto& command : kWritingCommands) {
            writeBytes(path, bytes);
            const auto r = onFile(path, command);
            if (whole) continue;  // a game that holds together is played
            const std::string what = "page " + std::to_string(page) + ", " + command[0];
            EXPECT_EQ(r.status, cli::kDatabaseFailed) << what << ": " << r.out;
            EXPECT_EQ(bytesOf(path), bytes) << what;
            EXPECT_NE(r.out.find("The game database " + path), std::string::npos) << r.out;
            // The way back: the newest copy kept, and where all are listed.
            EXPECT_NE(r.out.find(dir.file("team-20")), std::string::npos) << what << ": " << r.out;
            EXPECT_NE(r.out.find("'tessaro-cli games' lists every copy"), std::string::npos)
                << r.out;
        }
        refused += whole ? 0 : 1;
        played += whole ? 1 : 0;
    }
    // Damage of both kinds was met: what breaks the file's structure, and
    // numbers changed inside a row, which only the players can judge.
    EXPECT_GT(refused, 3) << played << " played";
}

}  // namespace
}  // namespace tessaro::testing
