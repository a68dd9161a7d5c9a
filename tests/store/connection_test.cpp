// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "store/connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <functional>

#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "testgame.h"

namespace tessaro::store {
namespace {

using testing::TempDir;

TEST(GameLocation, connectionStringKeepsTheGamesTextAndOneSeparator) {
    EXPECT_EQ(connectionStringForDirectory("/home/class/team1"),
              "Provider = Microsoft.jet.OLEDB.4.0; Data Source =/home/class/team1/TESSARO_DB.mdb");
    // At a root the directory already ends with its separator.
    EXPECT_EQ(connectionStringForDirectory("/"),
              "Provider = Microsoft.jet.OLEDB.4.0; Data Source =/TESSARO_DB.mdb");
}

TEST(GameLocation, pathIsReadBackOutOfTheConnectionString) {
    EXPECT_EQ(pathFromConnectionString(connectionStringForDirectory("/srv/a b")),
              "/srv/a b/TESSARO_DB.mdb");
    EXPECT_EQ(pathFromConnectionString("Data Source = /x/y.mdb ; User ID=;"), "/x/y.mdb");
    EXPECT_EQ(pathFromConnectionString("provider=x;DATA SOURCE=/z.mdb"), "/z.mdb");
    EXPECT_THROW(pathFromConnectionString("Provider = Microsoft.jet.OLEDB.4.0;"),
                 std::invalid_argument);
    EXPECT_THROW(pathFromConnectionString("Data Source =  ;"), std::invalid_argument);
}

StoreError openError(const std::string& cs, Access access = Access::Write) {
    try {
        Connection db(cs, access);
    } catch (const StoreError& e) {
        return e;
    }
    ADD_FAILURE() << "opening " << cs << " did not fail";
    return StoreError(StoreCause::Failed, "", "");
}

TEST(ConnectionOpen, badFilesAreRefusedWithTheirPathAndCause) {
    TempDir dir;
    const auto cs = testing::gameIn(dir);
    const auto path = pathFromConnectionString(cs);

    auto missing = openError(cs);
    EXPECT_EQ(missing.cause(), StoreCause::Missing);
    EXPECT_NE(std::string(missing.what()).find(path), std::string::npos);

    std::ofstream(path) << "These are the minutes of the last class, not a game.\n";
    auto text = openError(cs);
    EXPECT_EQ(text.cause(), StoreCause::NotADatabase);
    EXPECT_NE(std::string(text.what()).find(path), std::string::npos);
    EXPECT_NE(std::string(text.what()).find("not a game database"), std::string::npos);
}

TEST(ConnectionOpen, aDatabaseWithoutTheGameTablesIsRefused) {
    TempDir dir;
    const auto cs = testing::gameIn(dir);
    {
        auto db = Connection::createFile(pathFromConnectionString(cs));
        db.execute("CREATE TABLE PLIO (PNPLPD INTEGER)");
    }
    auto e = openError(cs);
    EXPECT_EQ(e.cause(), StoreCause::MissingTable);
    EXPECT_NE(std::string(e.what()).find("PT"), std::string::npos) << e.what();

    testing::sql(cs, "DROP TABLE PLIO");
    EXPECT_EQ(openError(cs, Access::Read).cause(), StoreCause::MissingTable);
}

TEST(ConnectionOpen, missingTableIsNamed) {
    TempDir dir;
    const auto cs = testing::emptyTables(dir);
    testing::sql(cs, "DROP TABLE PLDI");
    auto e = openError(cs, Access::Read);
    EXPECT_EQ(e.cause(), StoreCause::MissingTable);
    EXPECT_NE(std::string(e.what()).find("PLDI"), std::string::npos) << e.what();
}

TEST(ConnectionOpen, readOnlyFileCanBeReadButNotOpenedForWriting) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    const auto path = pathFromConnectionString(cs);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_EQ(openError(cs).cause(), StoreCause::ReadOnly);
    Connection reader(cs, Access::Read);
    EXPECT_EQ(reader.openRecordset("Select * from PLIO").recordCount(), 2);
}

TEST(ConnectionOpen, fileLockedByAnotherProgramIsReportedAsLocked) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(pathFromConnectionString(cs).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    setBusyTimeout(200);
    for (Access access : {Access::Read, Access::Write, Access::Exclusive}) {
        try {
            Connection db(cs, access);
            Snapshot snapshot(db);
            FAIL() << "read a locked file";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.cause(), StoreCause::Locked);
            EXPECT_EQ(std::string(e.what()),
                      "The game database " + pathFromConnectionString(cs) +
                          " is being used by another player; nothing was changed.");
        }
    }
    setBusyTimeout(5000);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST(Recordset, gameSelectsComeBackInPlanOrderWhateverTheInsertionOrder) {
    TempDir dir;
    const auto cs = testing::emptyTables(dir);
    testing::sql(cs,
                 "INSERT INTO PLIO(PNPLPD,PT) VALUES(2, 22);"
                 "INSERT INTO PLIO(PNPLPD,PT) VALUES(0, 20);"
                 "INSERT INTO PLIO(PNPLPD,PT) VALUES(1, 21);"
                 "INSERT INTO PLDI(ZNPLPD,ZVG) VALUES(3, 3);"
                 "INSERT INTO PLDI(ZNPLPD,ZVG) VALUES(1, 1);"
                 "INSERT INTO PLED(ENPLPD,ETIME) VALUES(0, 0.25);"
                 "INSERT INTO PLED(ENPLPD,ETIME) VALUES(0, 0);");
    Connection db(cs, Access::Read);
    auto plio = db.openRecordset("Select * from PLIO");
    ASSERT_EQ(plio.recordCount(), 3);
    std::string order;
    for (; !plio.eof(); plio.moveNext()) order += plio["pt"].toText() + " ";
    EXPECT_EQ(order, "20 21 22 ");

    auto pldi = db.openRecordset("select   *   FROM pldi");
    pldi.moveLast();
    EXPECT_EQ(pldi["ZNPLPD"].toText(), "3");

    // The trace keeps the order it was written in.
    auto pled = db.openRecordset("Select * from PLED");
    EXPECT_EQ(pled["ETIME"].toText(), "0.25");
}

TEST(Recordset, emptyValuesAreEmptyAndColumnsIgnoreCase) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    Connection db(cs, Access::Read);
    auto plio = db.openRecordset("Select * from PLIO");
    plio.moveLast();
    EXPECT_TRUE(plio["PRHRD"].isEmpty());
    EXPECT_FALSE(plio["prhrd"].number().has_value());
    EXPECT_EQ(plio["PrHrD"].toText(), "");
    EXPECT_EQ(plio["pnplpd"].toText(), "1");
    EXPECT_THROW((void)plio["NOSUCH"], std::out_of_range);

