// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// One plan-quarter of the firm's model: 25 Euler steps of 0.125 month from
// the last PLIO row, a PLED trace row per step, and the state after step 24
// appended as the next PLIO row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/module1.h"

namespace tessaro::store {
class Connection;
class Recordset;
}  // namespace tessaro::store

namespace tessaro::model {

// The levels, delay stages and rates of the firm: exactly what a PLIO row holds.
struct FirmState {
    double experiencedPeople = 0;       // PT
    double traineePeople = 0;           // PTT
    double traineesToHire = 0;          // PFT
    double productQuality = 0;          // POQ
    double customerComplaints = 0;      // POC
    double inventory = 0;               // PINV
    double orderBacklog = 0;            // POBL
    double productionStage1 = 0;        // PP1
    double productionStage2 = 0;        // PP2
    double trainingStage1 = 0;          // PT1
    double trainingStage2 = 0;          // PT2
    double quittingStage1 = 0;          // PQ1
    double quittingStage2 = 0;          // PQ2
    double hiringRate = 0;              // PHR
    double trainingCompletionRate = 0;  // PTCT
    double quittingRate = 0;            // PQR
    double productionRate = 0;          // PPR
    double orderRate = 0;               // POR
    double orderFillingRate = 0;        // POFR
};

// The row a quarter starts from: its plan number, state and decisions.
struct StartingRow {
    std::int16_t planNumber = 0;
    FirmState state;
    std::int32_t productionOrders = 0;  // PORD, units per quarter (null counts 0)
    std::int32_t traineesHiring = 0;    // PHRD, persons per quarter (null counts 0)
};

// The auxiliaries of one step, computed from the state at its start.
struct Auxiliaries {
    double effectivePeople = 0;
    double outputPerPerson = 0;
    double attainableQuality = 0;
    double indicatedComplaints = 0;
    double hiringFraction = 0;
    double indicatedOrders = 0;
    double desiredProduction = 0;
    double desiredHiring = 0;
};

// Reads the current row of a PLIO recordset as a starting row. Throws
// RunStopped when the model could not compute from it: an empty or
// non-numeric state column, no effective people, or a plan number that
// cannot have a successor.
StartingRow readStartingRow(const store::Recordset& plio);

// Advances the state by one step: rates from the state at the start of the
// step (returned with the auxiliaries), then the levels. `firstQuarter` uses
// the default targets instead of the row's decisions.
Auxiliaries computeRates(FirmState& s, const ModelTables& tables, const StartingRow& start);
void integrateLevels(FirmState& s, const Auxiliaries& aux);

// Statement texts of a trace row and of the next plan-quarter's row.
std::string traceInsertText(std::int16_t planNumber, double simTime, const FirmState& s,
                            const Auxiliaries& aux);
std::string nextQuarterInsertText(std::int16_t planNumber, const FirmState& s);

// Runs the quarter from `start`, handing every statement text, in order, to
// `execute` ("delete * from PLED", 24 trace inserts, the next PLIO row, the
// 25th trace insert). Throws RunStopped before handing over the text of a
// step the model cannot compute.
void simulateQuarter(const StartingRow& start, const ModelTables& tables,
                     const std::function<void(const std::string&)>& execute);

// The same quarter without the next plan-quarter's row: "delete * from PLED"
// and the 25 trace inserts, to write again the trace of a quarter whose
// successor row is there already.
void simulateTrace(const StartingRow& start, const ModelTables& tables,
                   const std::function<void(const std::string&)>& execute);

// Simulates from the last PLIO row of the database; returns the plan number
// of the starting row. Every statement text executed is also appended to
// `executed` when given.
std::int16_t simulatePlanQuarter(store::Connection& db, const ModelTables& tables,
                                 std::vector<std::string>* executed = nullptr);

}  // namespace tessaro::model
