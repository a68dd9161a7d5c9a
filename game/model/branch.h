// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A what-if from any quarter: a new game file that stands where this game
// stood at plan-quarter n, so that a class can play on from a turning point
// while the game itself goes on untouched.
//
// The branch holds PLIO rows 0 to n, row n's decisions as they stood before
// the run from it, PLDI rows 1 to n, the trace of the quarter that wrote row
// n, and the take-back entries up to row n, so that quarters can be taken
// back in the branch as well. A trace that is no longer in the file is
// written again by running its quarter's model once more, and kept only if
// it is exactly the one the game wrote then (model/takeback.h).
#pragma once

#include <string>

namespace tessaro::model {

inline constexpr const char* kBranchTitle = "Branch For Tessaro";

// Writes the branch at `outPath`, which must not exist, through a temporary
// file beside it. Throws RunStopped with the reason when it cannot be
// written (n out of range, a quarter played before its take-back entry was
// kept, `outPath` taken or its folder not writable); nothing is left of it
// then. Failures of the game's own file throw store::StoreError.
void branchGame(const std::string& connectionString, int n, const std::string& outPath);

}  // namespace tessaro::model
