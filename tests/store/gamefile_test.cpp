// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game file against everything that can be put in its place or beside
// it, and against several players at once: every command either does its
// whole work or refuses with one message that names the file, the file is
// never left inconsistent, and nothing hangs.
#include "model/gamefile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "cli.h"
#include "cliprocess.h"
#include "model/archive.h"
#include "model/gameboard.h"
#include "model/takeback.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/storeerror.h"
#include "testgame.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

int entriesIn(const TempDir& dir) {
    return static_cast<int>(std::distance(fs::directory_iterator(dir.path()), {}));
}

// A game played for `quarters` quarters at `path`.
std::string playedGame(const std::string& path, int quarters) {
    auto cs = store::connectionStringForFile(path);
    model::ensureGameDatabase(cs);
    for (int i = 0; i < quarters; ++i)
        EXPECT_EQ(press(cs, std::to_string(3000 + 100 * i), "10", "WOTA"),
                  model::RunOutcome::PlanRun);
    return cs;
}

// The command refused at once with one line that names the file.
void expectRefused(const CliResult& r, const std::string& path, const std::string& what) {
    EXPECT_FALSE(r.timedOut) << "the command hung";
    EXPECT_EQ(r.status, cli::kDatabaseFailed) << r.out;
    const auto lines = r.lines();
    ASSERT_FALSE(lines.empty());
    // A re-initialisation asks for the parameters first, as always.
    EXPECT_LE(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines.back().rfind("Game Database: The game database " + path + " ", 0), 0u) << r.out;
    EXPECT_NE(lines.back().find(what), std::string::npos) << r.out;
}

// What a crash in the middle of a commit leaves: the transaction's pages in
// the file and its journal beside it. The engine is to roll the journal
// back before anyone reads. Returns the journal's bytes.
std::string crashInTheMiddleOfACommit(const std::string& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    // Without syncs the journal is complete on disk as soon as it is written.
    EXPECT_EQ(sqlite3_exec(db,
                           "PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; BEGIN; "
                           "DELETE FROM PLDI; DELETE FROM PLED; DELETE FROM PLIO WHERE PNPLPD > 0",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::string journal = bytesOf(path + "-journal");
    EXPECT_GT(journal.size(), 512u);
    EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    writeBytes(path + "-journal", journal);
    return journal;
}

class HostileFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("team.mdb");
        cs = playedGame(path, 2);
    }
    // Run, re-initialisation and a reader, each refused; the file as it was.
    void expectEveryCommandRefused(const std::string& what) {
        const auto before = bytesOf(path);
        expectRefused(cli({"--database", path, "run", "3000", "10", "WOTA"}), path, what);
        expectRefused(cli({"--database", path, "reinit", "PELIX"}), path, what);
        expectRefused(cli({"--database", path, "status"}), path, what);
        EXPECT_EQ(bytesOf(path), before);
        EXPECT_EQ(entriesIn(dir), 1);
    }
    TempDir dir;
    std::string path, cs;
};

TEST_F(HostileFile, triggersAreRefusedBeforeTheyCanRun) {
    for (const char* trigger :
         {// an endless loop on the decision update
          "CREATE TRIGGER spin AFTER UPDATE ON PLIO BEGIN SELECT (WITH RECURSIVE c(x) AS "
          "(SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c); END",
          // a memory bomb
          "CREATE TRIGGER bomb BEFORE INSERT ON PLED BEGIN SELECT length(randomblob(2000000000)); "
          "END",
          // one that writes behind the game's back, again and again
          "CREATE TRIGGER echo AFTER INSERT ON PLED BEGIN INSERT INTO PLED(ENPLPD) "
          "VALUES(NEW.ENPLPD); END"}) {
        sql(cs, trigger);
        const std::string name = std::string(trigger).substr(15, 4);
        expectEveryCommandRefused("it holds a trigger \"" + name + "\" that the game never makes");
        sql(cs, "DROP TRIGGER " + name);
    }
    EXPECT_EQ(cli({"--database", path, "run", "3000", "10", "WOTA"}).status, cli::kDone);
    EXPECT_EQ(count(cs, "PLIO"), 5);
}

TEST_F(HostileFile, aViewInPlaceOfAGameTableIsRefused) {
    // Endless rows with the trace's columns.
    sql(cs,
        "DROP TABLE PLED; CREATE VIEW PLED AS WITH RECURSIVE c(x) AS (SELECT 0 UNION ALL "
        "SELECT x + 1 FROM c) SELECT 1 ENPLPD, x ETIME, 1 EAQ, 1 EOQ, 1 EOC, 100 ET, 10 ETT, "
        "1000 EINV, 1000 EOBL, 1 EHR, 1 EQR, 1000 EPR, 1000 EOR, 1000 EOFR FROM c");
    expectEveryCommandRefused("PLED is a view, not the game's table");
    expectRefused(cli({"--database", path, "trace"}), path, "PLED is a view");

    TempDir other;
    path = other.file("team.mdb");
    cs = playedGame(path, 1);
    sql(cs, "ALTER TABLE PLDI RENAME TO old; CREATE VIEW PLDI AS SELECT * FROM old");
    const auto before = bytesOf(path);
    expectRefused(cli({"--database", path, "run", "3000", "10", "WOTA"}), path,
                  "PLDI is a view, not the game's table");
    EXPECT_EQ(bytesOf(path), before);
}

