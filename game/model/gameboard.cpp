// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/gameboard.h"

#include "store/connection.h"

namespace tessaro::model {
namespace {

const MessageBox kNoPlanNumber{"No Data to Show Plan Number!!!", "Plan Number", Icon::Critical};

constexpr int kHiringDecision = 6;  // indicator 7
constexpr int kProductionDecision = 7;
constexpr int kPresentGameValue = 8;
constexpr int kAverageGameValue = 9;

// When the before-plan row is the initial state, the table shows the
// references themselves, and the game values as 0.
constexpr std::array<const char*, kIndicatorCount> kInitialBeforeTexts = {
    "100", "10", "1.0", "1.0", "1000", "1000", "10", "3000", "0", "0"};

double percent(const store::Value& v, double reference) {
    const auto n = v.number();
    return n ? *n * 100 / reference : 0;
}

bool negative(const store::Value& v) {
    const auto n = v.number();
    return n && *n < 0;
}

// Indicators 1 to 6 from a PLIO row; the decisions count 0 when empty.
void readPlanRow(const store::Recordset& plio, std::array<store::Value, kIndicatorCount>& values,
                 std::array<double, kIndicatorCount>& percents, bool withDecisions) {
    const auto& ind = boardIndicators();
    const int last = withDecisions ? kProductionDecision : kProductionDecision - 2;
    for (int i = 0; i <= last; ++i) {
        values[i] = plio[ind[i].column];
        if ((i == kHiringDecision || i == kProductionDecision) && values[i].isEmpty()) {
            values[i] = store::Value::integer(0);
        }
        percents[i] = percent(values[i], ind[i].reference);
    }
}

}  // namespace

const std::array<BoardIndicator, kIndicatorCount>& boardIndicators() {
    static constexpr std::array<BoardIndicator, kIndicatorCount> indicators = {{
        {"Exp.People", "Expop", "Experienced People", "pt", false, 100, "100"},
        {"Trainee People", "Trpop", "Trainee People", "ptt", false, 10, "10"},
        {"Prod. Quality", "Pqlty", "Product Quality", "poq", false, 1, "1.0"},
        {"Cust. Complaint", "Ccmpl", "Customer Complaints", "poc", false, 1, "1.0"},
        {"Prod. Inventory", "Prinv", "Product Inventory", "pinv", false, 1000, "1000"},
        {"Order Backlog", "Oblog", "Order Backlog", "pobl", false, 1000, "1000"},
        {"Hiring Decision", "Hrdec", "Hiring Decision", "PRHRD", false, 10, "10"},
        {"Production Decision", "Prdec", "Production Decision", "PRORD", false, 3000, "3000"},
        {"Present Game Value", "Pgval", "Plan Game Value", "ZVG", true, 2000, "2000"},
        {"Average Game Value", "Agval", "Average Game Value", "ZCVG", true, 2000, "2000"},
    }};
    return indicators;
}

const std::array<BriefLine, kBriefCount>& briefLines() {
    static constexpr std::array<BriefLine, kBriefCount> lines = {{
        {"People", "Hired", "zhr"},
        {"", "Quit", "zqr"},
        {"Orders", "In ::", "zor"},
        {"", "Out ::", "zofr"},
        {"Production", "Done ::", "zpr"},
        {"Total Earn", "Rs. ::", "ZTE"},
        {"Total Cost", "Rs. ::", "ZTC"},
    }};
    return lines;
}

std::string GameBoard::beforeCellText(int i) const {
    if (beforePlanNumber == 0) return kInitialBeforeTexts[static_cast<std::size_t>(i)];
    return before[static_cast<std::size_t>(i)].toText();
}

std::string GameBoard::afterCellText(int i) const {
    return after[static_cast<std::size_t>(i)].toText();
}

bool GameBoard::beforeCellRed(int i) const {
    return i >= kPresentGameValue && negative(before[static_cast<std::size_t>(i)]);
}

bool GameBoard::afterCellRed(int i) const {
    return i >= kPresentGameValue && negative(after[static_cast<std::size_t>(i)]);
}

GameBoard loadGameBoard(const std::string& connectionString) {
    GameBoard board;
    store::Connection db(connectionString, store::Access::Read);
    // PLIO and PLDI of one state: never the new quarter's row without its
    // accounting.
    store::Snapshot snapshot(db);

    auto plio = db.openRecordset("Select * from PLIO");
    if (plio.recordCount() == 0) {
        board.failure = kNoPlanNumber;
        return board;
    }
    board.planCount = plio.recordCount();
    board.reached = GameBoard::Stage::PlanCount;

    auto pldi = db.openRecordset("Select * from PLDI");
    if (pldi.recordCount() == 0) {
        board.failure = kNoPlanNumber;
        return board;
    }
    pldi.moveLast();
    for (std::size_t i = 0; i < kBriefCount; ++i) board.brief[i] = pldi[briefLines()[i].column];
    board.reached = GameBoard::Stage::Brief;

    // After plan: the last PLIO row.
    plio.moveLast();
    readPlanRow(plio, board.after, board.afterPercent, true);

    // Before plan: the second-last row, or the only one.
    plio.moveFirst();
    if (plio.recordCount() > 1) plio.move(plio.recordCount() - 2);
    // An empty key reads as the initial state, as it always has; a key that
    // is no plan number (a hand-made file can hold any 64-bit number) shows
    // the row as it stands.
    const auto& beforeKey = plio["PNPLPD"];
    board.beforePlanNumber = beforeKey.planNumber().value_or(beforeKey.isEmpty() ? 0 : -1);
    const bool initialBefore = board.beforePlanNumber == 0;
    readPlanRow(plio, board.before, board.beforePercent, !initialBefore);
    if (initialBefore) {
        for (int i : {kHiringDecision, kProductionDecision}) {
            board.before[static_cast<std::size_t>(i)] = store::Value();
            board.beforePercent[static_cast<std::size_t>(i)] = 100;
        }
    }

    // Game values: the last PLDI row after the plan, the one before it (or
    // the only one) before it; the first quarter has no value before it.
    const auto& ind = boardIndicators();
    for (int i : {kPresentGameValue, kAverageGameValue}) {
        const auto k = static_cast<std::size_t>(i);
        board.after[k] = pldi[ind[k].column];
        board.afterPercent[k] = percent(board.after[k], ind[k].reference);
    }
    pldi.moveFirst();
    if (pldi.recordCount() > 1) pldi.move(pldi.recordCount() - 2);
    const bool firstQuarter = pldi["ZNPLPD"].number() == 1.0;
    for (int i : {kPresentGameValue, kAverageGameValue}) {
        const auto k = static_cast<std::size_t>(i);
        if (firstQuarter) {
            board.before[k] = store::Value();
            board.beforePercent[k] = 0;
        } else {
            board.before[k] = pldi[ind[k].column];
            board.beforePercent[k] = percent(board.before[k], ind[k].reference);
        }
    }
    board.reached = GameBoard::Stage::Complete;
    return board;
}

}  // namespace tessaro::model
