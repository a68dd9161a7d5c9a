// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The teacher's class commands and the clear refusals of a game on a
// server, through tessaro-cli as the teacher and the teams run it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "cli.h"
#include "cliprocess.h"
#include "servertest.h"
#include "store/serverplace.h"

namespace tessaro::testing {
namespace {

CliResult onServer(const std::string& address, std::vector<std::string> args) {
    args.insert(args.begin(), {"--server", address});
    return cli(args);
}

std::string rolesLike(const ServerClass& server) {
    return adminSql("SELECT count(*) FROM pg_roles WHERE rolname LIKE '" + server.team("") +
                    "%' AND rolname <> '" + server.teacherRole() + "'");
}

TEST(ClassInit, badTeamNamesAndExistingTeamsRefuseBeforeAnythingIsMade) {
    ServerClass server;
    const auto teacher = server.address(server.teacherRole());
    const std::string ok = server.team("ok");
    for (const std::vector<std::string>& names :
         {std::vector<std::string>{ok, server.team("Upper")},
          {ok, server.team("a-b")},
          {ok, "pg_" + server.team("x")},
          {ok, "public"},
          {ok, "tessaro"},
          {ok, ""},
          {ok, server.team(std::string(31, 'x'))},
          {ok, ok}}) {
        std::vector<std::string> args{"class", "init"};
        args.insert(args.end(), names.begin(), names.end());
        const auto r = onServer(teacher, args);
        EXPECT_EQ(r.status, cli::kRefused) << names.back() << ": " << r.out;
        EXPECT_NE(r.out.find("othing was created"), std::string::npos) << r.out;
    }
    EXPECT_EQ(rolesLike(server), "0");
    EXPECT_EQ(
        adminSql("SELECT count(*) FROM pg_namespace WHERE nspname = 'tessaro'", server.database()),
        "0");

    // A team that exists refuses the whole command: the new one is not
    // made, its password file not written, the old one untouched.
    TempDir dir;
    ASSERT_EQ(onServer(teacher, {"class", "init", ok, "--passwords", dir.file("first")}).status,
              cli::kDone);
    ASSERT_EQ(onServer(server.address(server.teacherRole()), {"class", "list"}).status, cli::kDone);
    const std::string fresh = server.team("fresh");
    const auto again =
        onServer(teacher, {"class", "init", fresh, ok, "--passwords", dir.file("second")});
    EXPECT_EQ(again.status, cli::kRefused) << again.out;
    EXPECT_NE(again.out.find(ok + " already"), std::string::npos) << again.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("second")));
    EXPECT_EQ(rolesLike(server), "1");
}

TEST(ClassInit, passwordsAreWrittenOnceAsPgpassLinesOnlyTheTeacherCanRead) {
    ServerClass server;
    TempDir dir;
    const std::string file = dir.file("teams.pgpass");
    const std::string a = server.team("a"), b = server.team("b");
    const auto r = onServer(server.address(server.teacherRole()),
                            {"class", "init", a, b, "--passwords", file});
    ASSERT_EQ(r.status, cli::kDone) << r.out;
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 2u);
    const std::regex pgpass("[^:]+:" + cluster().port + ":" + server.database() + ":(" + a + "|" +
                            b + "):[A-Za-z0-9]{20}");
    for (const auto& l : lines) EXPECT_TRUE(std::regex_match(l, pgpass)) << l;
    // The password is nowhere in what the command printed.
    EXPECT_EQ(r.out.find(lines[0].substr(lines[0].rfind(':') + 1)), std::string::npos);

    // With its line, a team plays; without it, it is told where to put one.
    const auto none = onServer(server.address(a), {"status"});
    EXPECT_EQ(none.status, cli::kLoginRefused) << none.out;
    EXPECT_NE(none.out.find("needs a password, and none was found: put it in ~/.pgpass"),
              std::string::npos)
        << none.out;
    for (const auto& l : lines) server.addPassword(l);
    const auto run = onServer(server.address(a), {"run", "3000", "10", "WOTA"});
    EXPECT_EQ(run.status, cli::kDone) << run.out;
    EXPECT_NE(run.out.find("PLAN-QUARTER NO. :: 3"), std::string::npos) << run.out;

    const auto list = onServer(server.address(server.teacherRole()), {"class", "list"});
    EXPECT_EQ(list.status, cli::kDone) << list.out;
    EXPECT_TRUE(std::regex_search(list.out, std::regex(a + " +\\| 2 +\\| 20[0-9-]+ [0-9:]+")))
        << list.out;
    EXPECT_TRUE(std::regex_search(list.out, std::regex(b + " +\\| 1 "))) << list.out;
}

