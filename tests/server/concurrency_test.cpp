// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Many PCs at once: forty teams pressing run together lose nothing, two PCs
// of one team give one quarter and the other is told, and a client killed
// at any instant leaves nothing half-written.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <random>

#include "cli.h"
#include "cliprocess.h"
#include "servertest.h"

namespace tessaro::testing {
namespace {

std::vector<std::string> runArgs(const ServerClass& server, const std::string& team, int q) {
    return {"--server",
            server.address(team),
            "run",
            std::to_string(2000 + (q * 131) % 3000),
            std::to_string(5 + q % 21),
            "WOTA"};
}

TEST(ManyTeams, fortyTeamsRunningAtOnceLoseNothing) {
    ServerClass server;
    std::vector<std::string> names;
    names.reserve(40);
    for (int i = 0; i < 40; ++i) names.push_back("t" + std::to_string(i));
    const auto teams = server.init(names);
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<CliProcess>> pcs;
        for (std::size_t i = 0; i < teams.size(); ++i)
            pcs.push_back(std::make_unique<CliProcess>(
                runArgs(server, teams[i], static_cast<int>(i) + round)));
        for (std::size_t i = 0; i < pcs.size(); ++i) {
            const auto r = pcs[i]->wait(std::chrono::seconds(60));
            EXPECT_EQ(r.status, cli::kDone) << teams[i] << ": " << r.out;
        }
    }
    for (const auto& t : teams) EXPECT_TRUE(consistentGame(server.game(t))) << t;
    // Each quarter ran on its own team's decisions: a file played alike is
    // the same, value for value.
    TempDir dir;
    const auto file = newGame(dir);
    for (int round = 0; round < 3; ++round) {
        const auto args = runArgs(server, teams[7], 7 + round);
        ASSERT_EQ(press(file, args[3], args[4], "WOTA"), model::RunOutcome::PlanRun);
    }
    EXPECT_EQ(exactDump(server.game(teams[7])), exactDump(file));
}

TEST(OneTeam, aSecondPcIsToldAtOnceAndNothingIsWrittenTwice) {
    ServerClass server;
    const auto teams = server.init({"a"});
    const auto game = server.game(teams[0]);
    {
        // Another PC in the middle of its run holds the game.
        PGconn* other = PQconnectdb(server.address(teams[0]).c_str());
        ASSERT_EQ(PQstatus(other), CONNECTION_OK) << PQerrorMessage(other);
        PQclear(PQexec(other, "BEGIN"));
        PGresult* lock = PQexec(other, "LOCK TABLE plio IN EXCLUSIVE MODE");
        ASSERT_EQ(PQresultStatus(lock), PGRES_COMMAND_OK);
        PQclear(lock);
        const auto before = exactDump(game);
        const auto r = cli(runArgs(server, teams[0], 1));
        EXPECT_EQ(r.status, cli::kDatabaseFailed) << r.out;
        EXPECT_NE(r.out.find("is being used by another player; nothing was changed."),
                  std::string::npos)
            << r.out;
        EXPECT_LT(r.took, std::chrono::seconds(3));
        EXPECT_EQ(exactDump(game), before);
        PQfinish(other);
    }
    // Two PCs pressing together: every quarter is one PC's, whole; the
    // other PC is either after it or told.
    int ran = 0;
    for (int round = 0; round < 8; ++round) {
        CliProcess first(runArgs(server, teams[0], round));
        CliProcess second(runArgs(server, teams[0], round + 50));
        for (auto* pc : {&first, &second}) {
            const auto r = pc->wait();
            if (r.status == cli::kDone) {
                ++ran;
            } else {
                EXPECT_EQ(r.status, cli::kDatabaseFailed) << r.out;
                EXPECT_NE(r.out.find("is being used by another player"), std::string::npos)
                    << r.out;
            }
        }
    }
    EXPECT_TRUE(consistentGame(game));
    EXPECT_EQ(adminSql("SELECT count(*) FROM " + teams[0] + ".pldi", server.database()),
              std::to_string(1 + ran));
}

TEST(OneTeam, aClientKilledAtAnyInstantLeavesNothingHalfWritten) {
    ServerClass server;
    const auto teams = server.init({"a"});
    const auto game = server.game(teams[0]);
    std::mt19937 random(4242);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) press(game, "3000", "10", "WOTA");
        }
        usleep(std::uniform_int_distribution<int>(20000, 150000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        EXPECT_TRUE(consistentGame(game)) << "attempt " << attempt;
    }
    // The server lets go of a killed client's hold as soon as it sees the
    // connection closed: the next run goes through.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto outcome = press(game, "3000", "10", "WOTA");
    while (outcome != model::RunOutcome::PlanRun && std::chrono::steady_clock::now() < deadline)
        outcome = press(game, "3000", "10", "WOTA");
    EXPECT_EQ(outcome, model::RunOutcome::PlanRun);
}

}  // namespace
}  // namespace tessaro::testing