TEST_F(HostileFile, tablesAndIndexesTheGameNeverMakesAreRefused) {
    sql(cs, "CREATE TABLE notes(t)");
    expectEveryCommandRefused("it holds a table \"notes\" that the game never makes");
    sql(cs, "DROP TABLE notes");

    for (const char* index : {"CREATE INDEX bulk ON PLIO(length(zeroblob(PNPLPD * 100000000)))",
                              "CREATE UNIQUE INDEX once ON PLIO(PORD)",
                              "CREATE INDEX part ON PLDI(ZVG) WHERE ZVG > 0"}) {
        sql(cs, index);
        const std::string created(index);
        const auto on = created.find(" ON ");
        const auto name =
            created.substr(created.rfind(' ', on - 1) + 1, on - created.rfind(' ', on - 1) - 1);
        expectEveryCommandRefused("it holds an index \"" + name + "\" that the game never makes");
        sql(cs, "DROP INDEX " + name);
    }

    // A table defined otherwise than the game defines it.
    sql(cs, "ALTER TABLE PLDI ADD COLUMN remark TEXT");
    expectEveryCommandRefused("table PLDI is not defined as the game defines it");
}

TEST_F(HostileFile, theTakeBackTableIsAcceptedOnlyAsTheGameDefinesIt) {
    // Defined otherwise, it could make a take-back restore what it chooses.
    sql(cs,
        "DROP TABLE TAKEBACK; CREATE TABLE TAKEBACK(TNPLPD INTEGER PRIMARY KEY, TPORD, "
        "TPHRD, TPRORD, TPRHRD, TTRACE, TROWS)");
    expectEveryCommandRefused("table TAKEBACK is not defined as the game defines it");
    sql(cs, "DROP TABLE TAKEBACK; CREATE VIEW TAKEBACK AS SELECT * FROM PLIO");
    expectEveryCommandRefused("it holds a view \"TAKEBACK\" that the game never makes");
    // Without it the game is one played before it existed, and plays on;
    // the next run makes it again, exactly so.
    sql(cs, "DROP VIEW TAKEBACK");
    EXPECT_EQ(cli({"--database", path, "run", "3000", "10", "WOTA"}).status, cli::kDone);
    EXPECT_EQ(scalarText(cs, "SELECT count(*) FROM TAKEBACK"), "1");
    sql(cs, "CREATE INDEX byTrace ON TAKEBACK(TTRACE)");
    EXPECT_EQ(cli({"--database", path, "undo", "PELIX"}).status, cli::kDone);
}

TEST_F(HostileFile, aPlainIndexOnAGameTableOnlySpeedsReading) {
    sql(cs, "CREATE INDEX byTime ON PLED(ETIME, ENPLPD)");
    const auto r = cli({"--database", path, "run", "3000", "10", "WOTA"});
    EXPECT_EQ(r.status, cli::kDone) << r.out;
    EXPECT_EQ(count(cs, "PLIO"), 5);
}

TEST_F(HostileFile, aDamagedPageIsFoundBeforeAnythingIsWrittenAndTheFileKeptForRescue) {
    // Garbage over the head of a table's page in the middle of the file.
    const int page =
        std::stoi(scalarText(cs, "SELECT rootpage FROM sqlite_schema WHERE name='PLED'"));
    const int pageSize = std::stoi(scalarText(cs, "PRAGMA page_size"));
    std::string bytes = bytesOf(path);
    ASSERT_GT(bytes.size(), static_cast<std::size_t>(page * pageSize));
    for (int i = 0; i < 12; ++i)
        bytes[(static_cast<std::size_t>(page) - 1) * static_cast<std::size_t>(pageSize) +
              static_cast<std::size_t>(i)] = '\x7f';
    writeBytes(path, bytes);

    expectRefused(cli({"--database", path, "run", "3000", "10", "WOTA"}), path,
                  "is damaged; it was left untouched so that it can be rescued");
    expectRefused(cli({"--database", path, "reinit", "PELIX"}), path, "is damaged");
    // A reader shows what it can read, and names the damage where it meets it.
    expectRefused(cli({"--database", path, "trace"}), path, "is damaged");
    EXPECT_EQ(bytesOf(path), bytes);
    EXPECT_EQ(entriesIn(dir), 1);
}

