// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Plays the golden scenario through the run command and compares every row
// of the three tables with the rows the reference model produced.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "store/connection.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table readCsv(const std::string& name) {
    std::ifstream in(std::string(GOLDEN_DIR) + "/" + name);
    EXPECT_TRUE(in) << "missing golden file " << name;
    Table rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, ',')) fields.push_back(field);
        if (!line.empty() && line.back() == ',') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

void expectTableMatches(const std::string& cs, const std::string& table, const Table& expected) {
    ASSERT_FALSE(expected.empty());
    const auto& head = expected.front();
    store::Connection db(cs, store::Access::Read);
    auto rs = db.openRecordset("Select * from " + table);
    ASSERT_EQ(rs.recordCount(), static_cast<int>(expected.size()) - 1) << table;
    for (std::size_t r = 1; r < expected.size(); ++r, rs.moveNext()) {
        for (std::size_t c = 0; c < head.size(); ++c) {
            const std::string& want = expected[r][c];
            const auto& got = rs[head[c]];
            const std::string where = table + " row " + std::to_string(r) + " " + head[c];
            if (want.empty()) {
                EXPECT_TRUE(got.isEmpty()) << where << " holds " << got.toText();
                continue;
            }
            ASSERT_TRUE(got.number().has_value()) << where << " is empty";
            const double w = std::stod(want);
            EXPECT_NEAR(*got.number(), w, std::fabs(w) * 1e-12 + 1e-300) << where;
        }
    }
}

TEST(GoldenScenario, tenQuartersMatchTheReferenceModelRowForRow) {
    testing::TempDir dir;
    const auto cs = testing::newGame(dir);
    const Table decisions = readCsv("decisions.csv");
    for (std::size_t i = 1; i < decisions.size(); ++i) {
        testing::RecordingPanel panel("", "", "");
        ASSERT_EQ(testing::press(cs, decisions[i][0], decisions[i][1], "WOTA", &panel),
                  RunOutcome::PlanRun)
            << "quarter " << i << ": "
            << (panel.messages.empty() ? "" : panel.messages.back().text);
    }
    expectTableMatches(cs, "PLIO", readCsv("plio.csv"));
    expectTableMatches(cs, "PLDI", readCsv("pldi.csv"));
    expectTableMatches(cs, "PLED", readCsv("pled.csv"));
}

}  // namespace
}  // namespace tessaro::model