    plio.moveFirst();
    EXPECT_EQ(plio["PT"].toText(), "100");
    EXPECT_EQ(plio["PT1"].toText(), "2.84");
    plio.moveNext();
    plio.moveNext();
    EXPECT_TRUE(plio.eof());
    EXPECT_THROW((void)plio["PT"], std::out_of_range);
}

TEST(Execute, theGamesStatementFormsAreAcceptedAndOnlyOneAtATime) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    Connection db(cs);
    db.execute("delete * from PLED");
    EXPECT_EQ(testing::count(cs, "PLED"), 0);
    db.execute("DELETE  *  FROM PLDI");
    EXPECT_EQ(testing::count(cs, "PLDI"), 0);
    db.execute("update PLIO set PORD=3000, PHRD=10, PRORD=3000, PRHRD=10 where PNPLPD=1");
    EXPECT_EQ(testing::scalarText(cs, "SELECT PRHRD FROM PLIO WHERE PNPLPD=1"), "10");

    try {
        db.execute("update PLIO set PORD=1 where PNPLPD=1; delete from PLIO");
        FAIL() << "two statements in one text ran";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.cause(), StoreCause::BadStatement);
    }
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
}

TEST(Transaction, rollsBackUnlessCommitted) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    Connection db(cs);
    {
        Transaction t(db);
        db.execute("delete * from PLIO");
    }
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
    {
        Transaction t(db);
        db.execute("delete * from PLED");
        t.commit();
    }
    EXPECT_EQ(testing::count(cs, "PLED"), 0);
}