TEST(OddPaths, anythingButARegularFileIsRefusedAtOnce) {
    TempDir dir;
    const auto pipe = dir.file("pipe.mdb");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto folder = dir.file("folder.mdb");
    fs::create_directory(folder);
    const auto device = dir.file("device.mdb");
    fs::create_symlink("/dev/null", device);
    const auto loop = dir.file("loop.mdb");
    fs::create_symlink("loop.mdb", loop);
    const auto nowhere = dir.file("nowhere.mdb");
    fs::create_symlink(dir.file("gone/team.mdb"), nowhere);

    for (const auto& [path, what] :
         {std::pair{pipe,
                    "is not a regular file; nothing was changed "
                    "(it is a named pipe)"},
          std::pair{folder, "(it is a folder)"}, std::pair{device, "(it is a device)"},
          std::pair{loop, "(it is a symbolic link that leads round in a loop)"},
          std::pair{nowhere, "a symbolic link to a file that is not there"}}) {
        for (const char* command : {"status", "history"})
            expectRefused(cli({"--database", path, command}, std::chrono::seconds(10)), path, what);
        expectRefused(
            cli({"--database", path, "run", "3000", "10", "WOTA"}, std::chrono::seconds(10)), path,
            what);
    }
    // Nothing was made in their place.
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(fs::is_symlink(loop));
    EXPECT_FALSE(fs::exists(dir.file("gone")));
    EXPECT_EQ(entriesIn(dir), 5);
}

// The engine keeps its journal beside the file while it writes and looks
// for one whenever it reads: anything but a plain file there is named, the
// game is left as it was, and nothing waits on a named pipe.
TEST(OddPaths, anythingButAFileWhereTheJournalGoesIsNamedAndNothingWaits) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    playedGame(path, 1);
    const auto before = bytesOf(path);
    const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> things = {
        {"a folder", [](const std::string& at) { fs::create_directory(at); }},
        {"a named pipe", [](const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"a symbolic link", [](const std::string& at) { fs::create_symlink("/etc/passwd", at); }},
    };
    for (const char* suffix : {"-journal", "-wal"}) {
        for (const auto& [kind, make] : things) {
            const std::string at = path + suffix;
            make(at);
            const std::string what =
                "cannot be used, because something that is no journal lies "
                "where its journal goes; nothing was changed (beside it, "
                "team.mdb" +
                std::string(suffix) + " is " + kind + ")";
            for (const std::vector<std::string>& command : {std::vector<std::string>{"status"},
                                                            {"history"},
                                                            {"run", "3000", "10", "WOTA"},
                                                            {"reinit", "PELIX"}}) {
                std::vector<std::string> args{"--database", path};
                args.insert(args.end(), command.begin(), command.end());
                expectRefused(cli(args, std::chrono::seconds(10)), path, what);
            }
            fs::remove(at);
        }
    }
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(entriesIn(dir), 1);
}

// A folder that lets the players read and write their game but make no new
// file in it is named as the cause, not the file: every change needs its
// journal beside the file, a new game and an archived copy a file of their own.
TEST(OddPaths, aFolderThatRefusesNewFilesIsNamedAsTheCause) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);  // a normal user may pass
    const fs::path folder = dir.path() / "class";
    fs::create_directory(folder);
    const auto path = (folder / "team.mdb").string();
    playedGame(path, 2);
    fs::permissions(path, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                             fs::perms::others_exec));
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const auto before = bytesOf(path);
    const std::string what = "cannot be written, because no new file may be made in its folder";
    const std::string why = "the folder " + folder.string() + ": Permission denied)";
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"run", "3000", "10", "WOTA"}, {"undo", "PELIX"}}) {
        std::vector<std::string> args{"--database", path};
        args.insert(args.end(), command.begin(), command.end());
        const auto r = cli(args, std::chrono::seconds(20), RunAs::NormalUser);
        expectRefused(r, path, what);
        EXPECT_NE(r.out.find(why), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("read-only"), std::string::npos) << r.out;
    }
    // The archived copy comes first in a re-initialisation, and is named by
    // the name it would have had.
    const auto reinit =
        cli({"--database", path, "reinit", "PELIX"}, std::chrono::seconds(20), RunAs::NormalUser);
    EXPECT_EQ(reinit.status, cli::kDatabaseFailed) << reinit.out;
    EXPECT_NE(reinit.out.find(what), std::string::npos) << reinit.out;
    EXPECT_NE(reinit.out.find(why), std::string::npos) << reinit.out;
    EXPECT_EQ(reinit.out.find(".new-"), std::string::npos) << reinit.out;
    // Reading needs no new file.
    EXPECT_EQ(
        cli({"--database", path, "status"}, std::chrono::seconds(20), RunAs::NormalUser).status,
        cli::kDone);
    // A new game in that folder.
    const auto fresh = (folder / "fresh.mdb").string();
    const auto r =
        cli({"--database", fresh, "status"}, std::chrono::seconds(20), RunAs::NormalUser);
    expectRefused(r, fresh, what);
    EXPECT_NE(r.out.find(why), std::string::npos) << r.out;
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(static_cast<int>(std::distance(fs::directory_iterator(folder), {})), 1);
    fs::permissions(folder, fs::perms::owner_all);
}

