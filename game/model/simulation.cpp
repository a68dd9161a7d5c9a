// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/simulation.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model/rounding.h"
#include "model/runstopped.h"
#include "store/connection.h"
#include "store/numbertext.h"

namespace tessaro::model {
namespace {

using store::numberText;

constexpr std::int16_t kLastPlanNumber = 32767;

struct StateColumn {
    const char* name;
    double FirmState::*member;
};

// PLIO state columns in their stored order.
constexpr StateColumn kStateColumns[] = {
    {"PT", &FirmState::experiencedPeople},        {"PTT", &FirmState::traineePeople},
    {"PFT", &FirmState::traineesToHire},          {"POQ", &FirmState::productQuality},
    {"POC", &FirmState::customerComplaints},      {"PINV", &FirmState::inventory},
    {"POBL", &FirmState::orderBacklog},           {"PP1", &FirmState::productionStage1},
    {"PP2", &FirmState::productionStage2},        {"PT1", &FirmState::trainingStage1},
    {"PT2", &FirmState::trainingStage2},          {"PQ1", &FirmState::quittingStage1},
    {"PQ2", &FirmState::quittingStage2},          {"PHR", &FirmState::hiringRate},
    {"PTCT", &FirmState::trainingCompletionRate}, {"PQR", &FirmState::quittingRate},
    {"PPR", &FirmState::productionRate},          {"POR", &FirmState::orderRate},
    {"POFR", &FirmState::orderFillingRate},
};

std::string quarterName(std::int16_t plan) {
    return "plan-quarter " + std::to_string(plan);
}

[[noreturn]] void cannotRun(const std::string& why) {
    throw RunStopped::model("The model cannot be run: " + why + ". Nothing was written.");
}

bool allFinite(const FirmState& s, const Auxiliaries& a) {
    for (const auto& c : kStateColumns)
        if (!std::isfinite(s.*(c.member))) return false;
    return std::isfinite(a.attainableQuality) && std::isfinite(a.desiredProduction) &&
           std::isfinite(a.desiredHiring);
}

std::int32_t decision(const store::Recordset& plio, const char* column, std::int16_t plan) {
    const auto& v = plio[column];
    if (v.isEmpty()) return 0;
    const auto n = v.number();
    if (!n || !std::isfinite(*n))
        cannotRun("the decision " + std::string(column) + " of " + quarterName(plan) +
                  " is not a number");
    return toInt32(*n);
}

std::string joinValues(const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += ", ";
        out += values[i];
    }
    return out;
}

std::string rounded(double v, int decimals) {
    return numberText(roundHalfEven(v, decimals));
}

}  // namespace

StartingRow readStartingRow(const store::Recordset& plio) {
    StartingRow row;
    const auto planValue = plio["PNPLPD"].planNumber();
    if (!planValue) cannotRun("the last PLIO row has no valid plan number");
    row.planNumber = *planValue;
    if (row.planNumber == kLastPlanNumber)
        cannotRun(quarterName(row.planNumber) +
                  " is the last one the game can number, so no further quarter can follow it");

    for (const auto& c : kStateColumns) {
        const auto& v = plio[c.name];
        if (v.isEmpty())
            cannotRun("column " + std::string(c.name) + " of " + quarterName(row.planNumber) +
                      " is empty");
        const auto n = v.number();
        if (!n || !std::isfinite(*n))
            cannotRun("column " + std::string(c.name) + " of " + quarterName(row.planNumber) +
                      " is not a number");
        row.state.*(c.member) = *n;
    }
    if (row.state.experiencedPeople - kTraineeLoad * row.state.traineePeople == 0)
        cannotRun(quarterName(row.planNumber) +
                  " has no effective people (experienced people less half the trainees is 0)");
    if (row.planNumber > 0) {
        row.productionOrders = decision(plio, "PORD", row.planNumber);
        row.traineesHiring = decision(plio, "PHRD", row.planNumber);
    }
    return row;
}

Auxiliaries computeRates(FirmState& s, const ModelTables& tables, const StartingRow& start) {
    Auxiliaries a;
    a.effectivePeople = s.experiencedPeople - kTraineeLoad * s.traineePeople;
    if (a.effectivePeople == 0)
        cannotRun("the firm has no effective people left during " + quarterName(start.planNumber));
    a.outputPerPerson = s.productionRate / a.effectivePeople;
    a.attainableQuality = tableLookup(a.outputPerPerson, tables.qualityFromOutput);
    a.indicatedComplaints =
        tableLookup(s.productQuality / kNormalQuality, tables.complaintsFromQuality);
    a.hiringFraction = tableLookup(s.customerComplaints, tables.hiringFractionFromComplaints);
    a.indicatedOrders = tableLookup(s.productQuality / kNormalQuality, tables.ordersFromQuality);

    s.orderRate = a.indicatedOrders * (1 + kOrderUplift);

    if (start.planNumber == 0) {
        // The first quarter runs on the default targets, whatever row 0 holds.
        a.desiredHiring = kDefaultMonthlyHiring;
        s.hiringRate = (s.experiencedPeople + s.traineePeople) * a.hiringFraction;
        a.desiredProduction = kDefaultMonthlyProduction;
    } else {
        a.desiredProduction = start.productionOrders / kMonthsPerQuarter;
        a.desiredHiring = start.traineesHiring / kMonthsPerQuarter;
        s.hiringRate = s.traineesToHire / kHiringTime;
    }

    s.productionRate = delay3(a.desiredProduction, s.productionStage1, s.productionStage2,
                              s.productionRate, kProductionDelay);
    s.trainingCompletionRate = delay3(s.hiringRate, s.trainingStage1, s.trainingStage2,
                                      s.trainingCompletionRate, kTrainingDelay);
    s.quittingRate = delay3(s.trainingCompletionRate, s.quittingStage1, s.quittingStage2,
                            s.quittingRate, kLengthOfStay);

    // The smaller of inventory and backlog; inventory when they are equal.
    if (s.orderBacklog < s.inventory)
        s.orderFillingRate = s.orderBacklog / kOrderFillTime;
    else
        s.orderFillingRate = s.inventory / kOrderFillTime;
    return a;
}

