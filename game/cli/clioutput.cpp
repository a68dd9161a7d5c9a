// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "clioutput.h"

#include <algorithm>
#include <iomanip>
#include <ostream>

#include "cli.h"
#include "csv.h"
#include "model/archive.h"
#include "model/gameboard.h"
#include "model/gamefile.h"
#include "model/reports.h"
#include "model/tables.h"
#include "store/gamelocation.h"
#include "store/serverplace.h"

namespace tessaro::cli {

void printBox(const Streams& to, const model::MessageBox& box) {
    if (box.cause && to.failure) *to.failure = box.cause;
    std::ostream& s = box.icon == model::Icon::Critical ? to.err : to.out;
    s << box.title << ": " << box.text << '\n';
}

int printStatus(const store::GameLocation& where, const Streams& to) {
    std::ostream& out = to.out;
    const std::string& cs = where.connectionString;
    if (const auto place = store::serverPlace(cs)) {
        out << "Game: "
            << (place->schema.empty() ? "your team's game" : "the game of team " + place->schema)
            << " on the server " << place->address << '\n';
    } else {
        out << "Game file: " << store::pathFromConnectionString(cs);
        if (!where.named && !where.portable) out << "  (your data folder: " << where.reason << ")";
        out << '\n';
    }
    const auto board = model::loadGameBoard(cs);
    if (board.reached >= model::GameBoard::Stage::PlanCount) {
        out << "PLAN-QUARTER NO. :: " << board.planCount
            << "  (decisions are now made for plan-quarter " << board.planCount + 1 << ")\n";
    }
    if (board.reached >= model::GameBoard::Stage::Brief) {
        out << "Plan Brief:\n";
        for (std::size_t i = 0; i < model::kBriefCount; ++i) {
            const auto& line = model::briefLines()[i];
            out << "  " << std::left << std::setw(12) << line.heading << std::setw(8)
                << line.caption << board.brief[i].toText() << '\n';
        }
    }
    if (board.reached == model::GameBoard::Stage::Complete) {
        out << "Indicators:\n  " << std::left << std::setw(22) << "" << std::setw(19)
            << "Before Plan" << std::setw(19) << "After Plan"
            << "100% Means :\n";
        for (int i = 0; i < model::kIndicatorCount; ++i) {
            const auto& ind = model::boardIndicators()[static_cast<std::size_t>(i)];
            // A long value (a number near the largest a double holds has 22
            // characters) keeps a blank before the next column.
            const auto cell = [](const std::string& text) {
                return text + std::string(text.size() < 19 ? 19 - text.size() : 1, ' ');
            };
            out << "  " << std::setw(22) << ind.chartLabel << cell(board.beforeCellText(i))
                << cell(board.afterCellText(i)) << ind.referenceText << '\n';
        }
    }
    if (board.failure) {
        printBox(to, *board.failure);
        return kDatabaseFailed;
    }
    return kDone;
}

void printGrid(const model::TextGrid& grid, std::ostream& out) {
    std::vector<std::size_t> widths;
    for (const auto& row : grid)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    for (const auto& row : grid) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string cell = row[c];
            cell.resize(widths[c], ' ');
            line += (c ? " | " : "  ") + cell;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    }
}

int printReport(const std::string& cs, const Streams& to) {
    std::ostream& out = to.out;
    const auto report = model::loadPlanReport(cs);
    if (report.planNumberShown)
        out << "Plan Report For Plan Quarter Number  : " << report.planNumberText << "\n\n";
    if (report.filled) {
        out << "Your Decision Vs Actual\n";
        printGrid(report.decisionGrid(), out);
        out << '\n';
        printGrid(report.variablesGrid(), out);
    }
    if (report.failure) {
        printBox(to, *report.failure);
        return kDatabaseFailed;
    }
    return kDone;
}

int printSheet(const std::string& cs, const Streams& to) {
    std::ostream& out = to.out;
    const auto sheet = model::loadPerformanceSheet(cs);
    if (sheet.failure) {
        printBox(to, *sheet.failure);
        return kDatabaseFailed;
    }
    out << "Performance Sheet For Plan Quarter Number  : " << sheet.planNumberText << "\n\n";
    auto grid = sheet.grid();
    grid[6][1].clear();  // the manpower heading spans both columns
    printGrid(grid, out);
    return kDone;
}