TEST(OddPaths, aSymbolicLinkToAGameElsewhereIsPlayed) {
    TempDir shared, team;
    const auto target = shared.file("team1.mdb");
    const auto targetCs = playedGame(target, 1);
    const auto link = team.file("TESSARO_DB.mdb");
    fs::create_symlink(target, link);

    const auto r = cli({"--database", link, "run", "3000", "10", "WOTA"});
    EXPECT_EQ(r.status, cli::kDone) << r.out;
    EXPECT_EQ(count(targetCs, "PLIO"), 4);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(entriesIn(shared), 1);
    EXPECT_EQ(entriesIn(team), 1);
}

TEST(OddPaths, aFileFarLargerThanAnyGameIsRefusedUnread) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    playedGame(path, 0);
    // Sparse: it takes no room on the disk.
    fs::resize_file(path, static_cast<std::uintmax_t>(store::kMaxFileBytes) + 4096);
    expectRefused(cli({"--database", path, "run", "3000", "10", "WOTA"}), path,
                  "is far larger than any game; nothing was changed (it holds 128 MiB)");
    expectRefused(cli({"--database", path, "status"}), path, "is far larger than any game");
}

// A process id that was in use a moment ago and is free now.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Commands killed while they make a new game, an archived copy or a branch
// leave temporary files; the next command clears those of processes that
// have ended, and nothing else.
TEST(Leftovers, temporariesOfEndedProcessesAreClearedAndNothingElse) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    playedGame(path, 1);
    const auto before = bytesOf(path);
    const std::string ended = std::to_string(endedProcess());
    const std::string alive = std::to_string(::getpid());
    const std::vector<std::string> cleared = {"team.mdb.new-" + ended,
                                              "team.mdb.new-" + ended + "-journal",
                                              "team-20261209-101010.mdb.new-" + ended,
                                              "team-20261209-101010-2.mdb.new-" + ended + "-wal"};
    const std::vector<std::string> kept = {
        "team.mdb.new-" + alive,        // its process may be writing it now
        "other.mdb.new-" + ended,       // another game's
        "team.mdb.new-" + ended + "x",  // not a name the game makes
        "team.mdb.new-", "notes.txt"};
    for (const auto& name : cleared) writeBytes(dir.file(name), "half a game");
    for (const auto& name : kept) writeBytes(dir.file(name), "something");
    fs::create_directory(dir.file("team.mdb.new-" + ended + "-shm"));  // no file: kept
    if (::geteuid() == 0) {
        // Another player's, in a shared folder.
        writeBytes(dir.file("team.mdb.new-1"), "theirs");
        ASSERT_EQ(::chown(dir.file("team.mdb.new-1").c_str(), 65534, 65534), 0);
    }

    EXPECT_EQ(cli({"--database", path, "status"}).status, cli::kDone);
    for (const auto& name : cleared) EXPECT_FALSE(fs::exists(dir.file(name))) << name;
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(dir.file(name))) << name;
    EXPECT_TRUE(fs::is_directory(dir.file("team.mdb.new-" + ended + "-shm")));
    if (::geteuid() == 0) {
        EXPECT_TRUE(fs::exists(dir.file("team.mdb.new-1")));
    }
    EXPECT_EQ(bytesOf(path), before);
}

TEST(Leftovers, killedWhileMakingANewGameTheNextCommandFindsNoTemporaryLeft) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    std::mt19937 random(2026);
    int leftBehind = 0;
    const auto temporaryThere = [&] {
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().find(".new-") != std::string::npos) return true;
        return false;
    };
    for (int round = 0; round < 40; ++round) {
        fs::remove(path);
        CliProcess player({"--database", path, "status"});
        // Every other round is killed while its new game is being made,
        // however slowly the machine starts it; the others at any instant.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (round % 2 == 0 && !temporaryThere() && std::chrono::steady_clock::now() < deadline)
            ::usleep(100);
        ::usleep(std::uniform_int_distribution<int>(0, round % 2 ? 12000 : 1000)(random));
        ::kill(player.pid(), SIGKILL);
        player.wait();
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().find(".new-") != std::string::npos) ++leftBehind;
    }
    // The kills did leave some behind, or the test proves nothing.
    EXPECT_GT(leftBehind, 0);
    const auto r = cli({"--database", path, "status"});
    EXPECT_EQ(r.status, cli::kDone) << r.out;
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos) << e.path();
}

