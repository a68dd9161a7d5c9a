// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The model's table functions and delay routines: four tables of x and y
// points read with straight lines between them, a third-order delay and a
// first-order smoothing, all stepped with 0.125 month.
#pragma once

#include <array>
#include <cstdint>

namespace tessaro::model {

// Room for the longest table (8 points); index 0 is unused so that point i is
// at [i] as the tables are written down.
using TablePoints = std::array<double, 9>;

struct TableFunction {
    TablePoints x{};
    TablePoints y{};
    std::int16_t n = 0;
};

struct ModelTables {
    TableFunction qualityFromOutput;             // units per effective person -> attainable quality
    TableFunction complaintsFromQuality;         // quality / normal -> indicated complaints
    TableFunction hiringFractionFromComplaints;  // complaints -> hiring fraction
    TableFunction ordersFromQuality;             // quality / normal -> indicated orders per month
};

// Fills the four tables; run before every simulation.
void fillTables(ModelTables& tables);

// Y of the table at x: flat beyond both ends, straight lines between points,
// and an x exactly on a point gives that point's y.
double tableLookup(double x, const TablePoints& xPoints, const TablePoints& yPoints,
                   std::int16_t n);

inline double tableLookup(double x, const TableFunction& t) {
    return tableLookup(x, t.x, t.y, t.n);
}

// One step of a chain of three first-order stages with time constant
// delayTime / 3 each: updates stage1 and stage2 in place and returns the new
// output. Each stage uses the value the stage before it has just produced.
double delay3(double input, double& stage1, double& stage2, double output, double delayTime);

// One step of first-order smoothing of `level` toward `input`.
double smooth1(double input, double level, double smoothTime);

// Model constants.
inline constexpr double kTimeStep = 0.125;  // months
inline constexpr double kMonthsPerQuarter = 3;
inline constexpr int kStepsIntegrated = 24;
inline constexpr int kStepsRecorded = 25;
inline constexpr double kProductionDelay = 3;        // months
inline constexpr double kTrainingDelay = 3;          // months
inline constexpr double kLengthOfStay = 36;          // months
inline constexpr double kQualityAdjustmentTime = 6;  // months
inline constexpr double kComplaintsAdjustmentTime = 2;
inline constexpr double kHiringTime = 2;     // months
inline constexpr double kTraineeLoad = 0.5;  // experienced persons per trainee
inline constexpr double kNormalQuality = 1;
inline constexpr double kOrderFillTime = 1;  // month
inline constexpr double kOrderUplift = 0.2;
inline constexpr double kDefaultMonthlyProduction = 1000;  // first quarter only
inline constexpr double kDefaultMonthlyHiring = 3.3;       // first quarter only

inline constexpr int kMinProductionOrders = 2000;
inline constexpr int kMaxProductionOrders = 5000;
inline constexpr int kMinTraineesHiring = 5;
inline constexpr int kMaxTraineesHiring = 25;

}  // namespace tessaro::model
