// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The readers behind the report views, on a connection the caller holds in
// one snapshot, so that several views can be read from one state of the
// game. Inside the model only: the windows and the command line read
// through reports.h and debriefdata.h.
#pragma once

#include <array>
#include <cstdint>

#include "model/reports.h"
#include "store/connection.h"

namespace tessaro::model {

// The PLDI columns of the performance sheet's twelve values, its order.
const std::array<const char*, 12>& sheetColumns();

// A stored number as a whole, halves to even, as the sheet converts it; an
// empty value is 0.
std::int32_t wholeNumber(const store::Value& v);

PlanReport readPlanReport(store::Connection& db);
PerformanceSheet readPerformanceSheet(store::Connection& db);
PlotData readPlot(store::Connection& db, PlotKind kind, int selector);

}  // namespace tessaro::model
