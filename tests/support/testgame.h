// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Game databases in temporary folders for the tests.
#pragma once

#include <filesystem>
#include <string>

namespace tessaro::testing {

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Connection string of TESSARO_DB.mdb in `dir` (not created).
std::string gameIn(const TempDir& dir);

// Creates a new game in `dir` (row 0 re-initialised: PLIO rows 0 and 1) and
// returns its connection string.
std::string newGame(const TempDir& dir);

// Creates the three tables with no rows at all.
std::string emptyTables(const TempDir& dir);

// Executes raw SQL on the game file, bypassing the game's own statements.
void sql(const std::string& connectionString, const std::string& statements);

// A row count or a single value read with raw SQL.
long long count(const std::string& connectionString, const std::string& table);
std::string scalarText(const std::string& connectionString, const std::string& select);

// Every row of every table (the take-back table too, when the file has it)
// as text, to compare whole databases.
std::string dump(const std::string& connectionString);

}  // namespace tessaro::testing

#include <vector>

#include "model/runcommand.h"

namespace tessaro::testing {

// The decision window as the run command sees it, recording what the
// players would see: every message box, every focus change, the rebuild.
class RecordingPanel : public model::DecisionPanel {
public:
    RecordingPanel(std::string production, std::string hiring, std::string password);

    std::string text(model::Box box) const override;
    void setText(model::Box box, const std::string& text) override;
    void setFocus(model::Box box) override { focus.push_back(box); }
    void showMessage(const model::MessageBox& box) override { messages.push_back(box); }
    void rebuildBoard() override { ++rebuilds; }

    // The message texts in order, for compact comparisons.
    std::vector<std::string> texts() const;

    std::string production, hiring, password;
    std::vector<model::MessageBox> messages;
    std::vector<model::Box> focus;
    int rebuilds = 0;
};

// Presses the run button once with the given box texts.
model::RunOutcome press(const std::string& connectionString, const std::string& production,
                        const std::string& hiring, const std::string& password,
                        RecordingPanel* panelOut = nullptr);

}  // namespace tessaro::testing
