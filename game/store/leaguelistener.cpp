// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "leaguelistener.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "classserver.h"
#include "serverplace.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

constexpr std::chrono::milliseconds kFirstBackoff{200};
constexpr std::chrono::milliseconds kLongestBackoff{5000};

std::string firstLine(const char* text) {
    std::string line = text ? text : "";
    if (const auto failed = line.find("failed: "); failed != std::string::npos)
        line = line.substr(failed + 8);
    if (const auto end = line.find('\n'); end != std::string::npos) line.resize(end);
    return line;
}

}  // namespace

LeagueListener::LeagueListener(std::string connectionString)
    : m_connectionString(std::move(connectionString)) {
    const auto place = serverPlace(m_connectionString);
    if (!place)
        throw StoreError(StoreCause::NotAClass, m_connectionString,
                         "a live league needs a class on a server");
    checkServerAddress(place->address);
}

LeagueListener::~LeagueListener() {
    if (m_conn) PQfinish(m_conn);
}

int LeagueListener::socket() const {
    return m_conn && m_status == Status::Listening ? PQsocket(m_conn) : -1;
}

std::string LeagueListener::statusText() const {
    switch (m_status) {
        case Status::Listening:
            return "";
        case Status::Connecting:
            return "Connecting to the class server...";
        case Status::Lost:
            return "The connection to the class server was lost (" + m_lastError +
                   "); connecting again. The league shows the state before.";
    }
    return "";
}

void LeagueListener::drop(const std::string& why) {
    if (m_conn) PQfinish(m_conn);
    m_conn = nullptr;
    m_lastError = why;
    m_status = Status::Lost;
    m_backoff = std::clamp(m_backoff * 2, kFirstBackoff, kLongestBackoff);
    m_nextAttempt = std::chrono::steady_clock::now() + m_backoff;
}

void LeagueListener::connect() {
    const auto place = serverPlace(m_connectionString);
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr, nullptr};
    const char* values[] = {"5", "tessaro league", place->address.c_str(), nullptr, nullptr};
    if (!serverPassword().empty()) {
        keys[3] = "password";
        values[3] = serverPassword().c_str();
    }
    m_conn = PQconnectdbParams(keys, values, 1);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        drop(firstLine(m_conn ? PQerrorMessage(m_conn) : "out of memory"));
        return;
    }
    PGresult* result = PQexec(m_conn, (std::string("LISTEN ") + kLeagueChannel).c_str());
    const bool listening = result && PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    if (!listening) {
        drop(firstLine(PQerrorMessage(m_conn)));
        return;
    }
    PQsetnonblocking(m_conn, 1);
    m_status = Status::Listening;
    m_backoff = std::chrono::milliseconds(0);
}

bool LeagueListener::takeNotifications() {
    // A server going down says why and then closes the connection: what is
    // there to read is read to its end, so that the closing is seen now.
    for (int reads = 0; reads < 8; ++reads) {
        if (!PQconsumeInput(m_conn) || PQstatus(m_conn) == CONNECTION_BAD) {
            drop(firstLine(PQerrorMessage(m_conn)));
            return false;
        }
        pollfd more{PQsocket(m_conn), POLLIN, 0};
        if (::poll(&more, 1, 0) <= 0) break;
    }
    bool heard = false;
    while (PGnotify* note = PQnotifies(m_conn)) {
        const std::string team = note->extra ? note->extra : "";
        if (std::find(m_teams.begin(), m_teams.end(), team) == m_teams.end())
            m_teams.push_back(team);
        PQfreemem(note);
        heard = true;
    }
    return heard;
}

bool LeagueListener::poll() {
    if (m_status != Status::Listening) {
        if (std::chrono::steady_clock::now() < m_nextAttempt) return false;
        connect();
        // Connected (again): what happened meanwhile was not heard.
        return m_status == Status::Listening;
    }
    return takeNotifications();
}

bool LeagueListener::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (poll()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        auto until = deadline;
        if (m_status != Status::Listening) until = std::min(until, m_nextAttempt);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
        pollfd fd{socket(), POLLIN, 0};
        if (fd.fd >= 0)
            ::poll(&fd, 1, static_cast<int>(std::max<long long>(ms, 1)));
        else
            ::poll(nullptr, 0, static_cast<int>(std::max<long long>(ms, 1)));
    }
}

std::vector<std::string> LeagueListener::takeTeams() {
    return std::exchange(m_teams, {});
}

}  // namespace tessaro::store
