// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/debriefdata.h"

#include "model/reportreading.h"

namespace tessaro::model {
namespace {

std::vector<QuarterScore> readQuarters(store::Connection& db) {
    std::vector<QuarterScore> quarters;
    const auto& columns = sheetColumns();
    for (auto pldi = db.openRecordset("Select * from PLDI"); !pldi.eof(); pldi.moveNext()) {
        QuarterScore q;
        q.planNumberText = pldi["ZNPLPD"].toText();
        for (std::size_t i = 0; i < columns.size(); ++i) q.sheet[i] = wholeNumber(pldi[columns[i]]);
        q.runningTotal = wholeNumber(pldi["ZTVG"]);
        quarters.push_back(std::move(q));
    }
    return quarters;
}

}  // namespace

DebriefRead readDebrief(const std::string& connectionString) {
    DebriefRead read;
    DebriefData& data = read.data;
    store::Connection db(connectionString, store::Access::Read);
    store::Snapshot snapshot(db);
    // The sheet and the report first: their messages are the ones the
    // windows give for a game with nothing to show.
    data.sheet = readPerformanceSheet(db);
    if (data.sheet.failure) {
        read.failure = data.sheet.failure;
        return read;
    }
    data.report = readPlanReport(db);
    if (data.report.failure) {
        read.failure = data.report.failure;
        return read;
    }
    data.planCount = db.openRecordset("Select * from PLIO").recordCount();
    data.quarters = readQuarters(db);
    for (int s = 1; s <= plotChoices(PlotKind::PastPlan); ++s)
        data.plots.push_back(readPlot(db, PlotKind::PastPlan, s));
    for (int s = 1; s <= plotChoices(PlotKind::GameValue); ++s)
        data.plots.push_back(readPlot(db, PlotKind::GameValue, s));
    return read;
}

}  // namespace tessaro::model