// A file deleted or replaced under an open connection is reported gone: at
// the write that finds it, or at the commit, and never committed as done.
TEST(Transaction, aFileThatWentAwayIsReportedGoneNotWritten) {
    for (const bool replaced : {false, true}) {
        TempDir dir;
        const auto cs = testing::newGame(dir);
        const auto path = pathFromConnectionString(cs);
        Connection db(cs);
        const auto gone = [&] {
            if (replaced) {
                std::filesystem::copy_file(path, path + ".copy");
                std::filesystem::rename(path + ".copy", path);
            } else {
                std::filesystem::remove(path);
            }
        };
        const auto expectGone = [&](const StoreError& e) {
            EXPECT_EQ(e.cause(), StoreCause::Gone) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("The game database " + path + " went away", 0),
                      0u)
                << e.what();
        };
        // Gone before the transaction writes.
        gone();
        try {
            Transaction t(db);
            db.execute("delete * from PLED");
            t.commit();
            ADD_FAILURE() << "committed into a file that went away";
        } catch (const StoreError& e) {
            expectGone(e);
        }
        // Gone between the writes and the commit.
        if (!replaced) testing::newGame(dir);
        Connection again(cs);
        try {
            Transaction t(again);
            again.execute("delete * from PLED");
            gone();
            t.commit();
            ADD_FAILURE() << "committed into a file that went away";
        } catch (const StoreError& e) {
            expectGone(e);
        }
        // The file now under the name is as it was put there.
        if (replaced) {
            EXPECT_EQ(testing::count(cs, "PLED"), 25);
        }
    }
}

}  // namespace
}  // namespace tessaro::store

