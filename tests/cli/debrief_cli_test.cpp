// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief and league commands of tessaro-cli.
#include <gtest/gtest.h>
#include <stdlib.h>  // NOLINT(modernize-deprecated-headers): setenv is POSIX, not <cstdlib>'s

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "model/gamefile.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::cli {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The fields of one CSV line, quotes taken off.
std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

class CommandTest : public ::testing::Test {
protected:
    Result run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = runCli(args, dir.path().string(), out, err);
        return {status, out.str(), err.str()};
    }
    // A team's game played with the given decisions.
    std::string team(const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& decisions) {
        std::string file = dir.file(name + ".mdb");
        model::ensureGameDatabase(store::connectionStringForFile(file));
        for (const auto& [production, hiring] : decisions)
            EXPECT_EQ(run({"--database", file, "run", production, hiring, "WOTA"}).status, kDone);
        return file;
    }
    static void setLast(const std::string& file, const std::string& set) {
        testing::sql(store::connectionStringForFile(file),
                     "UPDATE PLDI SET " + set + " WHERE ZNPLPD=(SELECT MAX(ZNPLPD) FROM PLDI)");
    }
    testing::TempDir dir;
};

using LeagueCli = CommandTest;

TEST_F(LeagueCli, printsTheRankingAndTheValuePerQuarterAndNamesTheFilesItCannotRead) {
    const auto north = team("north", {{"4200", "17"}, {"2600", "8"}});
    const auto south = team("south", {});
    setLast(north, "ZTVG=1500, ZCVG=500");
    setLast(south, "ZTVG=900, ZCVG=900");
    const auto missing = dir.file("west.mdb");
    const Result r = run({"league", south, missing, north});
    EXPECT_EQ(r.status, kDone);
    const auto out = lines(r.out);
    ASSERT_GE(out.size(), 8u) << r.out;
    EXPECT_EQ(out[0], "League, ranked by running total (values in 1000 Rs.)");
    EXPECT_EQ(out[1],
              "  Rank | Team  | Quarters | Running Total | Average | Average Rank | Production "
              "Orders Decision | Trainees' Hiring Decision");
    EXPECT_EQ(out[2].substr(0, 58), "  1    | north | 3        | 1500          | 500     | 2   ");
    EXPECT_NE(out[2].find("| 2600 "), std::string::npos) << out[2];
    EXPECT_EQ(out[3].substr(0, 58), "  2    | south | 1        | 900           | 900     | 1   ");
    EXPECT_EQ(out[5], "Value of The Game per plan-quarter");
    EXPECT_EQ(out[6], "  Team  | 1   | 2   | 3");
    // South played one quarter: its later quarters stay empty.
    std::vector<std::string> cells;
    std::istringstream row(out[8]);
    for (std::string cell; std::getline(row, cell, '|');) {
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        cells.push_back(cell);
    }
    EXPECT_EQ(cells, (std::vector<std::string>{
                         "south",
                         testing::scalarText(store::connectionStringForFile(south),
                                             "SELECT CAST(ZVG AS INTEGER) FROM PLDI"),
                         ""}))
        << out[8];
    EXPECT_EQ(out[8].back(), '|');  // and the third quarter, empty as well
    EXPECT_EQ(r.err,
              "League: west is not ranked: The game database " + missing + " does not exist.\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(LeagueCli, csvHasOneRowPerRankedTeamWithFieldsQuotedWhereNeeded) {
    const auto pair = team("Smith, Jones", {{"3000", "10"}});
    const auto quote = team("the \"A\" team", {});
    const Result r = run({"league", "--csv", pair, quote});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.err, "");
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    const auto head = csvFields(out[0]);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "Rank", "Team", "Quarters", "Running Total", "Average", "Average Rank",
                        "Production Orders Decision", "Trainees' Hiring Decision", "1", "2"}));
    bool sawPair = false;
    for (std::size_t i = 1; i < out.size(); ++i) {
        const auto fields = csvFields(out[i]);
        ASSERT_EQ(fields.size(), head.size()) << out[i];
        if (fields[1] == "Smith, Jones") {
            sawPair = true;
            EXPECT_NE(out[i].find(",\"Smith, Jones\","), std::string::npos) << out[i];
            EXPECT_EQ(fields[2], "2");
            EXPECT_EQ(fields[9], testing::scalarText(store::connectionStringForFile(pair),
                                                     "SELECT CAST(ZVG AS INTEGER) FROM PLDI "
                                                     "WHERE ZNPLPD=2"));
        } else {
            EXPECT_EQ(fields[1], "the \"A\" team");
            EXPECT_EQ(fields[9], "");
        }
    }
    EXPECT_TRUE(sawPair);
}

