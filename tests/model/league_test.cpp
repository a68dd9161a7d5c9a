// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The league of team files, read from real games played through the run
// command and from files that cannot be read.
#include "model/league.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "model/gamefile.h"
#include "model/reports.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

using testing::press;

// Every file in a folder with its bytes and its modification time.
std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> snapshot(
    const std::filesystem::path& dir) {
    std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = {
            std::string(std::istreambuf_iterator<char>(in), {}), entry.last_write_time()};
    }
    return files;
}

class LeagueTest : public ::testing::Test {
protected:
    // A team's game in its own file, played with the given decisions.
    std::string team(const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& decisions) {
        std::string file = dir.file(name + ".mdb");
        const std::string cs = store::connectionStringForFile(file);
        ensureGameDatabase(cs);
        for (const auto& [production, hiring] : decisions)
            EXPECT_EQ(press(cs, production, hiring, "WOTA"), RunOutcome::PlanRun);
        return file;
    }
    static std::string cs(const std::string& file) { return store::connectionStringForFile(file); }
    static void setLast(const std::string& file, const std::string& set) {
        testing::sql(cs(file),
                     "UPDATE PLDI SET " + set + " WHERE ZNPLPD=(SELECT MAX(ZNPLPD) FROM PLDI)");
    }
    static std::vector<std::string> names(const League& league, LeagueOrder order) {
        std::vector<std::string> out;
        for (std::size_t i : league.ranking(order)) out.push_back(league.teams[i].team);
        return out;
    }
    testing::TempDir dir;
};

TEST_F(LeagueTest, ranksRealGamesByBothOrdersAndListsTheFilesItCannotRead) {
    const auto north = team("north", {{"4200", "17"}, {"2600", "8"}, {"3100", "12"}});
    const auto south = team("south", {{"3000", "10"}});
    const auto east = team("east", {{"5000", "25"}, {"2000", "5"}});
    // Pin the totals so that the two orders differ: north leads on the
    // running total, south on the average.
    setLast(north, "ZTVG=3000, ZCVG=750");
    setLast(south, "ZTVG=2000, ZCVG=1000");
    setLast(east, "ZTVG=2500, ZCVG=833.5");
    const auto missing = dir.file("west.mdb");
    const auto text = dir.file("notes.mdb");
    std::ofstream(text) << "minutes of the team meeting";

    const auto before = snapshot(dir.path());
    const League league = readLeague({north, south, missing, east, text});
    EXPECT_EQ(snapshot(dir.path()), before);  // nothing created, nothing changed
    EXPECT_FALSE(std::filesystem::exists(missing));

    ASSERT_EQ(league.teams.size(), 5u);
    EXPECT_EQ(league.rankedCount(), 3u);
    EXPECT_EQ(names(league, LeagueOrder::RunningTotal),
              (std::vector<std::string>{"north", "east", "south"}));
    EXPECT_EQ(names(league, LeagueOrder::AverageValue),
              (std::vector<std::string>{"south", "east", "north"}));
    EXPECT_EQ(league.rankOf(0, LeagueOrder::RunningTotal), 1);
    EXPECT_EQ(league.rankOf(0, LeagueOrder::AverageValue), 3);
    EXPECT_EQ(league.rankOf(2, LeagueOrder::RunningTotal), 0);  // west is not ranked

    // The figures of each team, as its own windows show them.
    const LeagueTeam& n = league.teams[0];
    EXPECT_EQ(n.team, "north");
    EXPECT_EQ(n.quarters, 4);  // the new game's first quarter and three runs
    EXPECT_EQ(n.runningTotalText(), "3000");
    EXPECT_EQ(league.teams[3].averageValueText(), "834");  // halves to even, as the sheet
    const PlanReport report = loadPlanReport(cs(north));
    EXPECT_EQ(n.productionDecision, report.productionDecision);
    EXPECT_EQ(n.hiringDecision, report.hiringDecision);
    EXPECT_EQ(std::pair(n.productionDecision, n.hiringDecision), std::pair(3100, 12));
    ASSERT_EQ(n.valuePerQuarter.size(), 4u);
    for (std::size_t q = 0; q < 4; ++q) {
        ASSERT_TRUE(n.valuePerQuarter[q]);
        EXPECT_EQ(
            n.quarterValueText(q),
            testing::scalarText(cs(north), "SELECT CAST(ZVG AS INTEGER) FROM PLDI WHERE ZNPLPD=" +
                                               std::to_string(q + 1)));
    }

    const LeagueTeam& w = league.teams[2];
    EXPECT_FALSE(w.ranked);
    EXPECT_EQ(w.team, "west");
    EXPECT_EQ(w.reason, "The game database " + missing + " does not exist.");
    const LeagueTeam& t = league.teams[4];
    EXPECT_FALSE(t.ranked);
    EXPECT_NE(t.reason.find("The game database " + text + " is not a game database"),
              std::string::npos)
        << t.reason;
    EXPECT_EQ(t.runningTotalText(), "");
}

