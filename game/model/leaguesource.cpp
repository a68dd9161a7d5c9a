// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/leaguesource.h"

#include <stdexcept>

#include "model/gamefile.h"
#include "store/leaguelistener.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

constexpr const char* kTeamsCannotReadTheClass =
    "The league of the class is read with the teacher's login on the class server; this "
    "login may read only its own team's game";

class FileLeague : public LeagueSource {
public:
    explicit FileLeague(std::vector<std::string> files) : m_files(std::move(files)) {}
    League read() override { return readLeague(m_files); }

private:
    std::vector<std::string> m_files;
};

class ServerLeague : public LeagueSource {
public:
    explicit ServerLeague(std::string connectionString)
        : m_connectionString(std::move(connectionString)), m_listener(m_connectionString) {}

    League read() override {
        try {
            return readServerLeague(m_connectionString);
        } catch (const store::StoreError& e) {
            if (e.cause() != store::StoreCause::Denied) throw;
            // A team's login may read only its own game: the class's
            // league is the teacher's.
            throw std::runtime_error(std::string(kTeamsCannotReadTheClass) + " (" + e.what() + ")");
        }
    }
    bool onServer() const override { return true; }
    bool poll() override {
        const bool changed = m_listener.poll();
        // Which teams ran does not matter: the league is read whole.
        m_listener.takeTeams();
        return changed;
    }
    int socket() const override { return m_listener.socket(); }
    std::string statusText() const override { return m_listener.statusText(); }

private:
    std::string m_connectionString;
    store::LeagueListener m_listener;
};

}  // namespace

std::unique_ptr<LeagueSource> fileLeague(std::vector<std::string> files) {
    return std::make_unique<FileLeague>(std::move(files));
}

std::unique_ptr<LeagueSource> serverLeague(std::string connectionString) {
    return std::make_unique<ServerLeague>(std::move(connectionString));
}

std::unique_ptr<LeagueSource> leagueSourceFor(const std::string& gameConnectionString,
                                              std::vector<std::string> files) {
    if (gameIsOnServer(gameConnectionString)) return serverLeague(gameConnectionString);
    return fileLeague(std::move(files));
}

}  // namespace tessaro::model