TEST_F(LeagueCli, exitsTwoWhenNoTeamRanksAndSixtyFourWithoutFiles) {
    const auto text = dir.file("notes.mdb");
    std::ofstream(text) << "not a game";
    Result r = run({"league", text, dir.file("gone.mdb")});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines(r.err).size(), 2u) << r.err;
    r = run({"league", "--csv", text});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_EQ(r.out, "");  // no failure in the table

    r = run({"league"});
    EXPECT_EQ(r.status, kUsage);
    EXPECT_NE(r.err.find("'league' needs at least one game file"), std::string::npos);
    r = run({"--database", text, "league", text});
    EXPECT_EQ(r.status, kUsage);
    EXPECT_EQ(fileBytes(text), "not a game");
}

using DebriefCli = CommandTest;

#ifdef TESSARO_HAVE_DEBRIEF

TEST_F(DebriefCli, writesThePdfOnTheChosenPaperWithoutADisplay) {
    const auto game = team("game", {{"4200", "17"}});
    const auto a4 = dir.file("a4.pdf");
    Result r = run({"--database", game, "debrief", a4});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_EQ(r.out, "Debrief Report: written to " + a4 + "\n");
    EXPECT_EQ(r.err, "");  // nothing of Qt's own notes
    const std::string pdf = fileBytes(a4);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/MediaBox [0 0 595"), std::string::npos);

    const auto letter = dir.file("letter.pdf");
    r = run({"debrief", letter, "--paper", "Letter", "--database", game});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(fileBytes(letter).find("/MediaBox [0 0 612"), std::string::npos);
    r = run({"--database", game, "debrief", letter, "--paper=a4"});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(fileBytes(letter).find("/MediaBox [0 0 595"), std::string::npos);
}

TEST_F(DebriefCli, failuresSayWhyExitTwoAndLeaveTheFilesAsTheyWere) {
    const auto out = dir.file("out.pdf");
    std::ofstream(out) << "older debrief";

    const auto missing = dir.file("missing.mdb");
    Result r = run({"--database", missing, "debrief", out});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_EQ(r.err, "Debrief Report: The game database " + missing + " does not exist.\n");
    EXPECT_FALSE(std::filesystem::exists(missing));  // not made a new game

    const auto game = team("game", {});
    const std::string gameBytes = fileBytes(game);
    r = run({"--database", game, "debrief", game});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_EQ(r.err,
              "Debrief Report: The debrief is not written over the game database " + game + ".\n");
    EXPECT_EQ(fileBytes(game), gameBytes);

    r = run({"--database", game, "debrief", dir.path().string()});
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_NE(r.err.find("The debrief cannot be written to " + dir.path().string()),
              std::string::npos)
        << r.err;
    EXPECT_EQ(fileBytes(out), "older debrief");
}

#endif

// Without the window program beside it (a build without the windows, or a
// broken install), tessaro-cli says it cannot write PDFs.
TEST_F(DebriefCli, withoutTheWindowProgramSaysItCannotWritePdfs) {
    const auto game = team("game", {});
    ::setenv("TESSARO_WINDOW_PROGRAM", (dir.path() / "no-such-tessaro").c_str(), 1);
    const Result r = run({"--database", game, "debrief", dir.file("out.pdf")});
    ::unsetenv("TESSARO_WINDOW_PROGRAM");
    EXPECT_EQ(r.status, kDatabaseFailed);
    EXPECT_NE(r.err.find("cannot write PDFs"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no-such-tessaro"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
}

TEST_F(DebriefCli, refusesAWrongCommandLine) {
    const auto game = team("game", {});
    Result r = run({"--database", game, "debrief"});
    EXPECT_EQ(r.status, kUsage);
    r = run({"--database", game, "debrief", "a.pdf", "b.pdf"});
    EXPECT_EQ(r.status, kUsage);
    r = run({"--database", game, "debrief", dir.file("a.pdf"), "--paper", "b5"});
    EXPECT_EQ(r.status, kUsage);
    EXPECT_NE(r.err.find("unknown paper size 'b5' (a4 or letter)"), std::string::npos);
    r = run({"--database", game, "debrief", dir.file("a.pdf"), "--paper"});
    EXPECT_EQ(r.status, kUsage);
    r = run({"--database", game, "status", "--paper", "a4"});
    EXPECT_EQ(r.status, kUsage);
    r = run({"--database", game, "debrief", dir.file("a.pdf"), "--csv"});
    EXPECT_EQ(r.status, kUsage);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.pdf")));
    EXPECT_NE(run({"debrief", "--help"}).out.find("--paper a4|letter"), std::string::npos);
    EXPECT_NE(run({"--help"}).out.find("league FILE... [--csv]"), std::string::npos);
}

}  // namespace
}  // namespace tessaro::cli