namespace tessaro::store {
namespace {

// The trace inserts take a faster road than other statements; what they
// store must not differ from what SQLite makes of the same text.
TEST(Execute, literalInsertsStoreWhatTheTextSays) {
    TempDir dir;
    const auto cs = testing::emptyTables(dir);
    const std::string values =
        "VALUES(3, 0.125, -1.05, 1E-05, 1000, NULL, 2.5E+20, -0, 119.999755859375, "
        "7, 8, 9, 10, 11)";
    {
        Connection db(cs);
        db.execute(
            "INSERT INTO PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR) " +
            values);
        db.execute(
            "insert into PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR) " +
            values);
    }
    testing::sql(
        cs, "INSERT INTO PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR) " +
                values);
    const std::string row =
        "SELECT group_concat(typeof(v) || ':' || quote(v), ' ') FROM (SELECT ENPLPD v FROM PLED "
        "WHERE "
        "rowid=R UNION ALL SELECT ETIME FROM PLED WHERE rowid=R UNION ALL SELECT EAQ FROM PLED "
        "WHERE "
        "rowid=R UNION ALL SELECT EOQ FROM PLED WHERE rowid=R UNION ALL SELECT EOC FROM PLED WHERE "
        "rowid=R UNION ALL SELECT ET FROM PLED WHERE rowid=R UNION ALL SELECT ETT FROM PLED WHERE "
        "rowid=R UNION ALL SELECT EINV FROM PLED WHERE rowid=R UNION ALL SELECT EOBL FROM PLED "
        "WHERE "
        "rowid=R)";
    auto rowOf = [&](int r) {
        std::string q = row;
        for (auto p = q.find("rowid=R"); p != std::string::npos; p = q.find("rowid=R"))
            q.replace(p, 7, "rowid=" + std::to_string(r));
        return testing::scalarText(cs, q);
    };
    EXPECT_EQ(rowOf(1), rowOf(3));
    EXPECT_EQ(rowOf(2), rowOf(3));
    EXPECT_NE(rowOf(3).find("integer:3 real:0.125"), std::string::npos) << rowOf(3);
    EXPECT_NE(rowOf(3).find("null:NULL"), std::string::npos);
}

TEST(Execute, insertsThatAreNotPlainLiteralsStillWork) {
    TempDir dir;
    const auto cs = testing::emptyTables(dir);
    Connection db(cs);
    db.execute("INSERT INTO PLIO(PNPLPD,PT) VALUES(0, 2 * 50)");
    db.execute("INSERT INTO PLIO(PNPLPD,PT) VALUES(1, 'x')");
    EXPECT_EQ(testing::scalarText(cs, "SELECT group_concat(PT) FROM PLIO"), "100.0,x");
    try {
        db.execute("INSERT INTO PLIO(PNPLPD,PT) VALUES(1, 5)");
        FAIL() << "a second row 1 was stored";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tessaro::store

namespace tessaro::store {
namespace {

StoreError failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const StoreError& e) {
        return e;
    }
    ADD_FAILURE() << "did not fail";
    return StoreError(StoreCause::Failed, "", "");
}

// Whatever a statement asks for, it is stopped within a bound of work and
// memory, and the file is left as it was.
TEST(Bounds, aStatementThatWouldRunForeverOrExhaustMemoryIsStopped) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    const auto before = testing::dump(cs);
    Connection db(cs);
    const auto started = std::chrono::steady_clock::now();
    auto endless = failureOf([&] {
        db.openRecordset(
            "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
            "SELECT count(*) FROM c");
    });
    EXPECT_EQ(endless.cause(), StoreCause::TooMuchWork);
    EXPECT_NE(std::string(endless.what()).find("asked for more work than any game needs"),
              std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    EXPECT_NE(failureOf([&] { db.openRecordset("SELECT length(zeroblob(2000000000))"); })
                  .detail()
                  .find("too big"),
              std::string::npos);
    EXPECT_NE(failureOf([&] { db.openRecordset("SELECT length(randomblob(2000000000))"); })
                  .detail()
                  .find("too big"),
              std::string::npos);
    // Nor can a statement reach another file.
    failureOf([&] { db.execute("ATTACH DATABASE '" + dir.file("other.db") + "' AS other"); });
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.db")));
    // Nor rewrite the schema behind the engine's back.
    failureOf([&] {
        db.execute("PRAGMA writable_schema=ON");
        db.execute("UPDATE sqlite_schema SET sql='x'");
    });
    // The work count starts anew with every statement.
    EXPECT_EQ(db.openRecordset("Select * from PLIO").recordCount(), 2);
    EXPECT_EQ(testing::dump(cs), before);
}

TEST(Bounds, aReaderWritesNothing) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    Connection reader(cs, Access::Read);
    EXPECT_EQ(failureOf([&] { reader.execute("delete * from PLED"); }).cause(),
              StoreCause::ReadOnly);
    EXPECT_EQ(testing::count(cs, "PLED"), 25);
}

TEST(Bounds, aTableWithMoreRowsThanAnyGameIsRefusedWhole) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    testing::sql(cs,
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 70001) "
                 "INSERT INTO PLED(ENPLPD, ETIME) SELECT 0, i FROM n");
    Connection reader(cs, Access::Read);
    const auto e = failureOf([&] { reader.openRecordset("Select * from PLED"); });
    EXPECT_EQ(e.cause(), StoreCause::TooLarge);
    EXPECT_NE(e.detail().find("more than 70000 rows"), std::string::npos) << e.what();
}

// An exclusive connection has the file to itself until it closes, across
// its commits; a snapshot keeps writers out while it lives.
TEST(Hold, anExclusiveConnectionKeepsEveryOtherOutUntilItCloses) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    setBusyTimeout(100);
    {
        Connection holder(cs, Access::Exclusive);
        holder.execute("update PLIO set PORD=3000 where PNPLPD=1");
        holder.execute("update PLIO set PHRD=10 where PNPLPD=1");
        for (Access access : {Access::Read, Access::Write, Access::Exclusive})
            EXPECT_EQ(failureOf([&] {
                          Connection other(cs, access);
                          Snapshot s(other);
                      }).cause(),
                      StoreCause::Locked);
    }
    setBusyTimeout(5000);
    // Each commit was durable on its own; no journal is left at rest.
    EXPECT_EQ(testing::scalarText(cs, "SELECT PORD||','||PHRD FROM PLIO WHERE PNPLPD=1"),
              "3000,10");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Hold, aSnapshotSeesOneStateAndKeepsWritersOut) {
    TempDir dir;
    const auto cs = testing::newGame(dir);
    Connection reader(cs, Access::Read);
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(pathFromConnectionString(cs).c_str(), &writer), SQLITE_OK);
    {
        Snapshot snapshot(reader);
        EXPECT_EQ(reader.openRecordset("Select * from PLDI").recordCount(), 1);
        EXPECT_EQ(sqlite3_exec(writer, "DELETE FROM PLDI", nullptr, nullptr, nullptr) & 0xff,
                  SQLITE_BUSY);
        EXPECT_EQ(reader.openRecordset("Select * from PLDI").recordCount(), 1);
    }
    EXPECT_EQ(sqlite3_exec(writer, "DELETE FROM PLDI", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    EXPECT_EQ(reader.openRecordset("Select * from PLDI").recordCount(), 0);
}

}  // namespace
}  // namespace tessaro::store