TEST(Journals, aJournalLeftByADeletedGameIsSetAsideNotRolledIntoTheNewOne) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    playedGame(path, 3);
    const auto journal = crashInTheMiddleOfACommit(path);
    fs::remove(path);

    const auto r = cli({"--database", path, "status"});
    EXPECT_EQ(r.status, cli::kDone) << r.out;
    EXPECT_NE(r.out.find("PLAN-QUARTER NO. :: 2"), std::string::npos) << r.out;
    // The new game is a new game, whole.
    const auto cs = store::connectionStringForFile(path);
    EXPECT_EQ(scalarText(cs, "SELECT group_concat(PNPLPD) FROM PLIO"), "0,1");
    EXPECT_EQ(scalarText(cs, "SELECT group_concat(ZNPLPD) FROM PLDI"), "1");
    EXPECT_EQ(scalarText(cs, "SELECT count(*)||','||min(ENPLPD)||','||max(ENPLPD) FROM PLED"),
              "25,0,0");
    EXPECT_EQ(scalarText(cs, "PRAGMA integrity_check"), "ok");
    // The old journal is kept under a name that says what it is.
    EXPECT_FALSE(fs::exists(path + "-journal"));
    std::vector<fs::path> stale;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind("team.mdb-journal.stale-", 0) == 0)
            stale.push_back(e.path());
    ASSERT_EQ(stale.size(), 1u);
    EXPECT_EQ(stale[0].filename().string().size(),
              std::string("team.mdb-journal.stale-20260309-141502").size());
    EXPECT_EQ(bytesOf(stale[0].string()), journal);

    // Another game lost the same way sets its journal aside beside the first.
    const auto again = crashInTheMiddleOfACommit(path);
    fs::remove(path);
    EXPECT_EQ(cli({"--database", path, "run", "3000", "10", "WOTA"}).status, cli::kDone);
    EXPECT_EQ(scalarText(cs, "SELECT group_concat(PNPLPD) FROM PLIO"), "0,1,2");
    EXPECT_EQ(entriesIn(dir), 3);
}

TEST(Journals, aHotJournalIsRolledBackByTheFirstCommandAndTheGamePlaysOn) {
    for (const char* first : {"status", "history", "run"}) {
        TempDir dir;
        const auto path = dir.file("team.mdb");
        const auto cs = playedGame(path, 3);
        const auto before = dump(cs);
        crashInTheMiddleOfACommit(path);

        const auto r = std::string(first) == "run"
                           ? cli({"--database", path, "run", "3000", "10", "WOTA"})
                           : cli({"--database", path, first});
        EXPECT_EQ(r.status, cli::kDone) << first << ": " << r.out;
        EXPECT_EQ(r.out.find("read-only"), std::string::npos) << r.out;
        EXPECT_FALSE(fs::exists(path + "-journal")) << first;
        if (std::string(first) == "run") {
            EXPECT_EQ(count(cs, "PLIO"), 6);
        } else {
            EXPECT_NE(
                r.out.find(first == std::string("status") ? "PLAN-QUARTER NO. :: 5" : "\n  4 "),
                std::string::npos)
                << r.out;
            EXPECT_EQ(dump(cs), before);
        }
        EXPECT_EQ(scalarText(cs, "PRAGMA integrity_check"), "ok");
    }
}

// The decisions and accounting of a history printed as CSV agree: every
// quarter run has its accounting row, and only the last row is undecided.
void expectWholeHistory(const std::string& csv) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    ASSERT_EQ(line.rfind("PNPLPD,", 0), 0u) << csv;
    std::vector<std::vector<std::string>> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string f; std::getline(cells, f, ',');) fields.push_back(f);
        fields.resize(49);
        rows.push_back(fields);
    }
    ASSERT_GE(rows.size(), 2u) << csv;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r][0], std::to_string(r)) << csv;
        EXPECT_EQ(rows[r][24], r == 0 ? "" : std::to_string(r)) << "PLDI of row " << r << "\n"
                                                                << csv;
        if (r > 0) {
            EXPECT_EQ(rows[r][20].empty(), r + 1 == rows.size()) << "PORD of row " << r << "\n"
                                                                 << csv;
        }
    }
}

