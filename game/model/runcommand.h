// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The decision window's "System Dynamics Run" command: checks the two
// decisions and the password, then runs the plan-quarter (password "WOTA")
// or re-initialises the game (password "PELIX"), and rebuilds the board.
//
// A re-initialisation first copies a game of more than one quarter whole into
// its archive (model/archive.h); the game's own closing box is followed by a
// box of its own that names the copy. Every run keeps what taking its
// quarter back needs (model/takeback.h).
//
// It talks to the players only through a DecisionPanel, so the same code
// serves the decision window, the command-line front and the tests:
//
//   model::RunCommand command(connectionString);
//   command.run(panel);   // reads panel.text(Box::Production) ...
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/runstopped.h"

namespace tessaro::store {
class Connection;
}

namespace tessaro::model {

// The three entry boxes of the decision window.
enum class Box {
    Production,  // Text2: production orders planned, units per quarter
    Hiring,      // Text3: trainees' hiring planned, persons per quarter
    Password,    // Text1: the run password, shown masked
};

class DecisionPanel {
public:
    virtual ~DecisionPanel() = default;
    virtual std::string text(Box box) const = 0;
    virtual void setText(Box box, const std::string& text) = 0;
    virtual void setFocus(Box box) = 0;
    // Shows a modal box and returns when the players have closed it.
    virtual void showMessage(const MessageBox& box) = 0;
    // Closes the decision window and rebuilds the main window from the
    // database, showing its game board.
    virtual void rebuildBoard() = 0;
};

enum class RunOutcome {
    PlanRun,        // a plan-quarter was run
    Reinitialised,  // the game was re-initialised
    Refused,        // the players' input was refused; nothing was run
    Failed,         // the database or the model stopped the command
};

inline constexpr const char* kRunPassword = "WOTA";
inline constexpr const char* kReinitPassword = "PELIX";

// The number the game reads out of a decision box: the leading numeric part
// of the text (blanks, tabs and line feeds ignored wherever they stand; sign,
// decimal point and exponent accepted), 0 when the text has none.
double leadingNumber(const std::string& text);

// For tests: called, when set, just before the plan run commits, to change
// the file in that instant.
std::function<void()>& beforeCommitHook();

class RunCommand {
public:
    explicit RunCommand(std::string connectionString);

    RunOutcome run(DecisionPanel& panel);

    // The decisions as last read by run(), as checked integers.
    std::int32_t productionOrders() const { return m_productionOrders; }
    std::int32_t traineesHiring() const { return m_traineesHiring; }

private:
    RunOutcome planRun(DecisionPanel& panel);
    RunOutcome reinitialisation(DecisionPanel& panel);
    void finish(DecisionPanel& panel, const char* overText,
                const std::vector<MessageBox>& after = {});

    std::string m_connectionString;
    std::int32_t m_productionOrders = 0;
    std::int32_t m_traineesHiring = 0;
};

// Throws away every played quarter, keeping the first PLIO row, and runs the
// first quarter again, all in one transaction. Throws RunStopped with the
// game's message when PLIO is empty, or when the model cannot run.
void reinitialiseGame(store::Connection& db);

// The message box for a database failure: names the file and the cause.
MessageBox databaseFailureBox(const std::exception& error);

}  // namespace tessaro::model
