// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/reports.h"

#include "model/reportreading.h"
#include "model/rounding.h"
#include "store/connection.h"
#include "store/numbertext.h"

namespace tessaro::model {
namespace {

const MessageBox kNoPlanNumber{"No Data to Show Plan Number!!!", "Plan Number", Icon::Critical};
const MessageBox kNoReport{"No Data to Show in Plan Report!!!", "Plan Report", Icon::Critical};
const MessageBox kNoChartData{"No Data to Show on Chart!!!", "Plot For Tessaro", Icon::Critical};

// A stored number rounded to a whole, halves to even, in its plain text.
std::string wholeText(const store::Value& v) {
    const auto n = v.number();
    return n ? store::numberText(roundHalfEven(*n, 0)) : std::string();
}

template <std::size_t N>
void readWholeTexts(const store::Recordset& rs, const std::array<const char*, N>& columns,
                    std::array<std::string, N>& out) {
    for (std::size_t i = 0; i < N; ++i) out[i] = wholeText(rs[columns[i]]);
}

struct PlotColumn {
    const char* column;
    const char* yTitle;
};

constexpr std::array<PlotColumn, 6> kDuringPlanColumns = {{
    {"ET", "EXPERIENCED PEOPLE"},
    {"ETT", "TRAINEE PEOPLE"},
    {"EOQ", "PRODUCT QUALITY"},
    {"EOC", "CUSTOMER COMPLAINTS"},
    {"EINV", "PRODUCT INVENTORY"},
    {"EOBL", "ORDER BACKLOG"},
}};

constexpr std::array<PlotColumn, 8> kPastPlanColumns = {{
    {"pt", "EXPERIENCED PEOPLE"},
    {"ptt", "TRAINEE PEOPLE"},
    {"poq", "PRODUCT QUALITY"},
    {"poc", "CUSTOMER COMPLAINTS"},
    {"pinv", "INVENTORY POSITION"},
    {"pobl", "ORDER BACKLOG"},
    {"PHRD", "HIRING DECISION"},
    {"PORD", "PRODUCTION DECISION"},
}};

constexpr std::array<PlotColumn, 2> kGameValueColumns = {{
    {"ZVG", "PLAN GAME VALUE"},
    {"ZCVG", "AVERAGE GAME VALUE"},
}};

constexpr const char* kHistoryTitle = " Historical Plot For All Past Plan Quarters of Game Play ";

template <std::size_t N>
const PlotColumn* selected(const std::array<PlotColumn, N>& table, int selector) {
    if (selector < 1 || selector > static_cast<int>(N)) return nullptr;
    return &table[static_cast<std::size_t>(selector - 1)];
}

// Points from the current row of `rs` on; an empty value plots as 0, and a
// selector outside its table leaves the points without values.
void readPoints(store::Recordset& rs, int count, const PlotColumn* column, PlotData& plot) {
    // The count of a table keyed by plan number is read from its first and
    // last numbers; a hand-edited file with a gap between them ends early.
    for (int i = 1; i <= count && !rs.eof(); ++i) {
        // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
        // " " + std::to_string(i).
        std::string label(1, ' ');
        label += std::to_string(i);
        plot.labels.push_back(std::move(label));
        if (!column) {
            plot.values.emplace_back();
        } else {
            const auto& v = rs[column->column];
            plot.values.push_back(v.isEmpty() ? "0" : v.toText());
        }
        rs.moveNext();
    }
    plot.yTitle = column ? column->yTitle : "";
}

}  // namespace

const std::array<const char*, 12>& sheetColumns() {
    static constexpr std::array<const char*, 12> columns = {
        "ZTE", "zouc", "zpc", "zinvc", "zhc", "zsc", "zttc", "zqc", "zinsc", "ZTC", "ZVG", "ZCVG"};
    return columns;
}

std::int32_t wholeNumber(const store::Value& v) {
    const auto n = v.number();
    return n ? toInt32(*n) : 0;
}

TextGrid PlanReport::variablesGrid() const {
    TextGrid g = {
        {"Level Variables", "End-plan", "Avg. Value", "Rate Variables", "End-plan (Nos/month)",
         "Total (Nos)"},
        {"Experienced People", "", "", "Trainees' Hiring", "", ""},
        {"People in Training", "", "", "People Quitting", "", ""},
        {"Product Quality", "", "", "Customer Orders", "", ""},
        {"Customer Complaints", "", "", "Order Filling", "", ""},
        {"Inventory Level", "", "", "Production", "", ""},
        {"Order Backlog", "", "", "", "", ""},
    };
    if (!filled) return g;
    for (std::size_t r = 0; r < 6; ++r) {
        g[r + 1][1] = levels[r];
        g[r + 1][2] = averages[r];
    }
    for (std::size_t r = 0; r < 5; ++r) {
        g[r + 1][4] = rates[r];
        g[r + 1][5] = totals[r];
    }
    return g;
}

TextGrid PlanReport::decisionGrid() const {
    if (!filled) return {{"", ""}, {"", ""}};
    return {
        {"Production Orders Decision :  " + std::to_string(productionDecision),
         "Total Units Produced :  " + totals[4]},
        {"Trainees' Hiring Decision  :  " + std::to_string(hiringDecision),
         "Total Trainees Hired :  " + totals[0]},
    };
}

PlanReport readPlanReport(store::Connection& db) {
    PlanReport report;
    auto plio = db.openRecordset("Select * from PLIO");
    const int n = plio.recordCount();
    if (n == 0) {
        report.failure = kNoPlanNumber;
        return report;
    }
    if (n == 1) {
        // The first quarter ran on the default decisions.
        if (plio["PNPLPD"].number() == 0.0) {
            report.productionDecision = 3000;
            report.hiringDecision = 10;
        }
    } else {
        plio.move(n - 2);
        const auto& orders = plio["PRORD"];
        const auto& hiring = plio["PRHRD"];
        if (!(orders.isEmpty() && hiring.isEmpty())) {
            report.productionDecision = wholeNumber(orders);
            report.hiringDecision = wholeNumber(hiring);
        }
    }
    plio.moveLast();
    report.planNumberText = plio["PNPLPD"].toText();
    report.planNumberShown = true;
    readWholeTexts(plio, std::array<const char*, 6>{"pt", "ptt", "poq", "poc", "pinv", "pobl"},
                   report.levels);
    readWholeTexts(plio, std::array<const char*, 5>{"phr", "pqr", "por", "pofr", "ppr"},
                   report.rates);

    auto pldi = db.openRecordset("Select * from PLDI");
    if (pldi.recordCount() == 0) {
        report.failure = kNoReport;
        return report;
    }
    pldi.moveLast();
    readWholeTexts(pldi, std::array<const char*, 6>{"zt", "ztt", "zoq", "zoc", "zinv", "zobl"},
                   report.averages);
    readWholeTexts(pldi, std::array<const char*, 5>{"zhr", "zqr", "zor", "zofr", "zpr"},
                   report.totals);
    report.filled = true;
    return report;
}

TextGrid PerformanceSheet::grid() const {
    const auto v = [this](std::size_t i) { return filled ? std::to_string(values[i]) : ""; };
    const std::string manpower = "4. Manpower Costs :";
    return {
        {"Earning Side", "Values in 1000 Rs."},
        {"1. Earnings From Orders Filled in this plan :", v(0)},
        {"Cost Side", "Values in 1000 Rs."},
        {"1. Costs of Order Backlog in this plan :", v(1)},
        {"2. Costs of Production in this plan :", v(2)},
        {"3. Costs of Inventory in this plan :", v(3)},
        {manpower, manpower},
        {"   a) Costs of Hiring New People :", v(4)},
        {"   b) Salaries to Experienced People :", v(5)},
        {"   c) Salaries to Trainees :", v(6)},
        {"   d) Costs of people quitting :", v(7)},
        {"Total, (a) + (b) + (c) + (d) :", v(8)},
        {"5. Total Costs in this plan (1+2+3+4)", v(9)},
        {"Value of The Game :      ", v(10)},
        {"Average Value of The Game :      ", v(11)},
    };
}

PerformanceSheet readPerformanceSheet(store::Connection& db) {
    PerformanceSheet sheet;
    auto pldi = db.openRecordset("Select * from PLDI");
    if (pldi.recordCount() == 0) {
        sheet.failure = kNoPlanNumber;
        return sheet;
    }
    pldi.moveLast();
    sheet.planNumberText = pldi["ZNPLPD"].toText();
    const auto& columns = sheetColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        sheet.values[i] = wholeNumber(pldi[columns[i]]);
    sheet.filled = true;
    return sheet;
}

int plotChoices(PlotKind kind) {
    switch (kind) {
        case PlotKind::DuringPlan:
            return static_cast<int>(kDuringPlanColumns.size());
        case PlotKind::PastPlan:
            return static_cast<int>(kPastPlanColumns.size());
        case PlotKind::GameValue:
            return static_cast<int>(kGameValueColumns.size());
    }
    return 0;
}

PlotData readPlot(store::Connection& db, PlotKind kind, int selector) {
    PlotData plot;
    switch (kind) {
        case PlotKind::DuringPlan: {
            plot.caption = "During Plan Plots";
            auto plio = db.openRecordset("Select * from PLIO");
            if (plio.recordCount() == 0) {
                plot.failure = kNoPlanNumber;
                return plot;
            }
            // The plan number shown is the count of PLIO rows.
            const int planNumber = plio.recordCount();
            auto pled = db.openRecordset("Select * from PLED");
            if (pled.recordCount() == 0) {
                plot.failure = kNoChartData;
                return plot;
            }
            readPoints(pled, pled.recordCount(), selected(kDuringPlanColumns, selector), plot);
            plot.title = " Plot For All Weeks of Game Play In Plan : [Plan No - " +
                         std::to_string(planNumber) + "] ";
            plot.xTitle = "WEEKS";
            break;
        }
        case PlotKind::PastPlan: {
            plot.caption = "Past Plan Plots";
            auto plio = db.openRecordset("Select * from PLIO");
            // The first row is the firm before any quarter: one row leaves
            // nothing to plot.
            if (plio.recordCount() <= 1) {
                plot.failure = kNoChartData;
                return plot;
            }
            plio.moveNext();
            readPoints(plio, plio.recordCount() - 1, selected(kPastPlanColumns, selector), plot);
            plot.title = kHistoryTitle;
            plot.xTitle = "PLAN QUARTER";
            break;
        }
        case PlotKind::GameValue: {
            plot.caption = "Past Plan Plots";
            auto pldi = db.openRecordset("Select * from PLDI");
            if (pldi.recordCount() == 0) {
                plot.failure = kNoChartData;
                return plot;
            }
            readPoints(pldi, pldi.recordCount(), selected(kGameValueColumns, selector), plot);
            plot.title = kHistoryTitle;
            plot.xTitle = "PLAN-QUARTER";
            break;
        }
    }
    return plot;
}

PlanReport loadPlanReport(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    // PLIO and PLDI of one state, whatever another player commits meanwhile.
    store::Snapshot snapshot(db);
    return readPlanReport(db);
}

PerformanceSheet loadPerformanceSheet(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    store::Snapshot snapshot(db);
    return readPerformanceSheet(db);
}

PlotData loadPlot(const std::string& connectionString, PlotKind kind, int selector) {
    store::Connection db(connectionString, store::Access::Read);
    // The plan number shown and the points plotted come from one state.
    store::Snapshot snapshot(db);
    return readPlot(db, kind, selector);
}

}  // namespace tessaro::model