TEST(Concurrency, playersRunningAndReinitialisingAtOnceLoseNothing) {
    TempDir dir;
    const auto path = dir.file("class.mdb");
    const auto cs = store::connectionStringForFile(path);
    model::ensureGameDatabase(cs);
    const std::string busy = "Game Database: The game database " + path +
                             " is being used by another player; nothing was changed.";
    constexpr int kRounds = 9;
    constexpr int kPlayers = 6;
    int refused = 0;
    for (int round = 0; round < kRounds; ++round) {
        const bool withReinit = round % 3 == 2;
        const long long rowsBefore = count(cs, "PLIO");
        std::vector<std::pair<int, int>> typed(kPlayers);
        std::vector<std::unique_ptr<CliProcess>> players;
        for (int i = 0; i < kPlayers; ++i) {
            std::vector<std::string> args{"--database", path};
            if (withReinit && i == 0) {
                args.insert(args.end(), {"reinit", "PELIX"});
            } else if (i == kPlayers - 1) {
                args.insert(args.end(), {"history", "--csv"});
            } else {
                typed[static_cast<std::size_t>(i)] = {2000 + 100 * round + i, 5 + i};
                args.insert(args.end(), {"run", std::to_string(2000 + 100 * round + i),
                                         std::to_string(5 + i), "WOTA"});
            }
            players.push_back(std::make_unique<CliProcess>(args));
        }
        std::multiset<std::pair<int, int>> ranOn;
        bool reinitialised = false;
        for (int i = 0; i < kPlayers; ++i) {
            const auto r = players[static_cast<std::size_t>(i)]->wait();
            ASSERT_FALSE(r.timedOut) << "round " << round << " player " << i;
            if (r.status == cli::kDatabaseFailed) {
                // Refused as a whole, with the one message.
                EXPECT_EQ(r.lines().back(), busy) << r.out;
                ++refused;
                continue;
            }
            ASSERT_EQ(r.status, cli::kDone) << r.out;
            if (withReinit && i == 0) {
                reinitialised = true;
            } else if (i == kPlayers - 1) {
                expectWholeHistory(r.out);
            } else {
                EXPECT_NE(r.out.find(": SD Simulation Run is now over !!!"), std::string::npos)
                    << r.out;
                ranOn.insert(typed[static_cast<std::size_t>(i)]);
            }
        }

        // PLIO 0..k, PLDI 1..k, PLED the 25 steps of run k-1.
        const long long k = count(cs, "PLIO") - 1;
        const auto K = std::to_string(k);
        EXPECT_EQ(scalarText(cs, "SELECT min(PNPLPD)||','||max(PNPLPD)||','||count(*) FROM PLIO"),
                  "0," + K + "," + std::to_string(k + 1));
        EXPECT_EQ(scalarText(cs, "SELECT min(ZNPLPD)||','||max(ZNPLPD)||','||count(*) FROM PLDI"),
                  std::string("1,").append(K).append(",").append(K));
        EXPECT_EQ(scalarText(cs, "SELECT count(*)||','||min(ENPLPD)||','||max(ENPLPD) FROM PLED"),
                  "25," + std::to_string(k - 1) + "," + std::to_string(k - 1));
        EXPECT_EQ(scalarText(cs, "PRAGMA integrity_check"), "ok");
        // Every quarter ran on its own decisions, stored as typed.
        EXPECT_EQ(scalarText(cs, "SELECT count(*) FROM PLIO WHERE PNPLPD BETWEEN 1 AND " + K +
                                     " - 1 AND (PORD IS NULL OR PRORD IS NOT PORD OR "
                                     "PRHRD IS NOT PHRD)"),
                  "0");
        EXPECT_EQ(scalarText(cs, "SELECT PORD IS NULL FROM PLIO WHERE PNPLPD = " + K), "1");
        std::multiset<std::pair<int, int>> stored;
        const long long firstNew = reinitialised ? 1 : rowsBefore - 1;
        for (long long row = firstNew; row < k; ++row)
            stored.insert({std::stoi(scalarText(
                               cs, "SELECT PORD FROM PLIO WHERE PNPLPD = " + std::to_string(row))),
                           std::stoi(scalarText(cs, "SELECT PHRD FROM PLIO WHERE PNPLPD = " +
                                                        std::to_string(row)))});
        if (reinitialised) {
            // Runs before the re-initialisation were thrown away with the rest.
            EXPECT_TRUE(std::includes(ranOn.begin(), ranOn.end(), stored.begin(), stored.end()));
        } else {
            EXPECT_EQ(stored, ranOn) << "round " << round;
        }
        // At rest the game is one file, beside the games its
        // re-initialisations kept.
        EXPECT_EQ(entriesIn(dir), 1 + static_cast<int>(model::listArchive(path).size()));
    }
    // The few milliseconds a run holds the file are far inside the wait.
    EXPECT_EQ(refused, 0);
}

TEST(Concurrency, playersStartingANewGameAtOnceShareOneGame) {
    TempDir dir;
    const auto path = dir.file("class.mdb");
    std::vector<std::unique_ptr<CliProcess>> players;
    players.reserve(6);
    for (int i = 0; i < 6; ++i)
        players.push_back(std::make_unique<CliProcess>(std::vector<std::string>{
            "--database", path, "run", std::to_string(3000 + i), "10", "WOTA"}));
    for (auto& p : players) {
        const auto r = p->wait();
        EXPECT_EQ(r.status, cli::kDone) << r.out;
    }
    // No game made by one was replaced by another's: every run is in it.
    const auto cs = store::connectionStringForFile(path);
    EXPECT_EQ(scalarText(cs, "SELECT group_concat(PNPLPD) FROM PLIO"), "0,1,2,3,4,5,6,7");
    EXPECT_EQ(scalarText(cs, "SELECT count(DISTINCT PORD) FROM PLIO"), "6");
    EXPECT_EQ(entriesIn(dir), 1);
}