void printTable(const std::vector<std::string>& head,
                const std::vector<std::vector<std::string>>& rows, bool csv, std::ostream& out) {
    if (csv) {
        for (const auto* row : {&head}) {
            for (std::size_t c = 0; c < row->size(); ++c)
                out << (c ? "," : "") << csvField((*row)[c]);
            out << '\n';
        }
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << csvField(row[c]);
            out << '\n';
        }
        return;
    }
    model::TextGrid grid{head};
    grid.insert(grid.end(), rows.begin(), rows.end());
    printGrid(grid, out);
}

int printTrace(const std::string& cs, bool csv, std::ostream& out) {
    const auto trace = model::readTrace(cs);
    printTable(trace.head, trace.rows, csv, out);
    return kDone;
}

int printHistory(const std::string& cs, bool csv, std::ostream& out) {
    const auto history = model::readHistory(cs);
    printTable(history.head, history.rows, csv, out);
    return kDone;
}

int printLeague(const model::League& league, bool csv, const Streams& to) {
    const auto byTotal = league.ranking(model::LeagueOrder::RunningTotal);
    const int quarters = league.mostQuarters();
    std::vector<std::string> head = {"Rank",
                                     "Team",
                                     "Quarters",
                                     "Running Total",
                                     "Average",
                                     "Average Rank",
                                     "Production Orders Decision",
                                     "Trainees' Hiring Decision"};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t index : byTotal) {
        const model::LeagueTeam& t = league.teams[index];
        rows.push_back({std::to_string(league.rankOf(index, model::LeagueOrder::RunningTotal)),
                        t.team, std::to_string(t.quarters), t.runningTotalText(),
                        t.averageValueText(),
                        std::to_string(league.rankOf(index, model::LeagueOrder::AverageValue)),
                        std::to_string(t.productionDecision), std::to_string(t.hiringDecision)});
    }
    std::vector<std::string> valueHead = {"Team"};
    std::vector<std::vector<std::string>> valueRows;
    for (int q = 1; q <= quarters; ++q) valueHead.push_back(std::to_string(q));
    for (std::size_t index : byTotal) {
        const model::LeagueTeam& t = league.teams[index];
        std::vector<std::string> row = {t.team};
        for (int q = 0; q < quarters; ++q)
            row.push_back(t.quarterValueText(static_cast<std::size_t>(q)));
        valueRows.push_back(std::move(row));
    }
    if (csv) {
        // One table for a spreadsheet: the ranking, then the value of the
        // game of every quarter.
        head.insert(head.end(), valueHead.begin() + 1, valueHead.end());
        for (std::size_t r = 0; r < rows.size(); ++r)
            rows[r].insert(rows[r].end(), valueRows[r].begin() + 1, valueRows[r].end());
        if (!rows.empty()) printTable(head, rows, true, to.out);
    } else if (!rows.empty()) {
        to.out << "League, ranked by running total (values in 1000 Rs.)\n";
        printTable(head, rows, false, to.out);
        to.out << "\nValue of The Game per plan-quarter\n";
        printTable(valueHead, valueRows, false, to.out);
    }
    for (const auto& t : league.teams)
        if (!t.ranked)
            printBox(to, {t.team + " is not ranked: " + t.reason, "League", model::Icon::Critical});
    return league.rankedCount() > 0 ? kDone : kDatabaseFailed;
}

int printArchive(const store::GameLocation& where, const Streams& to) {
    const auto file = model::gameFilePath(where.connectionString);
    const bool server = !file;
    const std::string path = file.value_or("this team's game");
    const auto games = model::listGames(where.connectionString);
    if (games.empty()) {
        to.out << "No games of " << path << " are kept in its archive.\n";
        return kDone;
    }
    to.out << "Games kept from " << path << ", newest first:\n";
    std::vector<std::vector<std::string>> rows;
    for (const auto& g : games) {
        const bool read = g.problem.empty();
        rows.push_back({g.path, g.archivedAt, read ? std::to_string(g.quartersPlayed) : "-",
                        read ? g.runningTotal : "-"});
    }
    printTable({server ? "Game" : "File", "Archived", "Quarters Played", "Running Total"}, rows,
               false, to.out);
    for (const auto& g : games)
        if (!g.problem.empty())
            printBox(to, {g.problem, model::kArchiveTitle, model::Icon::Critical});
    return kDone;
}

}  // namespace tessaro::cli
