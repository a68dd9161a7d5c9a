// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/runstopped.h"
#include "store/connection.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

// The starting row of the worked first step.
StartingRow workedRow() {
    StartingRow r;
    r.planNumber = 1;
    r.productionOrders = 3300;
    r.traineesHiring = 12;
    FirmState& s = r.state;
    s.experiencedPeople = 120;
    s.traineePeople = 10;
    s.traineesToHire = 4;
    s.productQuality = 1;
    s.customerComplaints = 1;
    s.inventory = 500;
    s.orderBacklog = 800;
    s.productionStage1 = s.productionStage2 = s.productionRate = 1000;
    s.trainingStage1 = s.trainingStage2 = s.trainingCompletionRate = 3;
    s.quittingStage1 = s.quittingStage2 = s.quittingRate = 3;
    return r;
}

std::vector<std::string> statements(const StartingRow& start) {
    ModelTables tables;
    fillTables(tables);
    std::vector<std::string> out;
    simulateQuarter(start, tables, [&](const std::string& s) { out.push_back(s); });
    return out;
}

class Simulation : public ::testing::Test {
protected:
    void SetUp() override { fillTables(tables); }
    ModelTables tables;
};

TEST_F(Simulation, workedFirstStepRates) {
    const StartingRow start = workedRow();
    FirmState s = start.state;
    const Auxiliaries a = computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(a.effectivePeople, 115);
    EXPECT_DOUBLE_EQ(a.outputPerPerson, 1000.0 / 115);
    EXPECT_NEAR(a.attainableQuality, 1.0521739130434782, 1e-15);
    EXPECT_DOUBLE_EQ(a.indicatedComplaints, 1);
    EXPECT_DOUBLE_EQ(a.hiringFraction, 0.0258);
    EXPECT_DOUBLE_EQ(a.indicatedOrders, 1000);
    EXPECT_DOUBLE_EQ(s.orderRate, 1200);
    EXPECT_DOUBLE_EQ(a.desiredProduction, 1100);
    EXPECT_DOUBLE_EQ(a.desiredHiring, 4);
    EXPECT_DOUBLE_EQ(s.hiringRate, 2);
    EXPECT_DOUBLE_EQ(s.productionStage1, 1012.5);
    EXPECT_DOUBLE_EQ(s.productionStage2, 1001.5625);
    EXPECT_DOUBLE_EQ(s.productionRate, 1000.1953125);
    EXPECT_DOUBLE_EQ(s.trainingStage1, 2.875);
    EXPECT_DOUBLE_EQ(s.trainingStage2, 2.984375);
    EXPECT_DOUBLE_EQ(s.trainingCompletionRate, 2.998046875);
    EXPECT_NEAR(s.quittingRate, 2.99999999779, 1e-11);
    EXPECT_LT(s.quittingRate, 3);
    EXPECT_DOUBLE_EQ(s.orderFillingRate, 500);

    EXPECT_EQ(traceInsertText(start.planNumber, 0, s, a),
              "INSERT INTO PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR) "
              "VALUES(1, 0, 1.05, 1, 1, 120, 10, 500, 800, 2, 3, 1000.1953125, 1200, 500)");

    integrateLevels(s, a);
    EXPECT_DOUBLE_EQ(s.traineePeople, 9.875244140625);
    EXPECT_NEAR(s.experiencedPeople, 119.9997558, 1e-7);
    EXPECT_NEAR(s.productQuality, 1.0010869565217, 1e-12);
    EXPECT_DOUBLE_EQ(s.customerComplaints, 1);
    EXPECT_DOUBLE_EQ(s.inventory, 562.5244140625);
    EXPECT_DOUBLE_EQ(s.orderBacklog, 887.5);
    EXPECT_DOUBLE_EQ(s.traineesToHire, 4.25);
}

TEST_F(Simulation, firstQuarterIgnoresTheDecisionsOfItsRow) {
    StartingRow start = workedRow();
    start.planNumber = 0;
    start.productionOrders = 5000;
    start.traineesHiring = 25;
    FirmState s = start.state;
    const Auxiliaries a = computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(a.desiredProduction, 1000);
    EXPECT_DOUBLE_EQ(a.desiredHiring, 3.3);
    EXPECT_DOUBLE_EQ(s.hiringRate, (120 + 10) * 0.0258);
}

TEST_F(Simulation, quarterlyDecisionsBecomeMonthlyTargets) {
    StartingRow start = workedRow();
    start.productionOrders = 3000;
    start.traineesHiring = 10;
    start.state.traineesToHire = 7;
    FirmState s = start.state;
    const Auxiliaries a = computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(a.desiredProduction, 1000);
    EXPECT_DOUBLE_EQ(a.desiredHiring, 10.0 / 3);
    EXPECT_DOUBLE_EQ(s.hiringRate, 3.5);  // half of the trainees still to hire, per month
}

