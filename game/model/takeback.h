// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Taking back the last plan-quarter, and what every run keeps so that it can
// be taken back exactly.
//
// A run from PLIO row n writes row n + 1, PLDI row n + 1 and replaces PLED
// with the trace of its quarter. Beside them it keeps, in the take-back
// table (store/schema.h), row n + 1's entry: the four decisions of row n as
// they stood before the run (normally empty; those of a run that failed after
// storing them otherwise), a digest of the trace it replaced, and a digest of
// the two rows it wrote. Taking the quarter back removes those two rows,
// gives row n its decisions back as they stood, and writes the trace of the
// quarter before again by running that quarter's model once more from row
// n - 1; the trace is kept only if it is, value for value, the one the run
// replaced (its digest), so a trace is never made up. The same decisions
// again then give the same game, row for row and value for value.
//
// Quarters can be taken back one after another down to the first quarter of
// the game (the one a new game or a re-initialisation runs by itself). A
// quarter played before the game kept its take-back table has no entry and
// is not taken back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/runstopped.h"
#include "store/value.h"

namespace tessaro::store {
class Connection;
class Recordset;
}  // namespace tessaro::store

namespace tessaro::model {

// Refuses (RunStopped) a PLIO whose plan numbers do not start at 0 or whose
// last two rows are not numbered one after the other. The plan numbers must
// run 0, 1, 2 ... without gaps; these ends are where a gap can be seen
// without reading every row.
void checkPlanNumbering(store::Recordset& plio);

// A digest of the trace (PLED) as it stands, value for value.
std::int64_t traceDigest(store::Connection& db);
// A digest of PLIO row n's state (its plan number and the 19 levels and
// rates, not its decisions) and of PLDI row n.
std::int64_t quarterRowsDigest(store::Connection& db, int n);

// What a run keeps about the row it starts from, read before it writes.
struct RunKeep {
    int startRow = 0;
    std::array<store::Value, 4> decisionsBefore;  // PORD, PHRD, PRORD, PRHRD
    std::int64_t traceBefore = 0;
};
// `plio` stands on the last row, the one the run starts from.
RunKeep keepBeforeRun(store::Connection& db, const store::Recordset& plio);
// Writes the take-back entry of the quarter just run from keep.startRow, in
// the run's transaction.
void keepQuarterRun(store::Connection& db, const RunKeep& keep);

// Takes the last quarter back on a connection that holds the file, inside
// the caller's transaction. Throws RunStopped with the message why not,
// having changed nothing the caller's rollback does not take back. Returns
// the plan-quarter the game stands at afterwards (the count of PLIO rows).
int takeBackLastQuarter(store::Connection& db);

// The window's "Take Back Last Quarter" and tessaro-cli undo: checks the
// password (the re-initialisation password, compared as the run command
// compares it), then takes the last quarter back in one transaction on a
// connection that holds the file as a run does.
enum class TakeBackOutcome {
    TakenBack,  // the board is to be rebuilt
    Refused,    // a wrong password, or nothing that can be taken back
    Failed,     // the database failed
};
struct TakeBack {
    TakeBackOutcome outcome = TakeBackOutcome::Refused;
    std::vector<MessageBox> messages;  // to be shown in this order
};
TakeBack takeBackLastQuarter(const std::string& connectionString, const std::string& password);

inline constexpr const char* kTakeBackTitle = "Take Back For Tessaro";

}  // namespace tessaro::model
