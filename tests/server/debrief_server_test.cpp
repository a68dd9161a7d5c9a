// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief of a team's game on a class server: read by the model as from
// the same game in a file, and written as a PDF, though the game has no
// file of its own.
#include <gtest/gtest.h>

#include <fstream>

#include "model/classroom.h"
#include "model/debriefdata.h"
#include "model/tables.h"
#include "servertest.h"
#include "store/gamelocation.h"
#include "ui/debrief/debrief.h"

namespace tessaro::testing {
namespace {

TEST(ServerDebrief, readsAsTheSameGameInAFileAndIsWritten) {
    ServerClass server;
    const auto teams = server.init({"plum"});
    const std::string game = server.game(teams[0]);
    for (const char* production : {"3000", "4100", "2500"})
        ASSERT_EQ(press(game, production, "12", "WOTA"), model::RunOutcome::PlanRun);
    TempDir dir;
    const std::string file = dir.file("plum.mdb");
    model::exportGame(model::teamGame(server.teacher(), teams[0]), file);
    const std::string fileGame = store::connectionStringForFile(file);

    const auto onServer = model::readDebrief(game);
    const auto onFile = model::readDebrief(fileGame);
    ASSERT_FALSE(onServer.failure);
    ASSERT_FALSE(onFile.failure);
    EXPECT_EQ(onServer.data.planCount, onFile.data.planCount);
    ASSERT_EQ(onServer.data.quarters.size(), onFile.data.quarters.size());
    for (std::size_t i = 0; i < onFile.data.quarters.size(); ++i) {
        EXPECT_EQ(onServer.data.quarters[i].sheet, onFile.data.quarters[i].sheet) << i;
        EXPECT_EQ(onServer.data.quarters[i].runningTotal, onFile.data.quarters[i].runningTotal);
    }
    EXPECT_EQ(onServer.data.report.variablesGrid(), onFile.data.report.variablesGrid());
    ASSERT_EQ(onServer.data.plots.size(), onFile.data.plots.size());
    for (std::size_t i = 0; i < onFile.data.plots.size(); ++i)
        EXPECT_EQ(onServer.data.plots[i].values, onFile.data.plots[i].values) << i;
    EXPECT_EQ(model::readHistory(game).rows, model::readHistory(fileGame).rows);

    const std::string pdf = dir.file("plum.pdf");
    EXPECT_EQ(ui::writeDebrief(game, pdf, ui::Paper::A4), "");
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
}

TEST(ServerDebrief, aGameWithNothingToReportWritesNothing) {
    ServerClass server;
    const auto teams = server.init({"pear"});
    const std::string game = server.game(teams[0]);
    adminSql("DELETE FROM " + teams[0] + ".pldi", server.database());
    TempDir dir;
    const std::string pdf = dir.file("pear.pdf");
    const std::string error = ui::writeDebrief(game, pdf, ui::Paper::Letter);
    EXPECT_EQ(error, "No debrief written: Plan Number: No Data to Show Plan Number!!!");
    EXPECT_FALSE(std::ifstream(pdf).good());
}

}  // namespace
}  // namespace tessaro::testing