TEST(ClassCommands, reinitKeepsTheArchiveAndDropAsksFirst) {
    ServerClass server;
    const auto teams = server.init({"a"});
    const auto teacher = server.address(server.teacherRole());
    for (int q = 0; q < 3; ++q)
        ASSERT_EQ(onServer(server.address(teams[0]), {"run", "3000", "10", "WOTA"}).status,
                  cli::kDone);
    const auto reinit = onServer(teacher, {"class", "reinit", teams[0]});
    EXPECT_EQ(reinit.status, cli::kDone) << reinit.out;
    EXPECT_NE(reinit.out.find("was kept in archive 1 of " + teams[0]), std::string::npos)
        << reinit.out;
    const auto games = onServer(server.address(teams[0]), {"games"});
    EXPECT_NE(games.out.find("archive 1"), std::string::npos) << games.out;
    EXPECT_NE(games.out.find("| 4 "), std::string::npos) << games.out;

    // A wrong answer to the question drops nothing.
    const std::string command = "printf 'nope\\n' | '" + std::string(TESSARO_CLI) + "' --server '" +
                                teacher + "' class drop " + teams[0] + " >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), cli::kRefused);
    EXPECT_EQ(rolesLike(server), "1");
    const auto dropped = onServer(teacher, {"class", "drop", teams[0], "--yes"});
    EXPECT_EQ(dropped.status, cli::kDone) << dropped.out;
    EXPECT_EQ(rolesLike(server), "0");
    EXPECT_EQ(adminSql("SELECT count(*) FROM pg_namespace WHERE nspname = '" + teams[0] + "'",
                       server.database()),
              "0");
    // Only a team of the class is dropped: never another role.
    const auto other = onServer(teacher, {"class", "drop", server.teacherRole(), "--yes"});
    EXPECT_EQ(other.status, cli::kRefused) << other.out;
}

// Each way a server can fail a team has its own message, naming the server,
// and its own exit status; none hangs.
TEST(ServerFailures, eachHasItsOwnMessageAndExitStatus) {
    ServerClass server;
    const auto teams = server.init({"a"});
    struct Case {
        const char* what;
        std::string address;
        int status;
        std::string words;
    };
    const Case cases[] = {
        {"nothing listens", "host=127.0.0.1 port=1 dbname=x user=" + teams[0],
         cli::kServerUnreachable, "cannot be reached: the server does not answer"},
        {"wrong password",
         "host=127.0.0.1 port=" + cluster().port + " dbname=" + server.database() +
             " user=" + teams[0] + " passfile=/dev/null",
         cli::kLoginRefused, "needs a password"},
        {"no such team", server.address(server.team("ghost")), cli::kLoginRefused,
         "needs a password"},
        {"not a class", server.address(server.teacherRole()), cli::kNotAClass,
         "is not there: the database is not a class"},
        {"password in the address",
         "postgresql://" + teams[0] + ":secret@localhost/" + server.database(), cli::kUsage,
         "put it in ~/.pgpass"},
        {"unreadable address", "host=localhost port", cli::kUsage,
         "the server's address cannot be read"},
    };
    server.addPassword("127.0.0.1:*:*:" + server.team("nobody") + ":x");
    for (const auto& c : cases) {
        const auto r = cli({"--server", c.address, "status"}, std::chrono::seconds(30));
        EXPECT_FALSE(r.timedOut) << c.what;
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.out;
        EXPECT_NE(r.out.find(c.words), std::string::npos) << c.what << ": " << r.out;
        EXPECT_EQ(r.out.find("secret"), std::string::npos) << c.what << ": " << r.out;
    }
    // A wrong password, given in the .pgpass, is told as such.
    server.addPassword("127.0.0.1:*:*:" + teams[0] + ":wrong");
    const auto wrong = cli({"--server", server.address(teams[0], true), "status"});
    EXPECT_EQ(wrong.status, cli::kLoginRefused) << wrong.out;
    EXPECT_NE(wrong.out.find("refused the login: the password is wrong"), std::string::npos)
        << wrong.out;
    // TESSARO_SERVER gives the server when --server does not.
    ::setenv(store::kServerVariable, server.address(teams[0]).c_str(), 1);
    const auto fromEnvironment = cli({"status"});
    ::unsetenv(store::kServerVariable);
    EXPECT_EQ(fromEnvironment.status, cli::kDone) << fromEnvironment.out;
    EXPECT_NE(fromEnvironment.out.find("PLAN-QUARTER NO. :: 2"), std::string::npos);
}

}  // namespace
}  // namespace tessaro::testing
