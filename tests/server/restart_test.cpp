// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The server restarting in the middle of the teams' runs: every run is
// either wholly in or wholly out, a PC whose run met the restart is told
// so, naming the server, the next run goes through once the server is back,
// and the live league connects again and says so meanwhile. These tests
// restart the cluster, so they run alone (RUN_SERIAL).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>

#include "cli.h"
#include "cliprocess.h"
#include "model/league.h"
#include "servertest.h"
#include "store/leaguelistener.h"

namespace tessaro::testing {
namespace {

void restartServer() {
    const Cluster& c = cluster();
    const std::string asServer = ::geteuid() == 0 ? "runuser -u postgres -- " : "";
    const std::string command = asServer + c.bin + "/pg_ctl -D " + c.dir +
                                "/data -m immediate -w -t 60 restart >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(ServerRestart, runsAreWhollyInOrOutAndTheNextGoesThrough) {
    ServerClass server;
    std::vector<std::string> names;
    names.reserve(6);
    for (int i = 0; i < 6; ++i) names.push_back("r" + std::to_string(i));
    const auto teams = server.init(names);
    store::LeagueListener listener(server.teacher());
    ASSERT_TRUE(listener.wait(std::chrono::seconds(5)));

    std::vector<std::unique_ptr<CliProcess>> pcs;
    std::thread restarter([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        restartServer();
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    for (int wave = 0; std::chrono::steady_clock::now() < until; ++wave)
        for (const auto& t : teams)
            pcs.push_back(std::make_unique<CliProcess>(
                std::vector<std::string>{"--server", server.address(t), "run",
                                         std::to_string(2000 + wave * 10), "10", "WOTA"}));
    restarter.join();
    int told = 0;
    for (auto& pc : pcs) {
        const auto r = pc->wait(std::chrono::seconds(60));
        ASSERT_FALSE(r.timedOut);
        if (r.status == cli::kDone) continue;
        // Met the restart, or another PC of its team: told which, naming the
        // server; refused outright is never the case.
        if (r.status == cli::kServerUnreachable) {
            ++told;
            EXPECT_NE(r.out.find("on the server " + cluster().host), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.status, cli::kDatabaseFailed) << r.out;
            EXPECT_NE(r.out.find("is being used by another player"), std::string::npos) << r.out;
        }
    }
    EXPECT_GT(told, 0) << "no run met the restart";
    for (const auto& t : teams) {
        EXPECT_TRUE(consistentGame(server.game(t))) << t;
        const auto next = cli({"--server", server.address(t), "run", "3000", "10", "WOTA"});
        EXPECT_EQ(next.status, cli::kDone) << t << ": " << next.out;
    }

    // The league finds its connection lost, says so, and connects again;
    // being back, it asks for the league to be read afresh.
    listener.poll();
    EXPECT_EQ(listener.status(), store::LeagueListener::Status::Lost);
    EXPECT_EQ(listener.socket(), -1);
    EXPECT_NE(listener.statusText().find("connection to the class server was lost"),
              std::string::npos)
        << listener.statusText();
    EXPECT_TRUE(listener.wait(std::chrono::seconds(10)));
    ASSERT_EQ(listener.status(), store::LeagueListener::Status::Listening);
    EXPECT_GE(listener.socket(), 0);
    listener.takeTeams();
    ASSERT_EQ(cli({"--server", server.address(teams[2]), "run", "3000", "10", "WOTA"}).status,
              cli::kDone);
    ASSERT_TRUE(listener.wait(std::chrono::seconds(1)));
    EXPECT_EQ(listener.takeTeams(), std::vector<std::string>{teams[2]});
}

}  // namespace
}  // namespace tessaro::testing
