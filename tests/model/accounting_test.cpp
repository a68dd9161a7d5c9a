// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/accounting.h"

#include <gtest/gtest.h>

#include "model/runstopped.h"
#include "store/connection.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

// Sums over 24 steps of a quarter with the given averages (levels) and
// quarter totals (rates).
TraceSums quarterOf(double experienced, double trainees, double hired, double quit, double produced,
                    double inventory, double backlog, double filled) {
    TraceSums s;
    s.et = experienced * 24;
    s.ett = trainees * 24;
    s.ehr = hired * 8;
    s.eqr = quit * 8;
    s.epr = produced * 8;
    s.einv = inventory * 24;
    s.eobl = backlog * 24;
    s.eofr = filled * 8;
    s.eor = filled * 8;
    s.eoq = 24;
    s.eoc = 24;
    return s;
}

TEST(PriceQuarter, workedQuarter) {
    const auto a = priceQuarter(3, quarterOf(120, 10, 10, 3.5, 3000, 250, 500, 2900), 0);
    EXPECT_EQ(a.hiringCost, 1000);
    EXPECT_EQ(a.quittingCost, 350);
    EXPECT_EQ(a.experiencedSalaries, 7200);
    EXPECT_EQ(a.traineeSalaries, 300);
    EXPECT_EQ(a.manpowerCost, 8850);
    EXPECT_EQ(a.productionCost, 11500);
    EXPECT_EQ(a.inventoryCost, 100);
    EXPECT_EQ(a.backlogCost, 200);
    EXPECT_EQ(a.totalCost, 20650);
    EXPECT_EQ(a.earnings, 20300);
    EXPECT_EQ(a.gameValue, -350);  // stored negative, nothing clamped
    EXPECT_EQ(a.planNumber, 4);
}

TEST(PriceQuarter, moneyRoundsUpAtTheHalfWhileQuantitiesRoundHalvesToEven) {
    const auto a = priceQuarter(0, quarterOf(120, 10, 10, 3.5, 3000, 250, 500, 2500.5), 0);
    EXPECT_EQ(a.totalFilled, 2500);
    EXPECT_EQ(a.earnings, 17504);
    const auto b = priceQuarter(0, quarterOf(120, 10, 10, 3.5, 3000, 250, 500, 2501.5), 0);
    EXPECT_EQ(b.totalFilled, 2502);
    // 0.5 hired is 50 thousand: rounded up; a quit total of 0.625 is 62.5: 63.
    const auto c = priceQuarter(0, quarterOf(0, 0, 0.5, 0.625, 0, 0, 0, 0), 0);
    EXPECT_EQ(c.hiringCost, 50);
    EXPECT_EQ(c.quittingCost, 63);
    EXPECT_EQ(c.totalHired, 0);
    EXPECT_EQ(c.totalQuit, 1);
}

TEST(PriceQuarter, runningTotalAndAverage) {
    const auto first = priceQuarter(0, quarterOf(120, 10, 10, 3.5, 3000, 250, 500, 2900), 0);
    EXPECT_EQ(first.totalGameValue, first.gameValue);
    EXPECT_EQ(first.averageGameValue, first.gameValue);

    // A quarter worth 500 after a total of 1000, third quarter: 1500 and 500.
    TraceSums s = quarterOf(0, 0, 0, 0, 0, 0, 0, 0);
    s.eofr = 8 * (4500.0 / 7);  // earnings 4500 against the fixed 4000
    const auto third = priceQuarter(2, s, 1000);
    EXPECT_EQ(third.gameValue, 500);
    EXPECT_EQ(third.totalGameValue, 1500);
    EXPECT_EQ(third.averageGameValue, 500);

    // A total of 5 after the second quarter averages 2.5: 2.
    TraceSums t = quarterOf(0, 0, 0, 0, 0, 0, 0, 0);
    t.eofr = 8 * (4005.0 / 7);
    const auto second = priceQuarter(1, t, 0);
    EXPECT_EQ(second.totalGameValue, 5);
    EXPECT_EQ(second.averageGameValue, 2);
}

