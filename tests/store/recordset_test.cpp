// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Recordsets on long games: the rows fetched as the cursor moves are the rows
// a whole read gives, and what the board and a run read does not grow with
// the game.
#include "store/recordset.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/gameboard.h"
#include "store/asciitext.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "testgame.h"

namespace tessaro::store {
namespace {

using testing::TempDir;

// A game of `quarters` plan-quarters whose rows all differ: state values
// with fractions, empty decisions here and there, game values below 0.
std::string longGame(const TempDir& dir, int quarters) {
    auto cs = testing::newGame(dir);
    const std::string last = std::to_string(quarters);
    testing::sql(
        cs, "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < " + last +
                ") INSERT INTO PLIO SELECT i, PT + i / 7.0, PTT, PFT + (i % 13) * 0.01, POQ, "
                "POC, PINV - i, POBL + i * 0.5, PP1, PP2, PT1, PT2, PQ1, PQ2, PHR, PTCT, PQR, "
                "PPR, POR, POFR, CASE WHEN i % 11 = 0 THEN NULL ELSE 2000 + i % 3000 END, "
                "5 + i % 20, 2000 + i % 3000, 5 + i % 20 FROM n, (SELECT * FROM PLIO WHERE "
                "PNPLPD = 1);"
                "UPDATE PLIO SET PORD=3000, PHRD=10, PRORD=3000, PRHRD=10 WHERE PNPLPD=1;"
                "UPDATE PLIO SET PORD=NULL, PHRD=NULL, PRORD=NULL, PRHRD=NULL WHERE PNPLPD=" +
                last +
                ";"
                "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                last +
                ") INSERT INTO PLDI SELECT i, ZOQ, ZOC, ZT, ZTT, ZINV, ZOBL, ZHR, ZQR, ZPR, "
                "ZOR, ZOFR, ZTE, ZTC, ZPC, ZOUC, ZINVC, ZINSC, ZHC, ZQC, ZSC, ZTTC, "
                "ZVG - i, ZTVG - i * 3, ZCVG FROM n, PLDI");
    return cs;
}

std::string rowText(const Recordset& rs) {
    std::string out;
    for (const auto& c : rs.columns()) out += rs[c].toText() + "|";
    return out;
}

// Every way the readers move, on the game's select and on a whole read of
// the same rows.
void expectSameRows(Connection& db, const std::string& table, const std::string& key) {
    auto whole = db.openRecordset("SELECT * FROM " + table + " ORDER BY " + key + " LIMIT -1");
    auto fetched = db.openRecordset("Select * from " + table);
    ASSERT_EQ(fetched.recordCount(), whole.recordCount());
    ASSERT_EQ(fetched.columns(), whole.columns());
    const int n = whole.recordCount();
    int walked = 0;
    for (; !whole.eof(); whole.moveNext(), fetched.moveNext(), ++walked) {
        ASSERT_FALSE(fetched.eof()) << walked;
        ASSERT_EQ(rowText(fetched), rowText(whole)) << walked;
    }
    EXPECT_TRUE(fetched.eof());
    EXPECT_EQ(walked, n);
    fetched.moveNext();
    EXPECT_TRUE(fetched.eof());

    const auto after = [](Recordset& rs, int from, int count) {
        rs.moveFirst();
        rs.move(from);
        rs.move(count);
        return rs.eof() ? std::string("<eof>") : rowText(rs);
    };
    for (const auto& [from, count] : std::vector<std::pair<int, int>>{{0, 0},
                                                                      {0, 1},
                                                                      {0, 2},
                                                                      {0, 9},
                                                                      {0, 100},
                                                                      {0, n - 2},
                                                                      {0, n - 1},
                                                                      {0, n},
                                                                      {0, n + 5},
                                                                      {3, n - 5},
                                                                      {n / 2, 1},
                                                                      {n / 2, n / 4},
                                                                      {n - 3, 1},
                                                                      {n - 3, 2},
                                                                      {n - 3, 3},
                                                                      {5, -1}}) {
        EXPECT_EQ(after(fetched, from, count), after(whole, from, count)) << from << "+" << count;
    }
    fetched.moveLast();
    whole.moveLast();
    EXPECT_EQ(rowText(fetched), rowText(whole));
    fetched.move(1);
    EXPECT_TRUE(fetched.eof());
    EXPECT_THROW((void)fetched[key], std::out_of_range);
    fetched.moveFirst();
    whole.moveFirst();
    EXPECT_EQ(rowText(fetched), rowText(whole));
    // Columns by name in any case, empty values empty.
    EXPECT_EQ(fetched[lowerAscii(key)], fetched[key]);
}

TEST(LongGame, recordsetsGiveTheRowsAWholeReadGivesHoweverTheyMove) {
    TempDir dir;
    const auto cs = longGame(dir, 30000);
    Connection db(cs, Access::Read);
    Snapshot snapshot(db);
    expectSameRows(db, "PLIO", "PNPLPD");
    expectSameRows(db, "PLDI", "ZNPLPD");
    auto plio = db.openRecordset("Select * from PLIO");
    plio.moveFirst();
    plio.move(11 * 7);
    EXPECT_TRUE(plio["pord"].isEmpty());
    EXPECT_EQ(plio["PHRD"].toText(), std::to_string(5 + 77 % 20));
}

TEST(LongGame, aRecordsetOutlivingItsConnectionSaysSo) {
    TempDir dir;
    const auto cs = longGame(dir, 50);
    std::optional<Recordset> plio;
    {
        Connection db(cs, Access::Read);
        plio = db.openRecordset("Select * from PLIO");
        plio->moveLast();
        EXPECT_EQ((*plio)["PNPLPD"].toText(), "50");
    }
    EXPECT_EQ(plio->recordCount(), 51);
    // The first and last rows came with the recordset; any other must be
    // read, and cannot be.
    plio->moveFirst();
    EXPECT_EQ((*plio)["PNPLPD"].toText(), "0");
    EXPECT_THROW(plio->move(10), StoreError);
    plio->moveFirst();
    EXPECT_THROW(plio->moveNext(), StoreError);
}

// What a command reads, counted in rows and in pages of the file.
template <class Command>
ReadCounters readBy(Command&& command) {
    const auto before = readCounters();
    command();
    const auto after = readCounters();
    return {after.rows - before.rows, after.pages - before.pages};
}

TEST(LongGame, aRunAndTheBoardReadTheSameRowsInAShortAndInALongGame) {
    TempDir shortDir, longDir;
    const auto shortGame = longGame(shortDir, 5);
    const auto longOne = longGame(longDir, 30000);
    const long long filePages = std::stoll(testing::scalarText(longOne, "PRAGMA page_count"));
    ASSERT_GT(filePages, 1500);

    for (const auto& entry :
         std::vector<std::pair<std::string, std::function<void(const std::string&)>>>{
             {"run",
              [](const std::string& cs) {
                  ASSERT_EQ(testing::press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
              }},
             {"board", [](const std::string& cs) {
                  ASSERT_EQ(model::loadGameBoard(cs).reached, model::GameBoard::Stage::Complete);
              }}}) {
        // Structured bindings cannot be captured by clang 14.
        const auto& what = entry.first;
        const auto& command = entry.second;
        // The first write of a process into a file reads it whole once, to
        // refuse a damaged one; after that the file is known.
        command(shortGame);
        command(longOne);
        const auto small = readBy([&] { command(shortGame); });
        const auto large = readBy([&] { command(longOne); });
        // The same rows; a page or two more for each lookup in a deeper tree.
        EXPECT_LE(large.rows, small.rows + 2) << what;
        EXPECT_LE(large.pages, small.pages * 2 + 20) << what;
        EXPECT_LT(large.pages, filePages / 20) << what;
        EXPECT_GT(small.rows, 0) << what;
        EXPECT_GT(small.pages, 0) << what;
    }
}

}  // namespace
}  // namespace tessaro::store
