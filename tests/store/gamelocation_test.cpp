// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Where the game file lies: beside a portable program, else in the
// player's own data folder; never a file of another player by default.
#include "store/gamelocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "store/storeerror.h"
#include "testgame.h"

namespace tessaro::store {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string fileOf(const GameLocation& where) {
    return pathFromConnectionString(where.connectionString);
}

TEST(GameLocation, aPortableProgramKeepsItsGameBesideIt) {
    TempDir program;
    const auto where = defaultGameLocation(program.path().string());
    EXPECT_TRUE(where.portable);
    EXPECT_EQ(fileOf(where), (program.path() / "TESSARO_DB.mdb").string());
}

TEST(GameLocation, anInstalledOrUnwritableProgramUsesThePlayersDataFolder) {
    TempDir data;
    const ScopedEnv xdg("XDG_DATA_HOME", data.path().c_str());
    const std::string expected = (data.path() / "tessaro" / "TESSARO_DB.mdb").string();

    // Installed for every user: even root, who could write there, does not.
    for (const char* installed : {"/usr/bin", "/usr/local/bin", "/usr/games"}) {
        const auto where = defaultGameLocation(installed);
        EXPECT_FALSE(where.portable) << installed;
        EXPECT_EQ(fileOf(where), expected) << installed;
        EXPECT_NE(where.reason.find(installed), std::string::npos) << where.reason;
    }
    // The data folder is made, for the player alone.
    struct stat st {};
    ASSERT_EQ(::stat((data.path() / "tessaro").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A portable folder whose game file may not be written (root ran it
    // there once, say) is not played: the player's own folder is.
    TempDir program;
    std::ofstream(program.file("TESSARO_DB.mdb")) << "root's game";
    ::chmod(program.file("TESSARO_DB.mdb").c_str(), 0444);
    if (::geteuid() != 0) {  // root may write whatever the bits say
        const auto where = defaultGameLocation(program.path().string());
        EXPECT_FALSE(where.portable);
        EXPECT_EQ(fileOf(where), expected);
    }
}

TEST(GameLocation, theDataFolderFollowsXdgDataHomeThenHome) {
    TempDir home;
    const ScopedEnv homeVar("HOME", home.path().c_str());
    {
        const ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(userDataDirectory(), (home.path() / ".local/share/tessaro").string());
        const auto where = defaultGameLocation("/usr/bin");
        EXPECT_TRUE(fs::is_directory(home.path() / ".local/share/tessaro"));
        EXPECT_EQ(fileOf(where), (home.path() / ".local/share/tessaro/TESSARO_DB.mdb").string());
    }
    {
        // A relative XDG_DATA_HOME is to be ignored.
        const ScopedEnv xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(userDataDirectory(), (home.path() / ".local/share/tessaro").string());
    }
}

TEST(GameLocation, aFileOfAnotherPlayerIsNotPlayedByDefault) {
    TempDir program;
    const std::string file = program.file("TESSARO_DB.mdb");
    std::ofstream(file) << "somebody's game";
    EXPECT_NO_THROW(checkOwnGameFile(file));  // the player's own
    EXPECT_NO_THROW(checkOwnGameFile(program.file("missing.mdb")));

    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    ::chmod(file.c_str(), 0666);  // writable by anybody, still not the player's
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    try {
        gameLocation(nullptr, program.path().string());
        FAIL() << "another player's game file was taken as the player's own";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.path(), file);
        EXPECT_NE(std::string(e.what()).find("belongs to"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("--database"), std::string::npos) << e.what();
    }
    // Named on purpose, a shared file is played.
    const auto named = gameLocation(&file, program.path().string());
    EXPECT_TRUE(named.named);
    EXPECT_EQ(fileOf(named), file);
    std::ifstream back(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "somebody's game");
}

TEST(GameLocation, aNamedFileIsExactlyThatFile) {
    for (const std::string path :
         {"/tmp/semi;colon.mdb", " /tmp/lead.mdb", "/tmp/trail.mdb ", "/tmp/Data Source = x.mdb"}) {
        EXPECT_EQ(pathFromConnectionString(connectionStringForFile(path)), path);
        EXPECT_EQ(fileOf(gameLocation(&path)), path);
    }
}

}  // namespace
}  // namespace tessaro::store
