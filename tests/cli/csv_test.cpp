// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// CSV output that a spreadsheet reads back as the cells it was given, and
// never runs as a formula.
#include "csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli.h"
#include "model/gamefile.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::cli {
namespace {

TEST(CsvField, quotesEveryCharacterThatWouldEndOrSplitAField) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("Smith, Jones"), "\"Smith, Jones\"");
    EXPECT_EQ(csvField("the \"A\" team"), "\"the \"\"A\"\" team\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("carriage\rreturn"), "\"carriage\rreturn\"");
    EXPECT_EQ(csvField("\"\""), "\"\"\"\"\"\"");
}

TEST(CsvField, textThatASpreadsheetWouldRunGetsAQuoteButNumbersStay) {
    EXPECT_EQ(csvField("=1+1"), "'=1+1");
    EXPECT_EQ(csvField("+cmd"), "'+cmd");
    EXPECT_EQ(csvField("-2+3"), "'-2+3");
    EXPECT_EQ(csvField("-"), "'-");
    EXPECT_EQ(csvField("-e5"), "'-e5");
    EXPECT_EQ(csvField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(csvField("\t=1"), "'\t=1");
    EXPECT_EQ(csvField("\r=1"), "\"'\r=1\"");
    EXPECT_EQ(csvField("=HYPERLINK(\"x\",\"y\")"), "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"");
    // Only the first character makes a formula.
    EXPECT_EQ(csvField("a=b"), "a=b");
    for (const char* number : {"-3.5", "-1E+20", "+7", "12", "-0.5e-3", "-.5", "1e9"})
        EXPECT_EQ(csvField(number), number);
}

// The records of a CSV text, each a list of its fields, quotes taken off:
// a quoted field may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            record.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            record.emplace_back();
        } else if (!quoted && c == '\n') {
            records.push_back(record);
            record.assign(1, "");
        } else {
            record.back() += c;
        }
    }
    EXPECT_FALSE(quoted) << "a quote left open";
    EXPECT_EQ(record, std::vector<std::string>(1)) << "the last record has no line end";
    return records;
}

TEST(CsvLeague, aTeamNamedLikeAFormulaOrWithALineBreakReadsBackAsItsName) {
    testing::TempDir dir;
    std::vector<std::string> files;
    for (const std::string name : {R"(=HYPERLINK("x","y"))", "two\rlines", "-1"}) {
        files.push_back(dir.file(name + ".mdb"));
        model::ensureGameDatabase(store::connectionStringForFile(files.back()));
    }
    std::vector<std::string> args = {"league", "--csv"};
    args.insert(args.end(), files.begin(), files.end());
    std::ostringstream out, err;
    ASSERT_EQ(runCli(args, dir.path().string(), out, err), kDone) << err.str();

    const auto records = parseCsv(out.str());
    ASSERT_EQ(records.size(), 4u) << out.str();
    std::vector<std::string> teams;
    for (std::size_t r = 1; r < records.size(); ++r) {
        EXPECT_EQ(records[r].size(), records[0].size()) << out.str();
        teams.push_back(records[r].at(1));
    }
    std::sort(teams.begin(), teams.end());
    // A number-like name is the number; the others are text, guarded.
    EXPECT_EQ(teams, (std::vector<std::string>{"'=HYPERLINK(\"x\",\"y\")", "-1", "two\rlines"}));
}

}  // namespace
}  // namespace tessaro::cli
