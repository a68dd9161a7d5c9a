// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cli.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    Result run(const std::vector<std::string>& args) {
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
    // Boxes with the critical icon are refusals and failures: standard error.
    auto r = run({"run", "6000", "10", "WOTA"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(
        r.err,
        "Invalid Planned Data: Invalid Input............ Or Field should not be Left Blank\n");
    EXPECT_EQ(r.out, "");
    r = run({"run", "3000", "10", "nope"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.out, "Invalid Password: Login Failed :: For SD Run :: Invalid Password........\n");
    r = run({"reinit", "nope"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.out, ": Enter Appropriate parameters....\n");

    const auto text = dir.file("notes.mdb");
    std::ofstream(text) << "not a game";
    r = runOn(text, {"history", "--csv"});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_NE(r.err.find("Game Database: The game database " + text), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");  // nothing of the failure in the table
    std::ifstream back(text);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "not a game");
}

TEST_F(Cli, reinitGoesBackToTheFirstQuarter) {
    run({"run", "3000", "10", "WOTA"});
    run({"run", "3000", "10", "WOTA"});
    const auto r = run({"reinit", "pelix"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out.rfind(
                  ": Enter Appropriate parameters....\n: SD Reinitialization is now over !!!\n", 0),
              0u)
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
    EXPECT_NE(run({"--help"}).out.find("tessaro-cli [--database PATH | --server URI] COMMAND"),
              std::string::npos);
    for (const char* command : {"run", "reinit", "status", "report", "sheet", "trace", "history"}) {
        const auto r = run({command, "--help"});
        EXPECT_EQ(r.status, kDone) << command;
        EXPECT_NE(r.out.find(std::string("tessaro-cli [--database PATH] ") + command),
                  std::string::npos);
    }
    EXPECT_EQ(run({}).status, kUsage);
    EXPECT_EQ(run({"play"}).status, kUsage);
    EXPECT_EQ(run({"run", "3000"}).status, kUsage);
    EXPECT_EQ(run({"--database"}).status, kUsage);
    EXPECT_EQ(run({"status", "--database="}).status, kUsage);
    EXPECT_EQ(run({"status", "--bogus"}).status, kUsage);
    EXPECT_EQ(run({"status", "--csv"}).status, kUsage);
    const auto wrong = run({"run", "3000"});
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err.find("'run' takes 3 argument(s), got 1"), std::string::npos) << wrong.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "TESSARO_DB.mdb"));

    const auto version = run({"--version"});
    EXPECT_EQ(version.status, kDone);
    EXPECT_EQ(version.out.rfind("tessaro-cli ", 0), 0u);
    EXPECT_NE(version.out.find('.'), std::string::npos);
}

TEST_F(Cli, optionsMayStandAnywhere) {
    const auto file = dir.file("team.mdb");
    EXPECT_EQ(run({"run", "3000", "--database", file, "10", "WOTA"}).status, kDone);
    EXPECT_EQ(run({"run", "3000", "10", "WOTA", "--database=" + file}).status, kDone);
    const auto r = run({"history", "--database", file, "--csv"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 4) << r.out;  // head, rows 0..3
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "TESSARO_DB.mdb"));
    // A negative decision is a decision (refused by the game), not an option;
    // "--" lets a password start with a dash.
    EXPECT_EQ(run({"run", "-3000", "10", "WOTA"}).status, kRefused);
    EXPECT_EQ(run({"--database", file, "run", "3000", "10", "--", "-x"}).status, kRefused);
    // "-h" asks for help wherever it stands; after "--" it is a decision
    // text, read as the box would read it, and refused for its range.
    const auto help = run({"--database", file, "run", "-h", "10", "WOTA"});
    EXPECT_EQ(help.status, kDone);
    EXPECT_NE(help.out.find("Usage: tessaro-cli [--database PATH] run"), std::string::npos);
    EXPECT_NE(help.out.find("--"), std::string::npos);
    const auto decision = run({"--database", file, "run", "--", "-h", "10", "WOTA"});
    EXPECT_EQ(decision.status, kRefused);
    EXPECT_EQ(decision.err,
              "Invalid Planned Data: Invalid Input............ Or Field should not "
              "be Left Blank\n");
    EXPECT_NE(run({"--help"}).out.find("  --                ends the options"), std::string::npos);
}

// Values as long as a double's largest keep a blank between the columns.
TEST_F(Cli, theBoardKeepsItsColumnsApartForTheLongestValues) {
    const auto file = dir.file("team.mdb");
    ASSERT_EQ(runOn(file, {"run", "3000", "10", "WOTA"}).status, kDone);
    testing::sql(store::connectionStringForFile(file),
                 "UPDATE PLIO SET PT=-1.79769313486231e308 WHERE PNPLPD=2");
    const auto r = runOn(file, {"status"});
    ASSERT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(r.out.find("  Exp.People            100.022144336377   -1.79769313486231E+308 100\n"),
              std::string::npos)
        << r.out;
}

TEST_F(Cli, statusNamesTheGameFileItPlays) {
    auto r = run({"status"});
    EXPECT_EQ(r.out.rfind("Game file: " + (dir.path() / "TESSARO_DB.mdb").string() + "\n", 0), 0u)
        << r.out;
    // Blanks and ';' are part of a file name, not of the connection text.
    for (const std::string name : {"semi;colon.mdb", " blank before.mdb", "after blank.mdb "}) {
        const auto file = dir.file(name);
        r = runOn(file, {"status"});
        EXPECT_EQ(r.status, kDone) << name << r.err;
        EXPECT_EQ(r.out.rfind("Game file: " + file + "\n", 0), 0u) << r.out;
        EXPECT_TRUE(std::filesystem::exists(file)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "semi"));
}

}  // namespace
}  // namespace tessaro::cli
