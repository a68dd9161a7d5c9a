// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Hears every quarter run of a class on its server, as it is committed,
// through PostgreSQL's LISTEN/NOTIFY: no polling of the games. It keeps its
// own connection (the teacher's), and when that connection drops it says so
// and connects again, a little later each time, until the server is back.
//
// A window drives it from its event loop without a thread:
//
//   store::LeagueListener listener(connectionString);
//   listener.poll();                       // connects; teams() names what changed
//   // watch listener.socket() for reading (a QSocketNotifier): on activity,
//   // and on a timer while status() is not Listening, call poll(); when it
//   // returns true, read the league afresh; when socket() changed, watch the
//   // new one. statusText() is what to show meanwhile.
//
// A command line or a test may block instead: wait(timeout).
#pragma once

#include <chrono>
#include <string>
#include <vector>

struct pg_conn;

namespace tessaro::store {

class LeagueListener {
public:
    enum class Status {
        Connecting,  // not yet connected
        Listening,   // connected, hearing every run
        Lost,        // the connection dropped; connecting again
    };

    explicit LeagueListener(std::string connectionString);
    ~LeagueListener();
    LeagueListener(const LeagueListener&) = delete;
    LeagueListener& operator=(const LeagueListener&) = delete;

    // Does what is due without waiting: connects when not connected (and
    // the wait before the next attempt is over), and takes in what the
    // connection brought. True when the league is to be read afresh: a team
    // ran a quarter, or the connection was (re-)established, after which
    // nothing heard before can be trusted to be complete.
    bool poll();
    // Waits up to `timeout` for the league to change; true when it did.
    bool wait(std::chrono::milliseconds timeout);

    // The teams heard of since the last call of takeTeams(), each once.
    std::vector<std::string> takeTeams();

    // The socket to watch for reading, -1 while not connected. It changes
    // when the connection is made again.
    int socket() const;
    Status status() const { return m_status; }
    // For the window: what it shows beside the league ("" while listening).
    std::string statusText() const;
    // When, on the steady clock, poll() will next try to connect.
    std::chrono::steady_clock::time_point nextAttempt() const { return m_nextAttempt; }

private:
    void connect();
    void drop(const std::string& why);
    bool takeNotifications();

    std::string m_connectionString;
    pg_conn* m_conn = nullptr;
    Status m_status = Status::Connecting;
    std::string m_lastError;
    std::chrono::steady_clock::time_point m_nextAttempt{};
    std::chrono::milliseconds m_backoff{0};
    std::vector<std::string> m_teams;
};

}  // namespace tessaro::store
