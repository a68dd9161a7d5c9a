// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Nothing played is lost: a re-initialisation keeps the game it throws away,
// and a branch carries a game on from any of its quarters.
#include "model/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "faultydisk.h"
#include "model/branch.h"
#include "model/newfile.h"
#include "model/runcommand.h"
#include "model/takeback.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

namespace fs = std::filesystem;
using testing::dump;
using testing::press;

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { cs = testing::newGame(dir); }
    void play(int quarters) {
        for (int i = 0; i < quarters; ++i)
            ASSERT_EQ(press(cs, std::to_string(2500 + 250 * i), std::to_string(6 + 3 * i), "WOTA"),
                      RunOutcome::PlanRun);
    }
    std::string game() const { return store::pathFromConnectionString(cs); }
    int files() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir.path()), {}));
    }
    testing::TempDir dir;
    std::string cs;
};

TEST_F(ArchiveTest, aReinitialisationKeepsTheWholeGameItThrowsAway) {
    play(4);
    const auto played = dump(cs);
    testing::RecordingPanel panel("", "", "PELIX");
    ASSERT_EQ(RunCommand(cs).run(panel), RunOutcome::Reinitialised);

    const auto kept = listArchive(game());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(fs::path(kept[0].path).parent_path(), dir.path());
    EXPECT_EQ(kept[0].path.rfind(dir.file("TESSARO_DB-"), 0), 0u) << kept[0].path;
    EXPECT_EQ(kept[0].problem, "");
    EXPECT_EQ(kept[0].quartersPlayed, 5);
    EXPECT_EQ(std::stod(kept[0].runningTotal),
              std::stod(testing::scalarText(store::connectionStringForFile(kept[0].path),
                                            "SELECT ZTVG FROM PLDI WHERE ZNPLPD = 5")));
    // The copy is the game as it was, its take-back entries included: it
    // plays on, and its quarters can be taken back.
    const auto copy = store::connectionStringForFile(kept[0].path);
    EXPECT_EQ(dump(copy), played);
    EXPECT_EQ(takeBackLastQuarter(copy, "PELIX").outcome, TakeBackOutcome::TakenBack);
    EXPECT_EQ(press(copy, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(panel.messages.back().text,
              "The game played before the re-initialisation was kept in " + kept[0].path + ".");
    EXPECT_EQ(panel.messages.back().title, kArchiveTitle);

    // A game of one quarter has nothing to keep.
    ASSERT_EQ(press(cs, "", "", "PELIX"), RunOutcome::Reinitialised);
    EXPECT_EQ(listArchive(game()).size(), 1u);
    EXPECT_EQ(files(), 2);
}

TEST_F(ArchiveTest, copiesNeverTakeTheNameOfAnotherAndAreListedNewestFirst) {
    // A file already under this second's name, which the copy must leave.
    for (int attempt = 0; attempt < 3; ++attempt) {
        play(2);
        const std::string stamp = localStamp();
        const std::string taken = dir.file("TESSARO_DB-" + stamp + ".mdb");
        if (!somethingAt(taken)) std::ofstream(taken) << "a file of somebody else";
        ASSERT_EQ(press(cs, "", "", "PELIX"), RunOutcome::Reinitialised);
        if (localStamp() != stamp) continue;  // the second turned meanwhile
        EXPECT_TRUE(somethingAt(dir.file("TESSARO_DB-" + stamp + "-2.mdb")));
        std::ifstream in(taken);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a file of somebody else");
        break;
    }
    const auto kept = listArchive(game());
    ASSERT_GE(kept.size(), 2u);
    for (std::size_t i = 1; i < kept.size(); ++i)
        EXPECT_GE(kept[i - 1].archivedAt, kept[i].archivedAt);
    // The file that is no game is listed with what is wrong with it.
    EXPECT_TRUE(std::any_of(kept.begin(), kept.end(),
                            [](const ArchivedGame& g) { return !g.problem.empty(); }));
    // Files of other games in the folder are not this game's archive.
    std::ofstream(dir.file("TEAM-20260101-101010.mdb")) << "";
    std::ofstream(dir.file("TESSARO_DB-2026.mdb")) << "";
    EXPECT_EQ(listArchive(game()).size(), kept.size());
}

TEST_F(ArchiveTest, aCopyThatCannotBeWrittenStopsTheReinitialisationWithNothingDeleted) {
    play(3);
    const auto before = dump(cs);
    testing::RecordingPanel panel("", "", "PELIX");
    {
        // The first write to a database file is the copy's.
        testing::FaultyDisk disk(0);
        EXPECT_EQ(RunCommand(cs).run(panel), RunOutcome::Failed);
        EXPECT_TRUE(disk.struck());
    }
    ASSERT_EQ(panel.messages.size(), 2u);
    EXPECT_EQ(panel.messages[1].title, "Initialization For SD Run");
    EXPECT_EQ(panel.messages[1].icon, Icon::Critical);
    EXPECT_NE(panel.messages[1].text.find("re-initialisation was stopped and nothing was deleted"),
              std::string::npos)
        << panel.messages[1].text;
    EXPECT_EQ(panel.rebuilds, 0);
    EXPECT_EQ(dump(cs), before);
    EXPECT_EQ(files(), 1);
}

class BranchTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        states.push_back(dump(cs));
        for (int i = 0; i < 5; ++i) {
            play(1);
            states.push_back(dump(cs));
        }
    }
    std::vector<std::string> states;  // states[k]: PLIO rows 0 to k + 1
};