TEST_F(Simulation, orderFillingTakesTheSmallerOfInventoryAndBacklog) {
    StartingRow start = workedRow();
    FirmState s = start.state;
    computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(s.orderFillingRate, 500);
    s = start.state;
    s.inventory = s.orderBacklog = 600;
    computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(s.orderFillingRate, 600);
    s = start.state;
    s.inventory = 900;
    computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(s.orderFillingRate, 800);
}

TEST_F(Simulation, levelsAreFlooredAtZeroButRatesAreNot) {
    StartingRow start = workedRow();
    start.productionOrders = 0;  // a row without decisions: production target 0
    start.state.inventory = 50;
    start.state.productionRate = start.state.productionStage1 = start.state.productionStage2 = -800;
    start.state.traineePeople = 1;
    start.state.trainingStage1 = start.state.trainingStage2 = 100;
    start.state.trainingCompletionRate = 100;
    FirmState s = start.state;
    const Auxiliaries a = computeRates(s, tables, start);
    EXPECT_DOUBLE_EQ(a.desiredProduction, 0);
    integrateLevels(s, a);
    EXPECT_EQ(s.inventory, 0);      // 50 + (-800 - 50) / 8 would be negative
    EXPECT_EQ(s.traineePeople, 0);  // 1 + (2 - ~100) / 8 would be negative
    EXPECT_LT(s.productionRate, 0);
    EXPECT_GT(s.trainingCompletionRate, 90);

    // The next step's trace row shows the floored level and the negative rate.
    const auto texts = statements(start);
    const std::string& second = texts[2];
    const auto values = second.substr(second.find("VALUES(") + 7);
    EXPECT_EQ(values.rfind("1, 0.125, ", 0), 0u) << second;
    std::vector<std::string> fields;
    std::string field;
    for (char c : values) {
        if (c == ',' || c == ')') {
            fields.push_back(field);
            field.clear();
        } else if (c != ' ') {
            field += c;
        }
    }
    ASSERT_EQ(fields.size(), 14u);
    EXPECT_EQ(fields[6], "0");           // ETT
    EXPECT_EQ(fields[7], "0");           // EINV
    EXPECT_EQ(fields[11].front(), '-');  // EPR
}

TEST_F(Simulation, aQuarterWritesTwentyFiveTraceRowsAndTheNextRowAfterStep24) {
    const auto texts = statements(workedRow());
    ASSERT_EQ(texts.size(), 1u + 25u + 1u);
    EXPECT_EQ(texts[0], "delete * from PLED");
    for (int i = 1; i <= 24; ++i) EXPECT_EQ(texts[i].rfind("INSERT INTO PLED(", 0), 0u) << i;
    EXPECT_EQ(texts[25].rfind("INSERT INTO PLIO(PNPLPD,PT,PTT,PFT,POQ,POC,PINV,POBL,PP1,PP2,PT1,"
                              "PT2,PQ1,PQ2,PHR,PTCT,PQR,PPR,POR,POFR) VALUES(2, ",
                              0),
              0u)
        << texts[25];
    EXPECT_EQ(texts[26].rfind("INSERT INTO PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,"
                              "EQR,EPR,EOR,EOFR) VALUES(1, 3, ",
                              0),
              0u)
        << texts[26];
    EXPECT_NE(texts[24].find("VALUES(1, 2.875, "), std::string::npos);
}

TEST_F(Simulation, nextRowHoldsTheStateAfterStep24RoundedAsStored) {
    const StartingRow start = workedRow();
    FirmState s = start.state;
    for (int step = 1; step <= 24; ++step) integrateLevels(s, computeRates(s, tables, start));
    const std::string expected = nextQuarterInsertText(start.planNumber, s);
    EXPECT_EQ(statements(start)[25], expected);

    // The stored values are rounded: 2 decimals for people flows, 7 for the rest.
    FirmState r;
    r.experiencedPeople = 1.0 / 3;
    r.traineesToHire = 2.125;
    r.productQuality = 0.123456789;
    r.trainingStage1 = 2.625;
    r.productionRate = 1000.00000005;
    const std::string text = nextQuarterInsertText(5, r);
    EXPECT_EQ(text.substr(text.find("VALUES(")),
              "VALUES(6, 0.333333333333333, 0, 2.12, 0.1234568, 0, 0, 0, 0, 0, 2.62, 0, 0, 0, "
              "0, 0, 0, 1000, 0, 0)");
}

