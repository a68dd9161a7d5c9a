// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::cli {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    Result run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = runCli(args, dir.path().string(), out, err);
        return {status, out.str(), err.str()};
    }
    Result runOn(const std::string& file, std::vector<std::string> args) {
        args.insert(args.begin(), {"--database", file});
        return run(args);
    }
    testing::TempDir dir;
};

TEST_F(Cli, aMissingGameIsCreatedInTheProgramsDirectoryReadyForQuarterTwo) {
    const auto r = run({"status"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_NE(r.out.find("PLAN-QUARTER NO. :: 2"), std::string::npos) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "TESSARO_DB.mdb"));
    // Nothing but the game file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(Cli, runPrintsEveryMessageBoxAsTitleAndText) {
    const auto r = run({"run", "3000", "10", "WOTA"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out.rfind("Succesfull updating: The decisions are entered successfully.....\n"
                          ": SD Simulation Run is now over !!!\n",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("PLAN-QUARTER NO. :: 3"), std::string::npos);
}

TEST_F(Cli, refusedInputExitsOneAndDatabaseFailuresExitTwo) {
    auto r = run({"run", "6000", "10", "WOTA"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.out, "Invalid Planned Data: Invalid Input............ Or Field should not be Left Blank\n");
    r = run({"run", "3000", "10", "nope"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.out, "Invalid Password: Login Failed :: For SD Run :: Invalid Password........\n");
    r = run({"reinit", "nope"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.out, ": Enter Appropriate parameters....\n");

    const auto text = dir.file("notes.mdb");
    std::ofstream(text) << "not a game";
    r = runOn(text, {"status"});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_NE(r.out.find("Game Database: The game database " + text), std::string::npos) << r.out;
    std::ifstream back(text);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "not a game");
}

TEST_F(Cli, reinitGoesBackToTheFirstQuarter) {
    run({"run", "3000", "10", "WOTA"});
    run({"run", "3000", "10", "WOTA"});
    const auto r = run({"reinit", "pelix"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out.rfind(": Enter Appropriate parameters....\n: SD Reinitialization is now over !!!\n", 0), 0u)
        << r.out;
    EXPECT_NE(r.out.find("PLAN-QUARTER NO. :: 2"), std::string::npos);
}

TEST_F(Cli, separateDatabaseFilesAreSeparateGames) {
    const auto a = dir.file("team-a.mdb");
    const auto b = dir.file("team-b.mdb");
    runOn(a, {"run", "3000", "10", "WOTA"});
    EXPECT_NE(runOn(a, {"status"}).out.find("NO. :: 3"), std::string::npos);
    EXPECT_NE(runOn(b, {"status"}).out.find("NO. :: 2"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "TESSARO_DB.mdb"));
}

TEST_F(Cli, reportsAndTablesPrintTheirContent) {
    run({"run", "4200", "17", "WOTA"});
    auto r = run({"report"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_NE(r.out.find("Plan Report For Plan Quarter Number  : 2"), std::string::npos);
    EXPECT_NE(r.out.find("Production Orders Decision :  4200"), std::string::npos);
    r = run({"sheet"});
    EXPECT_NE(r.out.find("Performance Sheet For Plan Quarter Number  : 2"), std::string::npos);
    EXPECT_NE(r.out.find("4. Manpower Costs :"), std::string::npos);

    r = run({"trace", "--csv"});
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR");
    int rows = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.rfind("1,", 0), 0u) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 25);

    r = run({"history", "--csv"});
    std::istringstream history(r.out);
    std::getline(history, line);
    EXPECT_EQ(line.rfind("PNPLPD,PT,", 0), 0u);
    EXPECT_NE(line.find(",ZNPLPD,ZOQ,"), std::string::npos);
    rows = 0;
    while (std::getline(history, line)) ++rows;
    EXPECT_EQ(rows, 3);
}

TEST_F(Cli, helpOnEveryLevelAndUsageErrors) {
    EXPECT_EQ(run({"--help"}).status, kDone);
    EXPECT_NE(run({"--help"}).out.find("tessaro-cli [--database PATH] COMMAND"), std::string::npos);
    for (const char* command : {"run", "reinit", "status", "report", "sheet", "trace", "history"}) {
        const auto r = run({command, "--help"});
        EXPECT_EQ(r.status, kDone) << command;
        EXPECT_NE(r.out.find(std::string("tessaro-cli [--database PATH] ") + command), std::string::npos);
    }
    EXPECT_EQ(run({}).status, kUsage);
    EXPECT_EQ(run({"play"}).status, kUsage);
    EXPECT_EQ(run({"run", "3000"}).status, kUsage);
    EXPECT_EQ(run({"--database"}).status, kUsage);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "TESSARO_DB.mdb"));
}

}  // namespace
}  // namespace tessaro::cli