TEST(Concurrency, readersAndWritersWaitForEachOtherAndNeverSeeHalfAQuarter) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    const auto cs = playedGame(path, 1);
    {
        // A run in progress holds the file: a second run and a reader wait.
        std::optional<store::Connection> holder;
        holder.emplace(cs, store::Access::Exclusive);
        CliProcess run({"--database", path, "run", "3000", "10", "WOTA"});
        CliProcess status({"--database", path, "status"});
        ::usleep(300000);
        EXPECT_EQ(::waitpid(run.pid(), nullptr, WNOHANG), 0) << "the run did not wait";
        EXPECT_EQ(::waitpid(status.pid(), nullptr, WNOHANG), 0) << "the reader did not wait";
        // The waiting run reads the row only once it has the file.
        holder->execute("update PLIO set PORD=4444 where PNPLPD=2");
        holder.reset();
        const auto ran = run.wait();
        EXPECT_EQ(ran.status, cli::kDone) << ran.out;
        const auto read = status.wait();
        EXPECT_EQ(read.status, cli::kDone) << read.out;
    }
    EXPECT_EQ(count(cs, "PLIO"), 4);
    EXPECT_EQ(scalarText(cs, "SELECT PORD FROM PLIO WHERE PNPLPD=2"), "3000");

    // A reader's snapshot keeps a run waiting until it is done, and sees one
    // state throughout.
    store::Connection reader(cs, store::Access::Read);
    std::optional<CliProcess> run;
    {
        store::Snapshot snapshot(reader);
        const int rows = reader.openRecordset("Select * from PLIO").recordCount();
        run.emplace(std::vector<std::string>{"--database", path, "run", "3000", "10", "WOTA"});
        ::usleep(300000);
        EXPECT_EQ(::waitpid(run->pid(), nullptr, WNOHANG), 0) << "the run did not wait";
        EXPECT_EQ(reader.openRecordset("Select * from PLDI").recordCount(), rows - 1);
        EXPECT_EQ(reader.openRecordset("Select * from PLIO").recordCount(), rows);
    }
    const auto ran = run->wait();
    EXPECT_EQ(ran.status, cli::kDone) << ran.out;
    EXPECT_EQ(reader.openRecordset("Select * from PLIO").recordCount(), 5);
}

TEST(Concurrency, aCommandThatFindsTheFileBusyTooLongRefusesWithOneMessage) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    const auto cs = playedGame(path, 1);
    const auto before = dump(cs);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    store::setBusyTimeout(300);
    const std::string busy = "Game Database: The game database " + path +
                             " is being used by another player; nothing was changed.\n";
    // The failure is a critical box and goes to the error stream; what the
    // command showed before it stays on the output.
    for (const auto& [args, out] :
         {std::pair{std::vector<std::string>{"run", "3000", "10", "WOTA"}, std::string()},
          std::pair{std::vector<std::string>{"reinit", "PELIX"},
                    std::string(": Enter Appropriate parameters....\n")},
          std::pair{std::vector<std::string>{"status"}, "Game file: " + path + "\n"},
          std::pair{std::vector<std::string>{"history"}, std::string()}}) {
        std::vector<std::string> line{"--database", path};
        line.insert(line.end(), args.begin(), args.end());
        std::ostringstream printed, errors;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(cli::runCli(line, dir.path().string(), printed, errors), cli::kDatabaseFailed);
        EXPECT_EQ(printed.str(), out);
        EXPECT_EQ(errors.str(), busy);
        // It waited its bounded time, then gave up.
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(250));
    }
    store::setBusyTimeout(5000);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(dump(cs), before);
}

}  // namespace
}  // namespace tessaro::testing

