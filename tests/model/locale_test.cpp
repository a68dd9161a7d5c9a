// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game reads decisions and passwords, and writes its statement texts,
// the same whatever C library locale the window toolkit leaves the process
// in: a decimal comma (German) or a dotted and dotless i (Turkish) must
// change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/module1.h"
#include "model/runcommand.h"
#include "model/simulation.h"
#include "store/connection.h"
#include "store/numbertext.h"
#include "store/value.h"
#include "testgame.h"
#include "testlocale.h"

namespace tessaro::model {
namespace {

const std::vector<std::string> kDecisionTexts = {
    "1999.6", "1999,6", " 2 500.5 ", "3E3", "2.5e+3x", "-12.75", "+7abc", ".5",
    "1e999",  "-1e999", "1e-999",    "abc", "",        "4999.5", "25.49"};

const std::vector<double> kNumbers = {
    0.125,     1.0521739130434783,  -350,    2.12, 1e-5, 1.5e20, 1000.1953125, 0.1, 2.675,
    -0.000123, 12345678901234567.0, 94.53125};

// Everything the game derives from texts and numbers, computed in one go so
// that the C locale and another one can be compared whole.
struct Readings {
    std::vector<double> decisions;
    std::vector<std::string> numerals;
    std::vector<std::optional<double>> storedTexts;
    std::string traceRow, nextRow;
    bool operator==(const Readings&) const = default;
};

Readings readEverything() {
    Readings r;
    for (const auto& t : kDecisionTexts) r.decisions.push_back(leadingNumber(t));
    for (double v : kNumbers) r.numerals.push_back(store::numberText(v));
    for (const char* t : {"12.75", "1E-05", "-3", "12,75", " 12", "x"})
        r.storedTexts.push_back(store::Value::text(t).number());
    StartingRow start;
    start.planNumber = 1;
    start.state.experiencedPeople = 120;
    start.state.traineePeople = 10;
    start.state.productQuality = 1.0010869565217391;
    start.state.inventory = 562.5244140625;
    start.state.productionRate = 1000.1953125;
    Auxiliaries aux;
    aux.attainableQuality = 1.0521739130434783;
    r.traceRow = traceInsertText(1, 0.125, start.state, aux);
    r.nextRow = nextQuarterInsertText(1, start.state);
    return r;
}

TEST(OtherLocales, readAndWriteNumbersAsTheCLocaleDoes) {
    const Readings inC = readEverything();
    // What the C locale itself gives, so that a fault common to all locales
    // shows too.
    EXPECT_DOUBLE_EQ(inC.decisions[0], 1999.6);
    EXPECT_DOUBLE_EQ(inC.decisions[1], 1999);  // a comma ends the number
    EXPECT_DOUBLE_EQ(inC.decisions[2], 2500.5);
    EXPECT_EQ(inC.numerals[0], "0.125");
    EXPECT_EQ(inC.numerals[4], "1E-05");
    EXPECT_EQ(inC.numerals[5], "1.5E+20");
    EXPECT_EQ(inC.storedTexts[0], 12.75);
    EXPECT_EQ(inC.storedTexts[3], std::nullopt);
    EXPECT_NE(inC.traceRow.find("0.125, 1.05"), std::string::npos) << inC.traceRow;

    for (const char* name : testlocale::kOtherLocales) {
        testlocale::Scoped locale(name);
        ASSERT_TRUE(locale.active()) << locale.why();
        const Readings there = readEverything();
        EXPECT_EQ(there.decisions, inC.decisions) << name;
        EXPECT_EQ(there.numerals, inC.numerals) << name;
        EXPECT_EQ(there.storedTexts, inC.storedTexts) << name;
        EXPECT_EQ(there.traceRow, inC.traceRow) << name;
        EXPECT_EQ(there.nextRow, inC.nextRow) << name;
    }
}

class OtherLocaleGame : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { cs = testing::newGame(dir); }
    testing::TempDir dir;
    std::string cs;
};

TEST_P(OtherLocaleGame, playsAndReinitialisesWithLowerCasePasswords) {
    testlocale::Scoped locale(GetParam());
    ASSERT_TRUE(locale.active()) << locale.why();

    // A decimal point in the decision, the run password in lower case.
    EXPECT_EQ(testing::press(cs, "1999.6", "10", "wota"), RunOutcome::PlanRun);
    EXPECT_EQ(testing::scalarText(cs, "SELECT PORD FROM PLIO WHERE PNPLPD=1"), "2000");
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);

    // Column names are found without regard to case: "pinv" and "PINV"
    // (a Turkish lower-casing of I would miss it).
    store::Connection db(cs, store::Access::Read);
    auto plio = db.openRecordset("Select * from PLIO");
    plio.moveLast();
    EXPECT_FALSE(plio["pinv"].isEmpty());
    EXPECT_EQ(plio["PINV"], plio["pinv"]);
    EXPECT_EQ(plio["Pnplpd"].toText(), "2");

    // "pelix" is the re-initialisation password in every locale.
    EXPECT_EQ(testing::press(cs, "", "", "pelix"), RunOutcome::Reinitialised);
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
}

INSTANTIATE_TEST_SUITE_P(Locales, OtherLocaleGame, ::testing::ValuesIn(testlocale::kOtherLocales),
                         [](const auto& info) { return std::string(info.param).substr(0, 5); });

}  // namespace
}  // namespace tessaro::model
