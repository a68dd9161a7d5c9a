// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The league of a class on a server: ranked as the file league ranks the
// same games, and heard within a second of any team's run.
#include "model/league.h"

#include <gtest/gtest.h>

#include "cli.h"
#include "cliprocess.h"
#include "model/classroom.h"
#include "servertest.h"
#include "store/gamelocation.h"
#include "store/leaguelistener.h"

namespace tessaro::testing {
namespace {

TEST(ServerLeague, ranksTheTeamsAsTheFileLeagueRanksTheirGames) {
    ServerClass server;
    const auto teams = server.init({"north", "south", "east", "west"});
    const char* decisions[][2] = {{"4000", "20"}, {"2200", "6"}, {"3000", "10"}, {"3000", "10"}};
    for (std::size_t i = 0; i < teams.size(); ++i)
        for (int q = 0; q < static_cast<int>(i); ++q)
            ASSERT_EQ(press(server.game(teams[i]), decisions[i][0], decisions[i][1], "WOTA"),
                      model::RunOutcome::PlanRun);
    TempDir dir;
    std::vector<std::string> files;
    for (const auto& t : teams) {
        files.push_back(dir.file(t + ".mdb"));
        model::exportGame(model::teamGame(server.teacher(), t), files.back());
    }
    const auto onFiles = model::readLeague(files);
    const auto onServer = model::readServerLeague(server.teacher());
    ASSERT_EQ(onServer.rankedCount(), 4u);
    for (auto order : {model::LeagueOrder::RunningTotal, model::LeagueOrder::AverageValue}) {
        std::vector<std::string> a, b;
        for (auto i : onFiles.ranking(order))
            a.push_back(onFiles.teams[i].team + " " + onFiles.teams[i].runningTotalText() + " " +
                        onFiles.teams[i].averageValueText());
        for (auto i : onServer.ranking(order))
            b.push_back(onServer.teams[i].team + " " + onServer.teams[i].runningTotalText() + " " +
                        onServer.teams[i].averageValueText());
        EXPECT_EQ(b, a);
    }
    // And as tessaro-cli prints it.
    const auto r = cli({"--server", server.address(server.teacherRole()), "league", "--csv"});
    EXPECT_EQ(r.status, cli::kDone) << r.out;
    EXPECT_EQ(r.out.rfind("Rank,Team,Quarters,", 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
}

TEST(LiveLeague, everyRunIsHeardWithinASecond) {
    ServerClass server;
    const auto teams = server.init({"a", "b"});
    store::LeagueListener listener(server.teacher());
    EXPECT_EQ(listener.status(), store::LeagueListener::Status::Connecting);
    ASSERT_TRUE(listener.wait(std::chrono::seconds(5)));
    ASSERT_EQ(listener.status(), store::LeagueListener::Status::Listening);
    EXPECT_GE(listener.socket(), 0);
    EXPECT_EQ(listener.statusText(), "");
    EXPECT_FALSE(listener.wait(std::chrono::milliseconds(100)));  // nothing ran yet

    for (int q = 0; q < 3; ++q) {
        const auto& team = teams[static_cast<std::size_t>(q % 2)];
        const auto r = cli({"--server", server.address(team), "run", "3000", "10", "WOTA"});
        ASSERT_EQ(r.status, cli::kDone) << r.out;
        const auto committed = std::chrono::steady_clock::now();
        ASSERT_TRUE(listener.wait(std::chrono::seconds(1))) << "run " << q << " not heard";
        EXPECT_LT(std::chrono::steady_clock::now() - committed, std::chrono::seconds(1));
        EXPECT_EQ(listener.takeTeams(), std::vector<std::string>{team});
        const auto league = model::readServerLeague(server.teacher());
        const auto& read = league.teams[team == teams[0] ? 0 : 1];
        EXPECT_EQ(read.quarters, 1 + (q + 2 - (team == teams[0] ? 0 : 1)) / 2) << q;
    }
    // A refused run changes nothing and tells nothing.
    EXPECT_EQ(cli({"--server", server.address(teams[0]), "run", "1", "10", "WOTA"}).status,
              cli::kRefused);
    EXPECT_FALSE(listener.wait(std::chrono::milliseconds(300)));
}

}  // namespace
}  // namespace tessaro::testing
