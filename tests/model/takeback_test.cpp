// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Taking back the last quarter: the game it leaves is the game as it stood
// before that quarter, and the same decisions again give the same game.
#include "model/takeback.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/runcommand.h"
#include "store/connection.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

using testing::dump;
using testing::press;

struct Decision {
    const char* production;
    const char* hiring;
};
constexpr Decision kPlays[] = {{"3500", "12"}, {"2200", "25"}, {"4800", "5"}, {"3000", "18"}};

class TakeBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        cs = testing::newGame(dir);
        states.push_back(dump(cs));
        for (const auto& d : kPlays) {
            ASSERT_EQ(press(cs, d.production, d.hiring, "WOTA"), RunOutcome::PlanRun);
            states.push_back(dump(cs));
        }
    }
    TakeBack takeBack(const std::string& password = "PELIX") {
        return takeBackLastQuarter(cs, password);
    }
    std::string value(const std::string& select) { return testing::scalarText(cs, select); }

    testing::TempDir dir;
    std::string cs;
    std::vector<std::string> states;  // the game after 0, 1, 2 ... of the plays
};

TEST_F(TakeBackTest, theSameDecisionsAfterATakeBackGiveTheSameGameAgain) {
    const auto taken = takeBack();
    ASSERT_EQ(taken.outcome, TakeBackOutcome::TakenBack);
    ASSERT_EQ(taken.messages.size(), 1u);
    EXPECT_EQ(taken.messages[0].title, kTakeBackTitle);
    EXPECT_NE(taken.messages[0].text.find("plan-quarter 5 again"), std::string::npos)
        << taken.messages[0].text;
    // The game as it stood before the last run: its trace, its rows, and the
    // decisions of its last row empty again, as they were.
    EXPECT_EQ(dump(cs), states[3]);
    EXPECT_EQ(value("SELECT count(*) FROM PLIO WHERE PNPLPD=4 AND PORD IS NULL"), "1");

    ASSERT_EQ(press(cs, kPlays[3].production, kPlays[3].hiring, "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(dump(cs), states[4]);
    // And a different decision after it gives a different game.
    ASSERT_EQ(takeBack().outcome, TakeBackOutcome::TakenBack);
    ASSERT_EQ(press(cs, "3001", "18", "WOTA"), RunOutcome::PlanRun);
    EXPECT_NE(dump(cs), states[4]);
}

TEST_F(TakeBackTest, quartersComeBackOneAfterAnotherDownToTheFirst) {
    for (int i = 3; i >= 0; --i) {
        ASSERT_EQ(takeBack().outcome, TakeBackOutcome::TakenBack) << i;
        EXPECT_EQ(dump(cs), states[static_cast<std::size_t>(i)]) << i;
    }
    // The first quarter, which the new game ran by itself, stays.
    const auto nothing = takeBack();
    EXPECT_EQ(nothing.outcome, TakeBackOutcome::Refused);
    ASSERT_EQ(nothing.messages.size(), 1u);
    EXPECT_EQ(nothing.messages[0].text,
              "There is no plan-quarter to take back: the game stands at its first "
              "plan-quarter.");
    EXPECT_EQ(nothing.messages[0].icon, Icon::Critical);
    EXPECT_EQ(dump(cs), states[0]);

    // Replayed, the game is the one played before.
    for (const auto& play : kPlays)
        ASSERT_EQ(press(cs, play.production, play.hiring, "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(dump(cs), states.back());

    // After a re-initialisation there is again nothing to take back.
    ASSERT_EQ(press(cs, "", "", "PELIX"), RunOutcome::Reinitialised);
    EXPECT_EQ(takeBack().outcome, TakeBackOutcome::Refused);
    EXPECT_EQ(value("SELECT count(*) FROM TAKEBACK"), "0");
}

TEST_F(TakeBackTest, onlyTheReinitialisationPasswordTakesAQuarterBack) {
    for (const char* wrong : {"WOTA", "PELIX ", "PELI", ""}) {
        const auto r = takeBack(wrong);
        EXPECT_EQ(r.outcome, TakeBackOutcome::Refused) << wrong;
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].title, "Invalid Password");
        EXPECT_EQ(dump(cs), states.back());
    }
    EXPECT_EQ(takeBack("pelix").outcome, TakeBackOutcome::TakenBack);
}

TEST_F(TakeBackTest, theDecisionsOfTheRowBeforeStandAsTheyStoodBeforeTheRun) {
    // Decisions left in the last row (by a run whose quarter failed, say)
    // before the run that is taken back.
    ASSERT_EQ(takeBack().outcome, TakeBackOutcome::TakenBack);
    testing::sql(cs, "UPDATE PLIO SET PORD=4100, PHRD=7, PRORD=4100, PRHRD=7 WHERE PNPLPD=4");
    const auto withLeftDecisions = dump(cs);
    ASSERT_EQ(press(cs, "2500", "20", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(value("SELECT PORD||','||PRHRD FROM PLIO WHERE PNPLPD=4"), "2500,20");
    ASSERT_EQ(takeBack().outcome, TakeBackOutcome::TakenBack);
    EXPECT_EQ(dump(cs), withLeftDecisions);
}

TEST_F(TakeBackTest, aGamePlayedBeforeTheTableWasKeptIsTakenBackOnlyAsFarAsItWasKept) {
    testing::sql(cs, "DROP TABLE TAKEBACK");
    const auto old = dump(cs);
    auto r = takeBack();
    EXPECT_EQ(r.outcome, TakeBackOutcome::Refused);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].text.find("played before the game kept what it needs"),
              std::string::npos)
        << r.messages[0].text;
    EXPECT_EQ(dump(cs), old);

    // The next run keeps its quarter: that one comes back, the older ones not.
    ASSERT_EQ(press(cs, "3300", "9", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(takeBack().outcome, TakeBackOutcome::TakenBack);
    EXPECT_EQ(testing::dump(cs).substr(0, old.size()), old);
    EXPECT_EQ(takeBack().outcome, TakeBackOutcome::Refused);
}

TEST_F(TakeBackTest, aGameChangedOutsideTheGameIsNotTakenBackAndKeptAsItIs) {
    // The last quarter's accounting edited by hand.
    testing::sql(cs, "UPDATE PLDI SET ZVG = ZVG + 1 WHERE ZNPLPD = 5");
    auto edited = dump(cs);
    auto r = takeBack();
    EXPECT_EQ(r.outcome, TakeBackOutcome::Refused);
    EXPECT_NE(r.messages.at(0).text.find("changed outside the game"), std::string::npos);
    EXPECT_EQ(dump(cs), edited);

    // A decision of the quarter before edited: its trace cannot be written
    // again as it was, so none is made up.
    testing::sql(cs,
                 "UPDATE PLDI SET ZVG = ZVG - 1 WHERE ZNPLPD = 5;"
                 "UPDATE PLIO SET PORD = PORD + 1 WHERE PNPLPD = 3");
    edited = dump(cs);
    r = takeBack();
    EXPECT_EQ(r.outcome, TakeBackOutcome::Refused);
    EXPECT_NE(r.messages.at(0).text.find("cannot be written again exactly"), std::string::npos)
        << r.messages.at(0).text;
    EXPECT_EQ(dump(cs), edited);

    // Plan numbers with a gap at the end.
    testing::sql(cs,
                 "UPDATE PLIO SET PORD = PORD - 1 WHERE PNPLPD = 3;"
                 "UPDATE PLIO SET PNPLPD = 9 WHERE PNPLPD = 5");
    edited = dump(cs);
    r = takeBack();
    EXPECT_NE(r.messages.at(0).text.find("not numbered 0, 1, 2"), std::string::npos);
    EXPECT_EQ(dump(cs), edited);
}

TEST_F(TakeBackTest, aTakeBackWaitsForTheFileAndGivesUpWithoutChangingAnything) {
    store::setBusyTimeout(200);
    {
        store::Connection other(cs, store::Access::Exclusive);
        const auto r = takeBack();
        EXPECT_EQ(r.outcome, TakeBackOutcome::Failed);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_NE(r.messages[0].text.find("is being used by another player"), std::string::npos);
    }
    store::setBusyTimeout(5000);
    EXPECT_EQ(dump(cs), states.back());
}

}  // namespace
}  // namespace tessaro::model