namespace tessaro::testing {
namespace {

// Runs tessaro-cli in this process, as the command-line front does.
struct InProcess {
    int status;
    std::string out, err;
};
InProcess run(const TempDir& dir, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::runCli(args, dir.path().string(), out, err);
    return {status, out.str(), err.str()};
}

TEST(TakeBackCommands, undoGamesAndBranchSayWhatTheyDidAndExitAccordingly) {
    TempDir dir;
    const auto path = dir.file("team.mdb");
    const auto cs = playedGame(path, 3);
    const auto played = dump(cs);

    auto r = run(dir, {"--database", path, "undo", "WOTA"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Invalid Password: The password is not the one for taking back a "
              "plan-quarter; nothing was taken back.\n");
    r = run(dir, {"undo", "pelix", "--database", path});
    EXPECT_EQ(r.status, cli::kDone) << r.err;
    EXPECT_EQ(r.out.rfind("Take Back For Tessaro: The last plan-quarter was taken back: the game "
                          "stands at plan-quarter 4 again",
                          0),
              0u)
        << r.out;
    // The board of the game taken back follows.
    EXPECT_NE(r.out.find("PLAN-QUARTER NO. :: 4"), std::string::npos) << r.out;
    EXPECT_EQ(run(dir, {"--database", path, "run", "3200", "10", "WOTA"}).status, cli::kDone);
    EXPECT_EQ(dump(cs), played);

    // A branch, its refusals, and the game left as it was.
    const auto out = dir.file("what-if.mdb");
    r = run(dir, {"--database", path, "branch", "2", out});
    EXPECT_EQ(r.status, cli::kDone) << r.err;
    EXPECT_EQ(r.out, "Branch For Tessaro: The game as it stood at plan-quarter 2 was written to " +
                         out + ", to be played on with --database " + out + ".\n");
    EXPECT_EQ(count(store::connectionStringForFile(out), "PLIO"), 3);
    EXPECT_EQ(run(dir, {"--database", path, "branch", "2", out}).status, cli::kRefused);
    EXPECT_EQ(run(dir, {"--database", path, "branch", "5", dir.file("b.mdb")}).status,
              cli::kRefused);
    EXPECT_EQ(run(dir, {"--database", path, "branch", "two", dir.file("b.mdb")}).status,
              cli::kUsage);
    EXPECT_EQ(run(dir, {"--database", path, "branch", "2"}).status, cli::kUsage);
    EXPECT_EQ(
        run(dir, {"--database", dir.file("none.mdb"), "branch", "1", dir.file("b.mdb")}).status,
        cli::kDatabaseFailed);
    EXPECT_FALSE(fs::exists(dir.file("b.mdb")));
    EXPECT_FALSE(fs::exists(dir.file("none.mdb")));
    EXPECT_EQ(dump(cs), played);

    // The archive, empty, then with the game a re-initialisation kept.
    r = run(dir, {"--database", path, "games"});
    EXPECT_EQ(r.status, cli::kDone);
    EXPECT_EQ(r.out, "No games of " + path + " are kept in its archive.\n");
    EXPECT_EQ(run(dir, {"--database", path, "reinit", "PELIX"}).status, cli::kDone);
    r = run(dir, {"--database", path, "games"});
    EXPECT_EQ(r.status, cli::kDone);
    const auto lines = CliResult{0, r.out, false, {}}.lines();
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "Games kept from " + path + ", newest first:");
    EXPECT_NE(lines[2].find(dir.file("team-")), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find("| 4 "), std::string::npos) << lines[2];
    // And nothing to take back after the re-initialisation.
    r = run(dir, {"--database", path, "undo", "PELIX"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.err.find("There is no plan-quarter to take back"), std::string::npos) << r.err;
}

TEST(Concurrency, takeBacksAndRunsAtOnceNeverMix) {
    TempDir dir;
    const auto path = dir.file("class.mdb");
    const auto cs = playedGame(path, 0);
    const auto fresh = dump(cs);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<CliProcess>> players;
        players.reserve(6);
        for (int i = 0; i < 6; ++i)
            players.push_back(std::make_unique<CliProcess>(
                i % 2 ? std::vector<std::string>{"--database", path, "undo", "PELIX"}
                      : std::vector<std::string>{"--database", path, "run", "3000", "10", "WOTA"}));
        for (auto& p : players) {
            const auto r = p->wait();
            ASSERT_FALSE(r.timedOut);
            EXPECT_TRUE(r.status == cli::kDone || r.status == cli::kRefused) << r.out;
        }
        const long long k = count(cs, "PLIO") - 1;
        EXPECT_EQ(count(cs, "PLDI"), k);
        EXPECT_EQ(scalarText(cs, "SELECT count(*)||','||min(ENPLPD) FROM PLED"),
                  "25," + std::to_string(k - 1));
        EXPECT_EQ(scalarText(cs, "PRAGMA integrity_check"), "ok");
    }
    // Every quarter left can be taken back in turn, down to the first: each
    // kept what it needs, whatever ran beside it.
    for (;;) {
        const auto r = model::takeBackLastQuarter(cs, "PELIX");
        if (r.outcome != model::TakeBackOutcome::TakenBack) {
            EXPECT_NE(r.messages.at(0).text.find("first plan-quarter"), std::string::npos)
                << r.messages.at(0).text;
            break;
        }
    }
    EXPECT_EQ(dump(cs), fresh);
}

}  // namespace
}  // namespace tessaro::testing
