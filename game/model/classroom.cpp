// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/classroom.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "model/archive.h"
#include "model/newfile.h"
#include "model/runcommand.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/serverplace.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw RunStopped({why, kClassTitle, Icon::Critical});
}

void checkTeamNames(const std::vector<std::string>& teams) {
    if (teams.empty()) refuse("No team was named; nothing was created.");
    std::set<std::string> seen;
    for (const auto& t : teams) {
        if (!store::isTeamName(t))
            refuse("The team name '" + t + "' is refused: " + store::kTeamNameRule +
                   ". Nothing was created.");
        if (!seen.insert(t).second)
            refuse("The team " + t + " is named twice; nothing was created.");
    }
}

// Writes the teams' .pgpass lines into a new file only its owner may read,
// durably, before the teams exist: a password is never lost.
void writePasswords(const std::string& file, const std::vector<std::string>& lines) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        refuse("The passwords cannot be written to " + file + " (" +
               std::generic_category().message(errno) + "); nothing was created.");
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    bool written = ::fchmod(fd, 0600) == 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    written = written && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(file.c_str());
        refuse("The passwords cannot be written to " + file + "; nothing was created.");
    }
}

void requireTeam(store::ClassServer& server, const std::string& team) {
    server.requireClass();
    if (!store::isTeamName(team) || !server.hasTeam(team))
        refuse("The class has no team " + team + "; nothing was changed.");
}

// The rows of every game table from `from` into the empty tables of `into`.
void copyGame(store::Connection& from, store::Connection& into) {
    into.copyRows(from, "SELECT * FROM PLIO ORDER BY PNPLPD", {}, "PLIO");
    into.copyRows(from, "SELECT * FROM PLDI ORDER BY ZNPLPD", {}, "PLDI");
    into.copyRows(from, "SELECT * FROM PLED ORDER BY rowid", {}, "PLED");
    if (from.hasTable(store::takeBackTable().name))
        into.copyRows(from, "SELECT * FROM TAKEBACK ORDER BY TNPLPD", {}, "TAKEBACK");
}

}  // namespace

std::vector<std::string> initClass(const std::string& connectionString,
                                   const std::vector<std::string>& teams,
                                   const std::string& passwordsFile) {
    checkTeamNames(teams);
    store::ClassServer server(connectionString);
    const auto taken = server.namesTaken(teams);
    if (!taken.empty())
        refuse("The server has a role or schema named " + taken.front() +
               " already: class init makes new teams only. Nothing was created.");
    std::vector<std::string> passwords, lines;
    for (const auto& t : teams) {
        passwords.push_back(store::newTeamPassword());
        lines.push_back(server.pgpassLine(t, passwords.back()));
    }
    if (!passwordsFile.empty()) writePasswords(passwordsFile, lines);
    try {
        store::Transaction transaction(server.connection());
        server.makeClass();
        for (std::size_t i = 0; i < teams.size(); ++i) {
            server.createTeam(teams[i], passwords[i]);
            server.connection().execute(store::initialFirmInsertText());
            reinitialiseGame(server.connection());
        }
        transaction.commit();
    } catch (...) {
        if (!passwordsFile.empty()) ::unlink(passwordsFile.c_str());
        throw;
    }
    return passwordsFile.empty() ? lines : std::vector<std::string>{};
}

std::vector<store::ClassTeam> listClass(const std::string& connectionString) {
    store::ClassServer server(connectionString, store::Access::Read);
    store::Snapshot snapshot(server.connection());
    server.requireClass();
    return server.teams();
}

std::string teamGame(const std::string& connectionString, const std::string& team) {
    store::ClassServer server(connectionString, store::Access::Read);
    requireTeam(server, team);
    return server.teamConnectionString(team);
}

void dropTeam(const std::string& connectionString, const std::string& team) {
    store::ClassServer server(connectionString);
    store::Transaction transaction(server.connection());
    requireTeam(server, team);
    server.dropTeam(team);
    transaction.commit();
}

void exportGame(const std::string& source, const std::string& outPath) {
    if (somethingAt(outPath))
        refuse("There is already a file at " + outPath + "; nothing was written.");
    store::Connection game(source, store::Access::Read);
    store::Snapshot snapshot(game);
    const std::string temporary = temporaryFor(outPath);
    removeTemporary(temporary);
    try {
        {
            auto out = store::Connection::createFile(temporary);
            store::Transaction transaction(out);
            store::createGameTables(out);
            copyGame(game, out);
            transaction.commit();
        }
        if (!publishNewFile(temporary, outPath))
            refuse("There is already a file at " + outPath + "; nothing was written.");
        syncFolder(std::filesystem::path(outPath).parent_path().string());
    } catch (...) {
        removeTemporary(temporary);
        throw;
    }
}

std::string importGame(const std::string& inPath, const std::string& teamGame) {
    store::Connection file = store::Connection::openFile(inPath, store::Access::Read);
    store::Snapshot snapshot(file);
    file.checkWholeFile();
    store::Connection game(teamGame, store::Access::Write);
    store::Transaction transaction(game);
    const auto archived = archiveGame(game);
    for (const char* table : {"TAKEBACK", "PLED", "PLDI", "PLIO"})
        game.execute(std::string("DELETE FROM ") + table);
    copyGame(file, game);
    transaction.commit();
    return archived.value_or("");
}

}  // namespace tessaro::model
