// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The League window on a class server: every team of the class, moving
// within a second of a team's run, saying so while its connection is lost
// and coming back by itself; and a team's own game, which may not read the
// class, told so plainly.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <functional>

#include "cli.h"
#include "cliprocess.h"
#include "servertest.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/module2.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/leaguewindow.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace tessaro::testing {
namespace {

using ui::GameWindows;
using ui::LeagueWindow;

class ServerLeagueWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ui::registerGameForms();
        ui::setScreenOverride(ui::ScreenSpec{1024, 768, 96, 96});
        ui::setMessageRecorder([this](const model::MessageBox& box) { messages.push_back(box); });
        GameWindows::instance().setExitHook([] {});
    }
    void TearDown() override {
        GameWindows::instance().stop();
        QApplication::processEvents();
        ui::setMessageRecorder({});
        GameWindows::instance().setExitHook({});
        ui::setScreenOverride(std::nullopt);
    }
    // Opens the league from the main window's menu, as a teacher would.
    LeagueWindow* openLeague(const std::string& game) {
        GameWindows::instance().start(game);
        QApplication::processEvents();
        GameWindows::instance().mainWindow()->findChild<QAction*>("menu_league")->trigger();
        QApplication::processEvents();
        return qobject_cast<LeagueWindow*>(GameWindows::instance().openWindow("LeagueWindow"));
    }
    // Runs the event loop until `done` or `limit` has passed; the time
    // taken, or -1 when it never came.
    static long long until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < limit.count()) {
            if (done()) return clock.elapsed();
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return done() ? clock.elapsed() : -1;
    }
    static std::string summaryOf(LeagueWindow* w) {
        return w->findChild<QLabel*>("Label4")->text().toStdString();
    }
    static int quartersOf(LeagueWindow* w, const std::string& team) {
        for (const auto& t : w->league().teams)
            if (t.team == team) return t.quarters;
        return -1;
    }
    static void run(ServerClass& server, const std::string& team) {
        const auto r = cli({"--server", server.address(team), "run", "3000", "10", "WOTA"});
        ASSERT_EQ(r.status, cli::kDone) << r.out;
    }

    std::vector<model::MessageBox> messages;
};

TEST_F(ServerLeagueWindow, listsEveryTeamAndMovesWithinASecondOfARun) {
    ServerClass server;
    const auto teams = server.init({"red", "blue", "green"});
    run(server, teams[0]);
    LeagueWindow* w = openLeague(server.teacher());
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->findChild<QPushButton*>("Command3")->isEnabled()) << "no files to choose";
    ASSERT_EQ(w->league().teams.size(), 3u);
    EXPECT_EQ(w->rankingGrid()->rows(), 4);
    ASSERT_GE(until([&] { return summaryOf(w).find("Connecting") == std::string::npos; },
                    std::chrono::seconds(5)),
              0)
        << summaryOf(w);
    EXPECT_EQ(summaryOf(w), "3 teams ranked. Values in 1000 Rs.");

    const int before = quartersOf(w, teams[1]);
    const auto cellsBefore = w->quarterGrid()->cols();
    run(server, teams[1]);
    run(server, teams[1]);
    const auto took = until([&] { return quartersOf(w, teams[1]) == before + 2; },
                            std::chrono::milliseconds(1500));
    ASSERT_GE(took, 0) << "the window did not move";
    EXPECT_LT(took, 1000);
    EXPECT_EQ(quartersOf(w, teams[0]), before + 1);
    EXPECT_GT(w->quarterGrid()->cols(), cellsBefore) << "the grid shows the new quarter";
}

TEST_F(ServerLeagueWindow, saysWhenItsConnectionIsLostAndComesBackByItself) {
    ServerClass server;
    const auto teams = server.init({"ash", "oak"});
    LeagueWindow* w = openLeague(server.teacher());
    ASSERT_NE(w, nullptr);
    ASSERT_GE(until([&] { return summaryOf(w).find("Connecting") == std::string::npos; },
                    std::chrono::seconds(5)),
              0);
    adminSql("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE usename = '" +
             server.teacherRole() + "' AND query LIKE 'LISTEN%'");
    ASSERT_GE(until([&] { return summaryOf(w).find("was lost") != std::string::npos; },
                    std::chrono::seconds(3)),
              0)
        << summaryOf(w);
    EXPECT_EQ(summaryOf(w).rfind("2 teams ranked. Values in 1000 Rs. ", 0), 0u) << summaryOf(w);
    ASSERT_GE(until([&] { return summaryOf(w) == "2 teams ranked. Values in 1000 Rs."; },
                    std::chrono::seconds(10)),
              0)
        << summaryOf(w);
    const int before = quartersOf(w, teams[1]);
    run(server, teams[1]);
    EXPECT_GE(until([&] { return quartersOf(w, teams[1]) == before + 1; }, std::chrono::seconds(1)),
              0);
}

TEST_F(ServerLeagueWindow, aTeamsOwnGameIsToldItCannotReadTheClass) {
    ServerClass server;
    const auto teams = server.init({"elm", "fir"});
    LeagueWindow* w = openLeague(server.game(teams[0]));
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(
        messages.back().text.rfind("The league of the class is read with the teacher's login", 0),
        0u)
        << messages.back().text;
    EXPECT_EQ(messages.back().title, "League");
    EXPECT_EQ(messages.back().icon, model::Icon::Critical);
    EXPECT_TRUE(w->league().teams.empty());
    EXPECT_EQ(summaryOf(w).rfind("No team of the class", 0), 0u) << summaryOf(w);
}

}  // namespace
}  // namespace tessaro::testing