TEST_F(Simulation, statesTheModelCannotRunAreRefusedBeforeAnyStatement) {
    testing::TempDir dir;
    const auto cs = testing::newGame(dir);
    auto readLast = [&] {
        store::Connection db(cs, store::Access::Read);
        auto plio = db.openRecordset("Select * from PLIO");
        plio.moveLast();
        return readStartingRow(plio);
    };
    EXPECT_NO_THROW(readLast());

    testing::sql(cs, "UPDATE PLIO SET PT1=NULL WHERE PNPLPD=1");
    try {
        readLast();
        FAIL() << "an empty state column was accepted";
    } catch (const RunStopped& e) {
        EXPECT_NE(e.box().text.find("PT1"), std::string::npos) << e.box().text;
        EXPECT_EQ(e.box().title, "SD Run For Tessaro");
        EXPECT_EQ(e.box().icon, Icon::Critical);
    }

    testing::sql(cs, "UPDATE PLIO SET PT1=2, PT=5, PTT=10 WHERE PNPLPD=1");
    EXPECT_THROW(readLast(), RunStopped);  // no effective people

    testing::sql(cs, "UPDATE PLIO SET PT=100, PNPLPD=32767 WHERE PNPLPD=1");
    try {
        readLast();
        FAIL() << "plan-quarter 32767 was accepted";
    } catch (const RunStopped& e) {
        EXPECT_NE(e.box().text.find("32767"), std::string::npos);
    }
    testing::sql(cs, "UPDATE PLIO SET PNPLPD=32766 WHERE PNPLPD=32767");
    EXPECT_EQ(readLast().planNumber, 32766);
}

TEST_F(Simulation, decisionsReadAsWholeNumbersAndEmptyAsZero) {
    testing::TempDir dir;
    const auto cs = testing::newGame(dir);
    auto readLast = [&] {
        store::Connection db(cs, store::Access::Read);
        auto plio = db.openRecordset("Select * from PLIO");
        plio.moveLast();
        return readStartingRow(plio);
    };
    EXPECT_EQ(readLast().productionOrders, 0);
    EXPECT_EQ(readLast().traineesHiring, 0);
    testing::sql(cs, "UPDATE PLIO SET PORD=2500.5, PHRD=12 WHERE PNPLPD=1");
    EXPECT_EQ(readLast().productionOrders, 2500);
    EXPECT_EQ(readLast().traineesHiring, 12);
}

TEST_F(Simulation, effectivePeopleReachingZeroMidQuarterStopsBeforeThatStepsRow) {
    StartingRow start = workedRow();
    // Experienced people exactly half the trainees after the first step is
    // hard to reach; a quarter that starts with them at zero stops at once.
    start.state.experiencedPeople = 5;
    start.state.traineePeople = 10;
    std::vector<std::string> written;
    EXPECT_THROW(
        simulateQuarter(start, tables, [&](const std::string& s) { written.push_back(s); }),
        RunStopped);
    // Only the emptying of the trace had been handed over.
    EXPECT_EQ(written.size(), 1u);
}

// Whatever the state, the model hands over only texts with numbers in them,
// or stops with its own message: an inventory that overflows in the very
// step whose state becomes the next quarter's row is refused there too.
TEST_F(Simulation, aStateThatOverflowsInTheLastStepNeverReachesAText) {
    StartingRow start = workedRow();
    start.state.productionStage1 = start.state.productionStage2 = start.state.productionRate =
        1e307;
    start.state.orderBacklog = 0;
    // The run either completes or stops; find, by halving, the smallest
    // starting inventory that overflows, which overflows as late as any.
    const auto completes = [&](double inventory, std::vector<std::string>* texts) {
        StartingRow row = start;
        row.state.inventory = inventory;
        try {
            simulateQuarter(row, tables, [&](const std::string& t) {
                if (texts) texts->push_back(t);
            });
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    };
    double fits = 0, overflows = std::numeric_limits<double>::max();
    ASSERT_TRUE(completes(fits, nullptr));
    ASSERT_FALSE(completes(overflows, nullptr));
    while (std::nextafter(fits, overflows) < overflows) {
        const double middle = fits + (overflows - fits) / 2;
        (completes(middle, nullptr) ? fits : overflows) = middle;
    }
    for (const double inventory : {fits, overflows}) {
        std::vector<std::string> texts;
        completes(inventory, &texts);
        for (const auto& t : texts) {
            EXPECT_EQ(t.find("Infinity"), std::string::npos) << t;
            EXPECT_EQ(t.find("NaN"), std::string::npos) << t;
        }
        // Up to the next quarter's row at most: the 25th row is not reached
        // when the 24th step overflowed.
        if (inventory == overflows) {
            EXPECT_LE(texts.size(), 25u);
        } else {
            EXPECT_EQ(texts.size(), 27u);
        }
    }
}

}  // namespace
}  // namespace tessaro::model
