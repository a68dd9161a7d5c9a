// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/runcommand.h"

#include <gtest/gtest.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill is POSIX, not <csignal>'s
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "faultydisk.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "testgame.h"

namespace tessaro::model {
namespace {

using testing::press;
using testing::RecordingPanel;

const std::string kEnter = "Enter Appropriate parameters....";
const std::string kInvalid = "Invalid Input............ Or Field should not be Left Blank";
const std::string kLogin = "Login Failed :: For SD Run :: Invalid Password........";
const std::string kEntered = "The decisions are entered successfully.....";
const std::string kRunOver = "SD Simulation Run is now over !!!";
const std::string kReinitOver = "SD Reinitialization is now over !!!";

using Texts = std::vector<std::string>;

TEST(LeadingNumber, readsTheNumericStartOfTheText) {
    EXPECT_EQ(leadingNumber("3000"), 3000);
    EXPECT_EQ(leadingNumber(" 3 0 0 0 "), 3000);
    EXPECT_EQ(leadingNumber("\t2500\n.5"), 2500.5);
    EXPECT_EQ(leadingNumber("1999.5"), 1999.5);
    EXPECT_EQ(leadingNumber("-12"), -12);
    EXPECT_EQ(leadingNumber("+7abc"), 7);
    EXPECT_EQ(leadingNumber("3E3"), 3000);
    EXPECT_EQ(leadingNumber("2.5e+3x"), 2500);
    EXPECT_EQ(leadingNumber("12E"), 12);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("3000, PHRD=1 where 1=1 --"), 3000);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber("E3"), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("\r3000"), 0);  // a carriage return is not a blank
}

class RunCommandTest : public ::testing::Test {
protected:
    void SetUp() override { cs = testing::newGame(dir); }
    std::string value(const std::string& select) { return testing::scalarText(cs, select); }
    testing::TempDir dir;
    std::string cs;
};

TEST_F(RunCommandTest, aPlanRunStoresTheDecisionsRunsAndRebuildsTheBoard) {
    RecordingPanel panel("3000", "10", "wota");  // the password is not case-sensitive
    EXPECT_EQ(press(cs, "3000", "10", "wota", &panel), RunOutcome::PlanRun);
    EXPECT_EQ(panel.texts(), (Texts{kEntered, kRunOver}));
    EXPECT_EQ(panel.messages[0].title, "Succesfull updating");
    EXPECT_EQ(panel.messages[0].icon, Icon::None);
    EXPECT_EQ(panel.messages[1].title, "");  // the program's own title
    EXPECT_EQ(panel.focus, std::vector<Box>{Box::Production});
    EXPECT_EQ(panel.rebuilds, 1);
    EXPECT_EQ(panel.production + panel.hiring + panel.password, "");

    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
    EXPECT_EQ(testing::count(cs, "PLDI"), 2);
    EXPECT_EQ(testing::count(cs, "PLED"), 25);
    EXPECT_EQ(value("SELECT PORD||','||PHRD||','||PRORD||','||PRHRD FROM PLIO WHERE PNPLPD=1"),
              "3000,10,3000,10");
    EXPECT_EQ(value("SELECT count(*) FROM PLIO WHERE PORD IS NOT NULL"), "1");
    EXPECT_EQ(value("SELECT min(ENPLPD)||','||max(ENPLPD) FROM PLED"), "1,1");
    EXPECT_EQ(value("SELECT max(ZNPLPD) FROM PLDI"), "2");
}