TEST_F(LeagueTest, equalValuesRankByNameInEitherCase) {
    const auto zeta = team("zeta", {});
    const auto alpha = team("Alpha", {});
    const auto beta = team("beta", {});
    for (const auto& f : {zeta, alpha, beta}) setLast(f, "ZTVG=100, ZCVG=100");
    setLast(beta, "ZCVG=200");
    const League league = readLeague({zeta, beta, alpha});
    EXPECT_EQ(names(league, LeagueOrder::RunningTotal),
              (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(names(league, LeagueOrder::AverageValue),
              (std::vector<std::string>{"beta", "Alpha", "zeta"}));
    // The same file given twice is two entries in a fixed order.
    const League twice = readLeague({zeta, zeta});
    EXPECT_EQ(twice.ranking(LeagueOrder::RunningTotal), (std::vector<std::size_t>{0, 1}));
}

TEST_F(LeagueTest, aGameOfOneQuarterRanksWithItsFirstDecisions) {
    const auto fresh = team("fresh", {});
    League league = readLeague({fresh});
    ASSERT_TRUE(league.teams[0].ranked) << league.teams[0].reason;
    EXPECT_EQ(league.teams[0].quarters, 1);
    EXPECT_EQ(league.mostQuarters(), 1);
    const PlanReport report = loadPlanReport(cs(fresh));
    EXPECT_EQ(league.teams[0].productionDecision, report.productionDecision);
    EXPECT_EQ(league.teams[0].hiringDecision, report.hiringDecision);
    EXPECT_EQ(league.teams[0].runningTotalText(),
              testing::scalarText(cs(fresh), "SELECT CAST(ZTVG AS INTEGER) FROM PLDI"));

    // Only the first PLIO row: the first quarter ran on 3000 and 10.
    testing::sql(cs(fresh), "DELETE FROM PLIO WHERE PNPLPD > 0");
    league = readLeague({fresh});
    ASSERT_TRUE(league.teams[0].ranked);
    EXPECT_EQ(std::pair(league.teams[0].productionDecision, league.teams[0].hiringDecision),
              std::pair(3000, 10));
}

TEST_F(LeagueTest, filesWithoutAPlayedQuarterOrWithDamagedFiguresAreListedNotRanked) {
    testing::TempDir emptyDir;
    const std::string empty = store::pathFromConnectionString(testing::emptyTables(emptyDir));
    const auto noAccounts = team("noaccounts", {});
    testing::sql(cs(noAccounts), "DELETE FROM PLDI");
    const auto damaged = team("damaged", {});
    setLast(damaged, "ZTVG='inf'");
    const auto noTable = dir.file("notable.mdb");
    store::Connection::createFile(noTable).execute("CREATE TABLE PLIO(PNPLPD INTEGER)");
    const auto good = team("good", {});

    const League league = readLeague({empty, noAccounts, damaged, noTable, good});
    EXPECT_EQ(league.rankedCount(), 1u);
    EXPECT_TRUE(league.teams[4].ranked);
    EXPECT_EQ(league.teams[0].reason,
              "The game database " + empty + " holds no plan-quarter (table PLIO is empty).");
    EXPECT_EQ(league.teams[1].reason, "The game database " + noAccounts +
                                          " holds no quarter played (table PLDI is empty).");
    EXPECT_NE(league.teams[2].reason.find("no number in ZTVG or ZCVG"), std::string::npos);
    EXPECT_NE(league.teams[3].reason.find("is missing part of the game tables"), std::string::npos)
        << league.teams[3].reason;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(league.teams[i].ranked) << i;
        EXPECT_EQ(league.rankOf(i, LeagueOrder::AverageValue), 0) << i;
    }
}

TEST_F(LeagueTest, teamNamesAreFileNamesWithoutTheirExtension) {
    EXPECT_EQ(teamName("/class/2026/Team1.MDB"), "Team1");
    EXPECT_EQ(teamName("smith, jones.mdb"), "smith, jones");
    EXPECT_EQ(teamName("a.b.mdb"), "a.b");
    EXPECT_EQ(teamName("north"), "north");
    EXPECT_EQ(teamName(".mdb"), ".mdb");
}

TEST_F(LeagueTest, chartHasARowPerQuarterAndASeriesPerRankedTeamInRankOrder) {
    const auto longer = team("longer", {{"3000", "10"}, {"3000", "10"}});
    const auto shorter = team("shorter", {});
    setLast(shorter, "ZTVG=999999, ZVG=-12.5");
    const LeagueChart chart = leagueChart(readLeague({longer, dir.file("gone.mdb"), shorter}));
    EXPECT_EQ(chart.rowLabels, (std::vector<std::string>{" 1", " 2", " 3"}));
    EXPECT_EQ(chart.seriesNames, (std::vector<std::string>{"shorter", "longer"}));
    ASSERT_EQ(chart.values.size(), 2u);
    // The stored value as it is; no value where the team has not played.
    EXPECT_EQ(chart.values[0], (std::vector<std::string>{"-12.5", "", ""}));
    EXPECT_EQ(chart.values[1][2],
              testing::scalarText(store::connectionStringForFile(longer),
                                  "SELECT CAST(ZVG AS INTEGER) FROM PLDI WHERE ZNPLPD=3"));
    EXPECT_EQ(chart.xTitle, "PLAN-QUARTER");
}

}  // namespace
}  // namespace tessaro::model