TEST_F(BranchTest, aBranchIsTheGameAsItStoodAtThatQuarterAndPlaysOnFromThere) {
    const auto game = dump(cs);
    for (int n : {1, 2, 4, 6}) {
        const auto out = dir.file("at" + std::to_string(n) + ".mdb");
        ASSERT_NO_THROW(branchGame(cs, n, out)) << n;
        const auto branch = store::connectionStringForFile(out);
        EXPECT_EQ(dump(branch), states[static_cast<std::size_t>(n - 1)]) << n;
        // Taken back in the branch, it is the game a quarter earlier.
        if (n >= 2) {
            EXPECT_EQ(takeBackLastQuarter(branch, "PELIX").outcome, TakeBackOutcome::TakenBack);
            EXPECT_EQ(dump(branch), states[static_cast<std::size_t>(n - 2)]) << n;
        }
    }
    EXPECT_EQ(dump(cs), game);
    // Played on with the decisions the game took there, it is the game.
    const auto out = dir.file("again.mdb");
    ASSERT_NO_THROW(branchGame(cs, 3, out));
    const auto branch = store::connectionStringForFile(out);
    ASSERT_EQ(press(branch, "2500", "6", "WOTA"), RunOutcome::PlanRun);
    ASSERT_EQ(press(branch, "2500", "6", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(dump(branch), states[4]);
}

TEST_F(BranchTest, aBranchThatCannotBeMadeWritesNothing) {
    const auto refusal = [&](int n, const std::string& out) {
        try {
            branchGame(cs, n, out);
        } catch (const RunStopped& e) {
            EXPECT_EQ(e.box().title, kBranchTitle);
            return e.box().text;
        }
        ADD_FAILURE() << "branch " << n << " to " << out << " was made";
        return std::string();
    };
    EXPECT_NE(refusal(0, dir.file("b.mdb")).find("from 1 to 6; 0 is none of them"),
              std::string::npos);
    EXPECT_NE(refusal(7, dir.file("b.mdb")).find("7 is none of them"), std::string::npos);
    std::ofstream(dir.file("there.mdb")) << "notes";
    EXPECT_NE(refusal(2, dir.file("there.mdb")).find("There is already a file at"),
              std::string::npos);
    EXPECT_NE(refusal(2, dir.file("nowhere/b.mdb")).find("does not exist"), std::string::npos);
    EXPECT_NE(refusal(2, dir.file("there.mdb/b.mdb")).find("is not a folder"), std::string::npos);

    // Quarters played before the take-back table was kept.
    testing::sql(cs, "DELETE FROM TAKEBACK WHERE TNPLPD <= 4");
    EXPECT_NE(refusal(3, dir.file("b.mdb")).find("Plan-quarter 4 was played before"),
              std::string::npos);
    // A trace that cannot be written again as the game wrote it.
    testing::sql(cs, "UPDATE PLIO SET PHRD = PHRD + 1 WHERE PNPLPD = 3");
    EXPECT_NE(refusal(4, dir.file("b.mdb")).find("cannot be written again exactly"),
              std::string::npos);
    EXPECT_EQ(files(), 2);  // the game and the notes
}

}  // namespace
}  // namespace tessaro::model
