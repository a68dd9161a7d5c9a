// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// One game, two engines: the same decisions give the same rows, value for
// value, in a file and on a server, and a game moves between the two row
// for row, both ways, its source unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/archive.h"
#include "model/classroom.h"
#include "model/gamefile.h"
#include "model/runcommand.h"
#include "model/takeback.h"
#include "servertest.h"
#include "store/gamelocation.h"

namespace tessaro::testing {
namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// 18 quarters of varied decisions, with a refused run, a quarter taken back
// and played again otherwise, on whichever engine the game lies.
void playTheSameGame(const std::string& cs) {
    for (int q = 0; q < 18; ++q) {
        const std::string production = std::to_string(2000 + (q * 379) % 3001);
        const std::string hiring = std::to_string(5 + (q * 7) % 21);
        ASSERT_EQ(press(cs, production, hiring, "wota"), model::RunOutcome::PlanRun) << q;
        if (q == 6) {
            EXPECT_EQ(press(cs, "1999", "10", "WOTA"), model::RunOutcome::Refused);
            ASSERT_EQ(model::takeBackLastQuarter(cs, "PELIX").outcome,
                      model::TakeBackOutcome::TakenBack);
            ASSERT_EQ(press(cs, "4321", "21", "WOTA"), model::RunOutcome::PlanRun);
        }
    }
}

TEST(SameGame, bothEnginesStoreTheSameRowsValueForValue) {
    ServerClass server;
    const auto teams = server.init({"a"});
    TempDir dir;
    const auto file = newGame(dir);
    const auto onServer = server.game(teams[0]);
    // A new game is the same on both before any run.
    EXPECT_EQ(exactDump(onServer), exactDump(file));
    playTheSameGame(file);
    playTheSameGame(onServer);
    const auto dump = exactDump(file);
    EXPECT_EQ(exactDump(onServer), dump);
    EXPECT_NE(dump.find("PLIO ORDER BY PNPLPD: 20 rows"), std::string::npos) << dump;
    EXPECT_TRUE(consistentGame(onServer));

    // A re-initialisation keeps the game in the team's archive, on the
    // server, and leaves both games alike again.
    EXPECT_EQ(press(file, "", "", "PELIX"), model::RunOutcome::Reinitialised);
    EXPECT_EQ(press(onServer, "", "", "PELIX"), model::RunOutcome::Reinitialised);
    EXPECT_EQ(exactDump(onServer), exactDump(file));
    const auto kept = model::listGames(onServer);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].path, "archive 1");
    EXPECT_EQ(kept[0].quartersPlayed, 19);
}

TEST(MovingGames, exportThenImportGivesTheSameRowsAndNeverChangesTheSource) {
    ServerClass server;
    const auto teams = server.init({"from", "into"});
    const auto from = server.game(teams[0]);
    const auto into = server.game(teams[1]);
    for (int q = 0; q < 5; ++q)
        ASSERT_EQ(press(from, std::to_string(2500 + 100 * q), "12", "WOTA"),
                  model::RunOutcome::PlanRun);
    const auto served = exactDump(from);

    TempDir dir;
    const std::string out = dir.file("from.mdb");
    model::exportGame(model::teamGame(server.teacher(), teams[0]), out);
    const auto fileGame = store::connectionStringForFile(out);
    EXPECT_EQ(exactDump(fileGame), served);
    EXPECT_EQ(exactDump(from), served);
    // The file plays on as any game file.
    const auto fileBytes = bytesOf(out);

    // Into another team: the same rows, the file untouched, the game it
    // replaced kept in the team's archive.
    const auto archived = model::importGame(out, model::teamGame(server.teacher(), teams[1]));
    EXPECT_EQ(archived, "");  // a new game is not worth keeping
    EXPECT_EQ(exactDump(into), served);
    EXPECT_TRUE(bytesOf(out) == fileBytes) << "the file imported was changed";
    // Both play on alike.
    EXPECT_EQ(press(into, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    EXPECT_EQ(press(fileGame, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    EXPECT_EQ(exactDump(into), exactDump(fileGame));

    // Imported again over a played game: that game is kept first.
    const auto again = model::importGame(out, model::teamGame(server.teacher(), teams[1]));
    EXPECT_EQ(again.rfind("archive 1 of " + teams[1], 0), 0u) << again;
    ASSERT_EQ(model::listGames(into).size(), 1u);
    EXPECT_EQ(model::listGames(into)[0].quartersPlayed, 7);

    // An export never lands on an existing file, and changes nothing.
    const auto played = bytesOf(out);
    EXPECT_THROW(model::exportGame(from, out), model::RunStopped);
    EXPECT_TRUE(bytesOf(out) == played) << "the file in the way was changed";
}

}  // namespace
}  // namespace tessaro::testing