TEST(AccountsInsertText, columnsAndRoundingsOfTheRow) {
    TraceSums s = quarterOf(120.5, 10.25, 10, 3.5, 3000, 250.4, 500.6, 2900);
    s.eoq = 24 * 0.98765;
    s.eoc = 24 * 1.005;
    const auto text = accountsInsertText(priceQuarter(0, s, 0));
    EXPECT_EQ(
        text.rfind("INSERT INTO PLDI(ZNPLPD,ZOQ,ZOC,ZT,ZTT,ZINV,ZOBL,ZHR,ZQR,ZPR,ZOR,ZOFR,ZTE,"
                   "ZTC,ZPC,ZOUC,ZINVC,ZINSC,ZHC,ZQC,ZSC,ZTTC,ZVG,ZTVG,ZCVG) VALUES(1, 0.99, ",
                   0),
        0u)
        << text;
    // ZT and ZTT unrounded, ZINV and ZOBL whole.
    EXPECT_NE(text.find(", 120.5, 10.25, 250, 501, "), std::string::npos) << text;
}

class AccountQuarter : public ::testing::Test {
protected:
    void SetUp() override { cs = testing::newGame(dir); }
    testing::TempDir dir;
    std::string cs;
};

TEST_F(AccountQuarter, firstQuarterDoesNotReadPldi) {
    testing::sql(cs, "DELETE FROM PLDI");
    store::Connection db(cs);
    accountQuarter(db, 0);
    EXPECT_EQ(testing::count(cs, "PLDI"), 1);
    EXPECT_EQ(testing::scalarText(cs, "SELECT ZTVG = ZVG AND ZCVG = ZVG FROM PLDI"), "1");
}

TEST_F(AccountQuarter, laterQuarterAddsToTheLastRunningTotal) {
    testing::sql(cs, "UPDATE PLDI SET ZTVG = 1000, ZNPLPD = 2");
    store::Connection db(cs);
    accountQuarter(db, 2);
    EXPECT_EQ(testing::scalarText(cs, "SELECT ZTVG - ZVG FROM PLDI WHERE ZNPLPD = 3"), "1000.0");
}

TEST_F(AccountQuarter, onlyTheFirst24TraceRowsCount) {
    testing::sql(cs, "DELETE FROM PLDI");
    store::Connection db(cs);
    accountQuarter(db, 0);
    const auto before = testing::scalarText(cs, "SELECT ZTE || ' ' || ZTC FROM PLDI");
    testing::sql(cs, "DELETE FROM PLDI; UPDATE PLED SET EOFR = 1e9, EPR = 1e9 WHERE ETIME = 3");
    accountQuarter(db, 0);
    EXPECT_EQ(testing::scalarText(cs, "SELECT ZTE || ' ' || ZTC FROM PLDI"), before);
    testing::sql(cs, "DELETE FROM PLDI; UPDATE PLED SET EOFR = 1e9 WHERE ETIME = 2.875");
    accountQuarter(db, 0);
    EXPECT_NE(testing::scalarText(cs, "SELECT ZTE || ' ' || ZTC FROM PLDI"), before);
}

TEST_F(AccountQuarter, emptyTablesStopWithTheGamesMessages) {
    testing::sql(cs, "DELETE FROM PLDI");
    store::Connection db(cs);
    try {
        accountQuarter(db, 1);
        FAIL();
    } catch (const RunStopped& e) {
        EXPECT_EQ(e.box(),
                  (MessageBox{"No Data In PLDI Table!!!", "SD Run For Tessaro", Icon::Critical}));
    }
    testing::sql(cs, "DELETE FROM PLED");
    try {
        accountQuarter(db, 0);
        FAIL();
    } catch (const RunStopped& e) {
        EXPECT_EQ(e.box(),
                  (MessageBox{"No Data In PLED Table!!!", "SD Run For Tessaro", Icon::Critical}));
    }
    EXPECT_EQ(testing::count(cs, "PLDI"), 0);
}

TEST_F(AccountQuarter, aShortOrIncompleteTraceStopsWithoutARow) {
    testing::sql(cs, "DELETE FROM PLDI; DELETE FROM PLED WHERE ETIME > 2");
    store::Connection db(cs);
    EXPECT_THROW(accountQuarter(db, 0), RunStopped);
    testing::sql(cs, "DELETE FROM PLED; INSERT INTO PLED(ENPLPD, ETIME) VALUES(0, 0)");
    EXPECT_THROW(accountQuarter(db, 0), RunStopped);
    EXPECT_EQ(testing::count(cs, "PLDI"), 0);
}

}  // namespace
}  // namespace tessaro::model