void integrateLevels(FirmState& s, const Auxiliaries& a) {
    s.traineePeople += (s.hiringRate - s.trainingCompletionRate) * kTimeStep;
    s.experiencedPeople += (s.trainingCompletionRate - s.quittingRate) * kTimeStep;
    s.productQuality = smooth1(a.attainableQuality, s.productQuality, kQualityAdjustmentTime);
    s.customerComplaints =
        smooth1(a.indicatedComplaints, s.customerComplaints, kComplaintsAdjustmentTime);
    s.inventory += (s.productionRate - s.orderFillingRate) * kTimeStep;
    s.orderBacklog += (s.orderRate - s.orderFillingRate) * kTimeStep;
    s.traineesToHire += (a.desiredHiring - s.hiringRate) * kTimeStep;

    // Levels that cannot go negative, floored in this order.
    for (double* level :
         {&s.traineePeople, &s.experiencedPeople, &s.traineesToHire, &s.inventory, &s.orderBacklog})
        if (*level < 0) *level = 0;
}

std::string traceInsertText(std::int16_t planNumber, double simTime, const FirmState& s,
                            const Auxiliaries& a) {
    return "INSERT INTO PLED(ENPLPD,ETIME,EAQ,EOQ,EOC,ET,ETT,EINV,EOBL,EHR,EQR,EPR,EOR,EOFR) "
           "VALUES(" +
           joinValues({std::to_string(planNumber), numberText(simTime),
                       rounded(a.attainableQuality, 2), rounded(s.productQuality, 2),
                       rounded(s.customerComplaints, 2), rounded(s.experiencedPeople, 0),
                       rounded(s.traineePeople, 0), numberText(s.inventory),
                       numberText(s.orderBacklog), rounded(s.hiringRate, 2),
                       rounded(s.quittingRate, 1), numberText(s.productionRate),
                       numberText(s.orderRate), numberText(s.orderFillingRate)}) +
           ")";
}

std::string nextQuarterInsertText(std::int16_t planNumber, const FirmState& s) {
    return "INSERT INTO PLIO(PNPLPD,PT,PTT,PFT,POQ,POC,PINV,POBL,PP1,PP2,PT1,PT2,PQ1,PQ2,PHR,"
           "PTCT,PQR,PPR,POR,POFR) "
           "VALUES(" +
           joinValues({std::to_string(planNumber + 1), numberText(s.experiencedPeople),
                       numberText(s.traineePeople),    rounded(s.traineesToHire, 2),
                       rounded(s.productQuality, 7),   rounded(s.customerComplaints, 7),
                       rounded(s.inventory, 7),        rounded(s.orderBacklog, 7),
                       rounded(s.productionStage1, 7), rounded(s.productionStage2, 7),
                       rounded(s.trainingStage1, 2),   rounded(s.trainingStage2, 2),
                       rounded(s.quittingStage1, 2),   rounded(s.quittingStage2, 2),
                       rounded(s.hiringRate, 2),       rounded(s.trainingCompletionRate, 2),
                       rounded(s.quittingRate, 2),     rounded(s.productionRate, 7),
                       rounded(s.orderRate, 7),        rounded(s.orderFillingRate, 7)}) +
           ")";
}

namespace {

void simulate(const StartingRow& start, const ModelTables& tables,
              const std::function<void(const std::string&)>& execute, bool withNextRow) {
    FirmState s = start.state;
    double simTime = 0;
    execute("delete * from PLED");
    const auto checkFinite = [&](const Auxiliaries& a, int step) {
        if (!allFinite(s, a))
            cannotRun("the state of " + quarterName(start.planNumber) +
                      " grew beyond what can be computed at step " + std::to_string(step));
    };
    for (int step = 1; step <= kStepsRecorded; ++step) {
        const Auxiliaries a = computeRates(s, tables, start);
        checkFinite(a, step);
        execute(traceInsertText(start.planNumber, simTime, s, a));
        integrateLevels(s, a);
        if (step == kStepsIntegrated && withNextRow) {
            // The state this step reached is the next quarter's row; it is
            // checked here, since the next step checks it only after.
            checkFinite(a, step);
            execute(nextQuarterInsertText(start.planNumber, s));
        }
        simTime += kTimeStep;
    }
}

}  // namespace

void simulateQuarter(const StartingRow& start, const ModelTables& tables,
                     const std::function<void(const std::string&)>& execute) {
    simulate(start, tables, execute, true);
}

void simulateTrace(const StartingRow& start, const ModelTables& tables,
                   const std::function<void(const std::string&)>& execute) {
    simulate(start, tables, execute, false);
}

std::int16_t simulatePlanQuarter(store::Connection& db, const ModelTables& tables,
                                 std::vector<std::string>* executed) {
    auto plio = db.openRecordset("Select * from PLIO");
    if (plio.recordCount() == 0)
        throw RunStopped({"No Data In PLIO Table!!!", kSdRunTitle, Icon::Critical});
    plio.moveLast();
    const StartingRow start = readStartingRow(plio);
    simulateQuarter(start, tables, [&](const std::string& text) {
        db.execute(text);
        if (executed) executed->push_back(text);
    });
    return start.planNumber;
}

}  // namespace tessaro::model