TEST_F(RunCommandTest, decisionsAreReadAsRoundedNumbers) {
    EXPECT_EQ(press(cs, "1999.5", "10", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(value("SELECT PORD FROM PLIO WHERE PNPLPD=1"), "2000");
    EXPECT_EQ(press(cs, " 25 00 ", "5.5", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(value("SELECT PORD||','||PHRD FROM PLIO WHERE PNPLPD=2"), "2500,6");
}

TEST_F(RunCommandTest, rangeChecksPutTheFocusOnTheBoxToCorrect) {
    const auto before = testing::dump(cs);
    for (const auto& [production, hiring, focus] :
         {std::tuple{"1999.4", "10", Box::Production}, std::tuple{"5001", "10", Box::Production},
          std::tuple{"abc", "10", Box::Production}, std::tuple{"3000", "4", Box::Hiring},
          std::tuple{"3000", "26", Box::Hiring}, std::tuple{"3000", "1e400", Box::Hiring}}) {
        RecordingPanel panel("", "", "");
        EXPECT_EQ(press(cs, production, hiring, "WOTA", &panel), RunOutcome::Refused);
        ASSERT_EQ(panel.messages.size(), 1u) << production << " " << hiring;
        EXPECT_EQ(panel.messages[0],
                  (MessageBox{kInvalid, "Invalid Planned Data", Icon::Critical}));
        EXPECT_EQ(panel.focus, std::vector<Box>{focus});
        EXPECT_EQ(panel.rebuilds, 0);
    }
    EXPECT_EQ(press(cs, "5000", "25", "WOTA"), RunOutcome::PlanRun);  // the ends are accepted
    EXPECT_NE(testing::dump(cs), before);
}

TEST_F(RunCommandTest, wrongPasswordIsRefusedAndTheBoxesStayAsTyped) {
    const auto before = testing::dump(cs);
    RecordingPanel panel("3000", "10", "wota ");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Refused);
    ASSERT_EQ(panel.messages.size(), 1u);
    EXPECT_EQ(panel.messages[0], (MessageBox{kLogin, "Invalid Password", Icon::None}));
    EXPECT_EQ(panel.focus, std::vector<Box>{Box::Password});
    EXPECT_EQ(panel.production, "3000");
    EXPECT_EQ(panel.password, "wota ");
    EXPECT_EQ(testing::dump(cs), before);
}

TEST_F(RunCommandTest, emptyBoxesAskForParametersThenReinitialiseOnItsPassword) {
    const auto fresh = testing::dump(cs);
    EXPECT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(press(cs, "4000", "20", "WOTA"), RunOutcome::PlanRun);

    RecordingPanel wrong("", "", "nope");
    EXPECT_EQ(model::RunCommand(cs).run(wrong), RunOutcome::Refused);
    EXPECT_EQ(wrong.texts(), Texts{kEnter});
    EXPECT_EQ(wrong.messages[0].title, "");
    EXPECT_EQ(wrong.messages[0].icon, Icon::None);
    EXPECT_EQ(testing::count(cs, "PLIO"), 4);

    // One empty box is enough for the question; a run password does nothing.
    RecordingPanel half("3000", "", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(half), RunOutcome::Refused);
    EXPECT_EQ(half.texts(), Texts{kEnter});

    RecordingPanel reinit("", "", "pelix");
    EXPECT_EQ(model::RunCommand(cs).run(reinit), RunOutcome::Reinitialised);
    // The game's own closing box, then the one that names the kept copy.
    ASSERT_EQ(reinit.texts().size(), 3u);
    EXPECT_EQ(reinit.texts()[1], kReinitOver);
    EXPECT_EQ(reinit.messages[1].title, "");
    EXPECT_EQ(reinit.texts()[2].rfind("The game played before the re-initialisation was kept in " +
                                          dir.file("TESSARO_DB-"),
                                      0),
              0u)
        << reinit.texts()[2];
    EXPECT_EQ(reinit.messages[2].icon, Icon::None);
    EXPECT_EQ(reinit.rebuilds, 1);
    // Exactly as after the first run of a new game.
    EXPECT_EQ(testing::dump(cs), fresh);
}

TEST_F(RunCommandTest, reinitialisationFollowsARefusedRun) {
    EXPECT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    RecordingPanel panel("3000", "4", "PELIX");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Reinitialised);
    ASSERT_EQ(panel.texts().size(), 3u);
    EXPECT_EQ(panel.texts()[0], kInvalid);
    EXPECT_EQ(panel.texts()[1], kReinitOver);
    EXPECT_EQ(panel.focus, std::vector<Box>{Box::Hiring});
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);

    // Valid decisions with the re-initialisation password: the login message
    // first, then the re-initialisation; a game of one quarter is not kept.
    RecordingPanel valid("3000", "10", "Pelix");
    EXPECT_EQ(model::RunCommand(cs).run(valid), RunOutcome::Reinitialised);
    EXPECT_EQ(valid.texts(), (Texts{kLogin, kReinitOver}));
}

TEST_F(RunCommandTest, firstRunOfANewGameStoresTheDecisionsButRunsTheDefaults) {
    const auto afterReinit = value("SELECT PT||PTT||PFT||POQ||PINV||POBL FROM PLIO WHERE PNPLPD=1");
    testing::sql(cs, "DELETE FROM PLIO WHERE PNPLPD > 0; DELETE FROM PLED; DELETE FROM PLDI");
    EXPECT_EQ(press(cs, "5000", "25", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(value("SELECT PORD||','||PHRD FROM PLIO WHERE PNPLPD=0"), "5000,25");
    EXPECT_EQ(value("SELECT PT||PTT||PFT||POQ||PINV||POBL FROM PLIO WHERE PNPLPD=1"), afterReinit);
    EXPECT_EQ(value("SELECT ZNPLPD||','||(ZTVG=ZVG) FROM PLDI"), "1,1");
}

TEST_F(RunCommandTest, decisionTextsNeverReachTheStatement) {
    RecordingPanel panel("3000, PHRD=1 where 1=1 --", "10; delete from PLIO", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::PlanRun);
    EXPECT_EQ(value("SELECT PORD||','||PHRD||','||PRORD||','||PRHRD FROM PLIO WHERE PNPLPD=1"),
              "3000,10,3000,10");
    EXPECT_EQ(value("SELECT count(*) FROM PLIO WHERE PHRD IS NOT NULL"), "1");
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
}

TEST_F(RunCommandTest, aDiskFailingDuringTheRunLeavesTheGameAsItWas) {
    // The decisions and the quarter are one transaction: the disk that
    // fails as it is committed takes back both.
    const auto before = testing::dump(cs);
    RecordingPanel panel("3000", "10", "WOTA");
    {
        testing::FaultyDisk disk(0);
        EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Failed);
        EXPECT_TRUE(disk.struck());
    }
    ASSERT_EQ(panel.messages.size(), 1u) << panel.texts().front();
    EXPECT_EQ(panel.messages[0].title, "Game Database");
    EXPECT_EQ(panel.messages[0].icon, Icon::Critical);
    EXPECT_NE(panel.messages[0].text.find(store::pathFromConnectionString(cs)), std::string::npos);
    EXPECT_NE(panel.messages[0].text.find("the disk is full"), std::string::npos)
        << panel.messages[0].text;
    EXPECT_EQ(panel.rebuilds, 0);
    EXPECT_EQ(testing::dump(cs), before);
    EXPECT_EQ(value("PRAGMA integrity_check"), "ok");

    // Once the trouble is gone the same quarter runs normally.
    EXPECT_EQ(press(cs, "3100", "11", "WOTA"), RunOutcome::PlanRun);
    EXPECT_EQ(testing::count(cs, "PLDI"), 2);
    EXPECT_EQ(value("SELECT PORD||','||PHRD FROM PLIO WHERE PNPLPD=1"), "3100,11");
}

// Whatever would stop the quarter stops it before the decisions are stored:
// a refused run leaves the file exactly as it was.
TEST_F(RunCommandTest, theAccountingsPreconditionsAreCheckedBeforeAnythingIsWritten) {
    testing::sql(cs, "DELETE FROM PLDI");
    auto before = testing::dump(cs);
    RecordingPanel panel("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Failed);
    EXPECT_EQ(panel.texts(), Texts{"No Data In PLDI Table!!!"});
    EXPECT_EQ(panel.messages[0].title, "SD Run For Tessaro");
    EXPECT_EQ(testing::dump(cs), before);

    testing::TempDir dir2, dir3, dir4;
    cs = testing::newGame(dir2);
    testing::sql(cs, "UPDATE PLDI SET ZTVG=NULL");
    before = testing::dump(cs);
    RecordingPanel total("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(total), RunOutcome::Failed);
    ASSERT_EQ(total.messages.size(), 1u);
    EXPECT_NE(total.messages[0].text.find("ZTVG"), std::string::npos);
    EXPECT_EQ(testing::dump(cs), before);

    // A state near the largest number a double holds runs through the model
    // but cannot be priced.
    cs = testing::newGame(dir3);
    testing::sql(cs, "UPDATE PLIO SET PINV=1e308 WHERE PNPLPD=1");
    before = testing::dump(cs);
    RecordingPanel huge("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(huge), RunOutcome::Failed);
    ASSERT_EQ(huge.messages.size(), 1u);
    EXPECT_EQ(huge.messages[0].title, "SD Run For Tessaro");
    EXPECT_NE(huge.messages[0].text.find("cannot be priced"), std::string::npos)
        << huge.messages[0].text;
    EXPECT_EQ(testing::dump(cs), before);

    // A stray accounting row where the quarter's would go.
    cs = testing::newGame(dir4);
    testing::sql(cs, "INSERT INTO PLDI(ZNPLPD, ZTVG) VALUES(2, 0)");
    before = testing::dump(cs);
    RecordingPanel stray("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(stray), RunOutcome::Failed);
    ASSERT_EQ(stray.messages.size(), 1u);
    EXPECT_NE(stray.messages[0].text.find("UNIQUE"), std::string::npos) << stray.messages[0].text;
    EXPECT_EQ(testing::dump(cs), before);
}

TEST_F(RunCommandTest, aStateTheModelCannotRunWritesNothingAtAll) {
    const auto before = testing::dump(cs);
    testing::sql(cs, "UPDATE PLIO SET POQ=NULL WHERE PNPLPD=1");
    const auto broken = testing::dump(cs);
    RecordingPanel panel("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Failed);
    ASSERT_EQ(panel.messages.size(), 1u);
    EXPECT_EQ(panel.messages[0].title, "SD Run For Tessaro");
    EXPECT_NE(panel.messages[0].text.find("POQ"), std::string::npos);
    EXPECT_EQ(testing::dump(cs), broken);  // not even the decisions

    testing::sql(cs, "UPDATE PLIO SET POQ=1, PT=5, PTT=10 WHERE PNPLPD=1");
    const auto noPeople = testing::dump(cs);
    EXPECT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::Failed);
    EXPECT_EQ(testing::dump(cs), noPeople);
    EXPECT_NE(before, noPeople);

    // Production near the largest number a double holds, piling into an
    // inventory as large, overflows inside the model: the run stops with the
    // model's own words before any text with an infinity in it could reach
    // the file.
    testing::sql(cs,
                 "UPDATE PLIO SET PT=100, PTT=10, PP1=1.7e308, PP2=1.7e308, PPR=1.7e308, "
                 "PINV=1.7e308, POBL=0 WHERE PNPLPD=1");
    const auto huge = testing::dump(cs);
    RecordingPanel overflow("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(overflow), RunOutcome::Failed);
    ASSERT_EQ(overflow.messages.size(), 1u);
    EXPECT_EQ(overflow.messages[0].title, "SD Run For Tessaro");
    EXPECT_EQ(overflow.messages[0].text,
              "The model cannot be run: the state of plan-quarter 1 grew beyond what can be "
              "computed at step 2. Nothing was written.");
    EXPECT_EQ(testing::dump(cs), huge);
}

TEST_F(RunCommandTest, planNumbersMustRunWithoutGapsAndStopAt32767) {
    testing::sql(cs, "UPDATE PLIO SET PNPLPD=5 WHERE PNPLPD=1");
    const auto gap = testing::dump(cs);
    RecordingPanel panel("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::Failed);
    EXPECT_EQ(testing::dump(cs), gap);

    // A game whose last row is numbered 32767 has no room for another quarter.
    std::string rows = "DELETE FROM PLIO WHERE PNPLPD > 0;";
    testing::sql(cs, rows);
    testing::sql(cs,
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32767) "
                 "INSERT INTO PLIO SELECT i, PT, PTT, PFT, POQ, POC, PINV, POBL, PP1, PP2, PT1, "
                 "PT2, PQ1, PQ2, PHR, PTCT, PQR, PPR, POR, POFR, NULL, NULL, NULL, NULL "
                 "FROM n, (SELECT * FROM PLIO WHERE PNPLPD = 0)");
    RecordingPanel last("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(last), RunOutcome::Failed);
    ASSERT_EQ(last.messages.size(), 1u);
    EXPECT_NE(last.messages[0].text.find("32767"), std::string::npos);
    EXPECT_EQ(value("SELECT count(*) FROM PLIO WHERE PORD IS NOT NULL"), "0");
}

// A hand-made file can hold keys the game never writes: a key beyond 16
// bits is no plan number, and stops the command with nothing changed; no
// key is ever narrowed or put into a statement unchecked.
TEST_F(RunCommandTest, keysThatAreNoPlanNumbersStopRunAndReinitialisationUntouched) {
    ASSERT_EQ(press(cs, "3000", "10", "WOTA"), RunOutcome::PlanRun);
    // Let in behind the table's checks.
    testing::sql(cs,
                 "PRAGMA ignore_check_constraints=1; UPDATE PLIO SET PNPLPD=4294967298 "
                 "WHERE PNPLPD=2");
    auto before = testing::dump(cs);
    RecordingPanel run("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(run), RunOutcome::Failed);
    EXPECT_EQ(testing::dump(cs), before);

    // The re-initialisation checks the whole file first, and finds the row
    // breaking the table's own rule.
    RecordingPanel reinit("", "", "PELIX");
    EXPECT_EQ(model::RunCommand(cs).run(reinit), RunOutcome::Failed);
    ASSERT_EQ(reinit.messages.size(), 2u);
    EXPECT_EQ(reinit.messages[1].icon, Icon::Critical);
    EXPECT_NE(reinit.messages[1].text.find("CHECK constraint failed in PLIO"), std::string::npos)
        << reinit.messages[1].text;
    EXPECT_EQ(testing::dump(cs), before);
    // The archive made for it went with the refusal.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);

    // The re-initialisation itself, as a new game runs it too, refuses such a
    // key before it deletes anything, whichever row holds it.
    const std::pair<const char*, const char*> keys[] = {{"4294967298", "2"}, {"-40000", "0"}};
    for (const auto& [key, row] : keys) {
        testing::TempDir other;
        const auto game = testing::newGame(other);
        ASSERT_EQ(press(game, "3000", "10", "WOTA"), RunOutcome::PlanRun);
        testing::sql(
            game, std::string("PRAGMA ignore_check_constraints=1; UPDATE PLIO SET PNPLPD=") + key +
                      " WHERE PNPLPD=" + row);
        before = testing::dump(game);
        try {
            store::Connection db(game, store::Access::Exclusive);
            store::Transaction transaction(db);
            reinitialiseGame(db);
            transaction.commit();
            ADD_FAILURE() << "re-initialised around the key " << key;
        } catch (const RunStopped& e) {
            EXPECT_EQ(e.box().title, "Initialization For SD Run");
            EXPECT_NE(e.box().text.find(std::string("numbered ") + key + ", which is no plan"),
                      std::string::npos)
                << e.box().text;
            EXPECT_NE(e.box().text.find("Nothing was deleted"), std::string::npos);
        }
        EXPECT_EQ(testing::dump(game), before) << key;
    }
}

// The bounds on a statement's work and rows leave room for the longest game.
TEST_F(RunCommandTest, theLongestGameStillRunsItsLastQuarterAndReinitialises) {
    testing::sql(cs,
                 "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 32766) "
                 "INSERT INTO PLIO SELECT i, PT, PTT, PFT, POQ, POC, PINV, POBL, PP1, PP2, PT1, "
                 "PT2, PQ1, PQ2, PHR, PTCT, PQR, PPR, POR, POFR, 3000, 10, 3000, 10 "
                 "FROM n, (SELECT * FROM PLIO WHERE PNPLPD = 1);"
                 "UPDATE PLIO SET PORD=3000, PHRD=10, PRORD=3000, PRHRD=10 WHERE PNPLPD=1;"
                 "UPDATE PLIO SET PORD=NULL, PHRD=NULL, PRORD=NULL, PRHRD=NULL WHERE PNPLPD=32766;"
                 "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 32766) "
                 "INSERT INTO PLDI SELECT i, ZOQ, ZOC, ZT, ZTT, ZINV, ZOBL, ZHR, ZQR, ZPR, ZOR, "
                 "ZOFR, ZTE, ZTC, ZPC, ZOUC, ZINVC, ZINSC, ZHC, ZQC, ZSC, ZTTC, ZVG, ZTVG, ZCVG "
                 "FROM n, PLDI");
    RecordingPanel panel("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(panel), RunOutcome::PlanRun) << panel.texts().back();
    EXPECT_EQ(value("SELECT count(*)||','||max(PNPLPD) FROM PLIO"), "32768,32767");
    EXPECT_EQ(value("SELECT count(*)||','||max(ZNPLPD) FROM PLDI"), "32767,32767");
    EXPECT_EQ(press(cs, "", "", "PELIX"), RunOutcome::Reinitialised);
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
}

TEST_F(RunCommandTest, emptyPlioHasItsOwnMessagesForRunAndReinitialisation) {
    testing::sql(cs, "DELETE FROM PLIO");
    RecordingPanel run("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(run), RunOutcome::Failed);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0],
              (MessageBox{"No Data to Show on Chart!!!", "Plot For Tessaro", Icon::Critical}));

    RecordingPanel reinit("", "", "PELIX");
    EXPECT_EQ(model::RunCommand(cs).run(reinit), RunOutcome::Failed);
    EXPECT_EQ(reinit.texts(), (Texts{kEnter, "No Data For Initialization!!!"}));
    EXPECT_EQ(reinit.messages[1].title, "Initialization For SD Run");
    EXPECT_EQ(testing::count(cs, "PLDI"), 1);  // the failed re-initialisation deleted nothing
}

TEST_F(RunCommandTest, databaseProblemsAreNamedAndChangeNothing) {
    const auto path = store::pathFromConnectionString(cs);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    RecordingPanel readOnly("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(readOnly), RunOutcome::Failed);
    ASSERT_EQ(readOnly.messages.size(), 1u);
    EXPECT_EQ(readOnly.messages[0].title, "Game Database");
    EXPECT_NE(readOnly.messages[0].text.find(path), std::string::npos);
    EXPECT_NE(readOnly.messages[0].text.find("read-only"), std::string::npos);
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    store::setBusyTimeout(200);
    RecordingPanel locked("", "", "PELIX");
    EXPECT_EQ(model::RunCommand(cs).run(locked), RunOutcome::Failed);
    ASSERT_EQ(locked.messages.size(), 2u);
    EXPECT_EQ(locked.messages[1],
              (MessageBox{"The game database " + path +
                              " is being used by another player; nothing was changed.",
                          "Game Database", Icon::Critical}));
    RecordingPanel busyRun("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(busyRun), RunOutcome::Failed);
    EXPECT_EQ(busyRun.texts(), Texts{locked.messages[1].text});
    store::setBusyTimeout(5000);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    testing::sql(cs, "DROP TABLE PLED");
    RecordingPanel noTable("3000", "10", "WOTA");
    EXPECT_EQ(model::RunCommand(cs).run(noTable), RunOutcome::Failed);
    ASSERT_EQ(noTable.messages.size(), 1u);
    EXPECT_NE(noTable.messages[0].text.find("PLED"), std::string::npos);
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
}

// The file may be deleted, moved or replaced by another program while a run
// holds it. What is committed after that is in no file the players can open,
// so the run says the file went away, and never that the quarter is over.
TEST_F(RunCommandTest, aFileThatGoesAwayDuringTheRunIsNeverReportedDone) {
    const auto path = store::pathFromConnectionString(cs);
    testing::TempDir elsewhere;
    const auto stranger = testing::newGame(elsewhere);
    const auto strangerPath = store::pathFromConnectionString(stranger);
    const std::string moved = elsewhere.file("moved.mdb");
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"deleted", [&] { std::filesystem::remove(path); }},
        {"moved", [&] { std::filesystem::rename(path, moved); }},
        {"replaced",
         [&] {
             std::filesystem::copy_file(strangerPath, path + ".other");
             std::filesystem::rename(path + ".other", path);
         }},
    };
    for (const auto& [how, change] : ways) {
        if (!std::filesystem::exists(path)) cs = testing::newGame(dir);
        const auto replacement = testing::dump(stranger);
        beforeCommitHook() = change;
        RecordingPanel panel("3000", "10", "WOTA");
        const auto outcome = model::RunCommand(cs).run(panel);
        beforeCommitHook() = nullptr;
        EXPECT_EQ(outcome, RunOutcome::Failed) << how;
        ASSERT_EQ(panel.messages.size(), 1u) << how << ": " << panel.texts().front();
        EXPECT_EQ(panel.messages[0].icon, Icon::Critical);
        EXPECT_NE(panel.messages[0].text.find("The game database " + path + " went away"),
                  std::string::npos)
            << how << ": " << panel.messages[0].text;
        EXPECT_EQ(panel.rebuilds, 0) << how;
        if (std::string(how) == "replaced") {
            // The file now under the name is not touched.
            EXPECT_EQ(testing::dump(cs), replacement);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path)) << how;
        }
        if (std::string(how) == "moved") {
            // The file moved holds neither the decisions nor the quarter:
            // the run was not committed into a file no longer at its place.
            const auto movedGame = store::connectionStringForFile(moved);
            EXPECT_EQ(testing::count(movedGame, "PLIO"), 2);
            EXPECT_EQ(
                testing::scalarText(movedGame, "SELECT PORD IS NULL FROM PLIO WHERE PNPLPD=1"),
                "1");
            std::filesystem::remove(moved);
        }
        std::filesystem::remove(path);
    }
}

// A process killed at any instant of a run leaves a game whose tables agree:
// one accounting row per quarter run, the trace of the last run complete.
TEST_F(RunCommandTest, killedAtAnyInstantTheGameStaysConsistent) {
    std::mt19937 random(12345);
    for (int attempt = 0; attempt < 12; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) press(cs, "3000", "10", "WOTA");
        }
        usleep(std::uniform_int_distribution<int>(2000, 40000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const long long plio = testing::count(cs, "PLIO");
        EXPECT_EQ(testing::count(cs, "PLDI"), plio - 1);
        EXPECT_EQ(testing::count(cs, "PLED"), 25);
        EXPECT_EQ(value("SELECT min(ENPLPD)||','||max(ENPLPD) FROM PLED"),
                  std::to_string(plio - 2) + "," + std::to_string(plio - 2));
        EXPECT_EQ(value("PRAGMA integrity_check"), "ok");
    }
}

}  // namespace
}  // namespace tessaro::model
