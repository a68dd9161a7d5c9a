// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What tessaro-cli prints: message boxes as lines, the board's status, the
// reports, the tables (as aligned text or CSV), the league and the archive.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "model/league.h"
#include "model/runstopped.h"
#include "store/gamelocation.h"
#include "store/storeerror.h"

namespace tessaro::cli {

// Where a message box goes: refusals and failures (the critical icon) to
// the error stream, so that `history --csv > f.csv` never writes a failure
// into the table; every other box to the output. The cause of the last
// database failure told is kept for the exit status.
struct Streams {
    std::ostream& out;
    std::ostream& err;
    std::optional<store::StoreCause>* failure = nullptr;
};

void printBox(const Streams& to, const model::MessageBox& box);
void printTable(const std::vector<std::string>& head,
                const std::vector<std::vector<std::string>>& rows, bool csv, std::ostream& out);

int printStatus(const store::GameLocation& where, const Streams& to);
int printReport(const std::string& cs, const Streams& to);
int printSheet(const std::string& cs, const Streams& to);
int printTrace(const std::string& cs, bool csv, std::ostream& out);
int printHistory(const std::string& cs, bool csv, std::ostream& out);
int printLeague(const model::League& league, bool csv, const Streams& to);
int printArchive(const store::GameLocation& where, const Streams& to);

// The window program draws the debrief; its output comes back as this
// command's own.
int writeDebrief(const std::string& cs, const std::string& file,
                 const std::optional<std::string>& paperName, const Streams& to);

}  // namespace tessaro::cli
