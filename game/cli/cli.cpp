// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cli.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <ostream>

#include "model/gameboard.h"
#include "model/gamefile.h"
#include "model/reports.h"
#include "model/runcommand.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/storeerror.h"

namespace tessaro::cli {
namespace {

constexpr const char* kUsageText =
    "Usage: tessaro-cli [--database PATH] COMMAND [ARGS]\n"
    "\n"
    "Plays the game from a terminal against the game database, by default\n"
    "TESSARO_DB.mdb in the program's directory (created as a new game when missing).\n"
    "\n"
    "Commands:\n"
    "  run PRODUCTION HIRING PASSWORD   enter the decisions and run the plan-quarter\n"
    "  reinit PASSWORD                  re-initialise the game to its first quarter\n"
    "  status                           plan-quarter number and the last quarter's brief\n"
    "  report                           the plan report of the last quarter\n"
    "  sheet                            the performance sheet of the last quarter\n"
    "  trace [--csv]                    the steps of the last quarter (PLED)\n"
    "  history [--csv]                  every plan-quarter (PLIO with its PLDI row)\n"
    "\n"
    "Message boxes print as one line each, TITLE: TEXT.\n"
    "Exit status: 0 done, 1 input refused, 2 database failed, 64 wrong command line.\n";

const std::map<std::string, std::string>& commandHelp() {
    static const std::map<std::string, std::string> help = {
        {"run",
         "Usage: tessaro-cli [--database PATH] run PRODUCTION HIRING PASSWORD\n"
         "Enters the production orders (2000 to 5000 units) and the trainees' hiring\n"
         "(5 to 25 persons) for the plan-quarter and runs it, exactly as the decision\n"
         "window's \"System Dynamics Run\" button does. An empty argument (\"\") stands\n"
         "for an empty box.\n"},
        {"reinit",
         "Usage: tessaro-cli [--database PATH] reinit PASSWORD\n"
         "Presses \"System Dynamics Run\" with both decision boxes empty: with the\n"
         "re-initialisation password the game goes back to its first quarter.\n"},
        {"status",
         "Usage: tessaro-cli [--database PATH] status\n"
         "Shows the plan-quarter number of the game board and the Plan Brief of the\n"
         "quarter run last.\n"},
        {"report",
         "Usage: tessaro-cli [--database PATH] report\n"
         "Shows the plan report: decisions against results, levels and rates.\n"},
        {"sheet",
         "Usage: tessaro-cli [--database PATH] sheet\n"
         "Shows the performance sheet: earnings, costs and the value of the game.\n"},
        {"trace",
         "Usage: tessaro-cli [--database PATH] trace [--csv]\n"
         "Lists the steps of the quarter run last (table PLED); --csv for spreadsheets.\n"},
        {"history",
         "Usage: tessaro-cli [--database PATH] history [--csv]\n"
         "Lists every plan-quarter: its PLIO row with the PLDI row of its accounting;\n"
         "--csv for spreadsheets.\n"},
    };
    return help;
}

void printBox(std::ostream& out, const model::MessageBox& box) {
    out << box.title << ": " << box.text << '\n';
}

// The decision window's boxes, filled from the command line; message boxes
// print as lines, and the rebuilt board prints as the status.
class CliPanel : public model::DecisionPanel {
public:
    CliPanel(std::string production, std::string hiring, std::string password, std::ostream& out,
             std::string connectionString)
        : m_out(out), m_connectionString(std::move(connectionString)) {
        m_texts[model::Box::Production] = std::move(production);
        m_texts[model::Box::Hiring] = std::move(hiring);
        m_texts[model::Box::Password] = std::move(password);
    }
    std::string text(model::Box box) const override { return m_texts.at(box); }
    void setText(model::Box box, const std::string& text) override { m_texts[box] = text; }
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox& box) override { printBox(m_out, box); }
    void rebuildBoard() override { m_rebuilt = true; }
    bool rebuilt() const { return m_rebuilt; }

private:
    std::map<model::Box, std::string> m_texts;
    std::ostream& m_out;
    std::string m_connectionString;
    bool m_rebuilt = false;
};

int printStatus(const std::string& cs, std::ostream& out) {
    const auto board = model::loadGameBoard(cs);
    if (board.reached >= model::GameBoard::Stage::PlanCount) {
        out << "PLAN-QUARTER NO. :: " << board.planCount << "  (decisions are now made for plan-quarter "
            << board.planCount + 1 << ")\n";
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
            << "Before Plan" << std::setw(19) << "After Plan" << "100% Means :\n";
        for (int i = 0; i < model::kIndicatorCount; ++i) {
            const auto& ind = model::boardIndicators()[static_cast<std::size_t>(i)];
            out << "  " << std::setw(22) << ind.chartLabel << std::setw(19)
                << board.beforeCellText(i) << std::setw(19) << board.afterCellText(i)
                << ind.referenceText << '\n';
        }
    }
    if (board.failure) {
        printBox(out, *board.failure);
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

int printReport(const std::string& cs, std::ostream& out) {
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
        printBox(out, *report.failure);
        return kDatabaseFailed;
    }
    return kDone;
}

int printSheet(const std::string& cs, std::ostream& out) {
    const auto sheet = model::loadPerformanceSheet(cs);
    if (sheet.failure) {
        printBox(out, *sheet.failure);
        return kDatabaseFailed;
    }
    out << "Performance Sheet For Plan Quarter Number  : " << sheet.planNumberText << "\n\n";
    auto grid = sheet.grid();
    grid[6][1].clear();  // the manpower heading spans both columns
    printGrid(grid, out);
    return kDone;
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

void printTable(const std::vector<std::string>& head, const std::vector<std::vector<std::string>>& rows,
                bool csv, std::ostream& out) {
    if (csv) {
        for (const auto* row : {&head}) {
            for (std::size_t c = 0; c < row->size(); ++c) out << (c ? "," : "") << csvField((*row)[c]);
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
    store::Connection db(cs, store::Access::Read);
    store::Snapshot snapshot(db);
    auto pled = db.openRecordset("Select * from PLED");
    std::vector<std::string> head(store::pledColumns().begin(), store::pledColumns().end());
    std::vector<std::vector<std::string>> rows;
    for (; !pled.eof(); pled.moveNext()) {
        std::vector<std::string> row;
        for (const auto& c : head) row.push_back(pled[c].toText());
        rows.push_back(std::move(row));
    }
    printTable(head, rows, csv, out);
    return kDone;
}

int printHistory(const std::string& cs, bool csv, std::ostream& out) {
    store::Connection db(cs, store::Access::Read);
    // PLDI and PLIO of one state: every quarter with its accounting.
    store::Snapshot snapshot(db);
    auto pldi = db.openRecordset("Select * from PLDI");
    std::map<std::string, std::vector<std::string>> accounts;
    for (; !pldi.eof(); pldi.moveNext()) {
        std::vector<std::string> row;
        for (const auto& c : store::pldiColumns()) row.push_back(pldi[c].toText());
        accounts[row.front()] = row;
    }
    std::vector<std::string> head(store::plioColumns().begin(), store::plioColumns().end());
    head.insert(head.end(), store::pldiColumns().begin(), store::pldiColumns().end());
    std::vector<std::vector<std::string>> rows;
    auto plio = db.openRecordset("Select * from PLIO");
    for (; !plio.eof(); plio.moveNext()) {
        std::vector<std::string> row;
        for (const auto& c : store::plioColumns()) row.push_back(plio[c].toText());
        auto it = accounts.find(row.front());
        if (it != accounts.end()) row.insert(row.end(), it->second.begin(), it->second.end());
        else row.resize(head.size());
        rows.push_back(std::move(row));
    }
    printTable(head, rows, csv, out);
    return kDone;
}

int usageError(const std::string& why, std::ostream& err) {
    err << "tessaro-cli: " << why << "\nTry 'tessaro-cli --help'.\n";
    return kUsage;
}

bool wantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace

int runCli(const std::vector<std::string>& argsIn, const std::string& defaultDirectory,
           std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = argsIn;
    std::string connectionString = store::connectionStringForDirectory(defaultDirectory);

    if (!args.empty() && args.front() == "--database") {
        if (args.size() < 2) return usageError("--database needs a file path", err);
        connectionString = store::connectionStringForFile(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    } else if (!args.empty() && args.front().rfind("--database=", 0) == 0) {
        connectionString = store::connectionStringForFile(args.front().substr(11));
        args.erase(args.begin());
    }
    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        out << kUsageText;
        return args.empty() ? kUsage : kDone;
    }

    const std::string command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const auto help = commandHelp().find(command);
    if (help == commandHelp().end()) return usageError("unknown command '" + command + "'", err);
    if (wantsHelp(rest)) {
        out << help->second;
        return kDone;
    }

    bool csv = false;
    std::vector<std::string> operands;
    for (const auto& a : rest) {
        if (a == "--csv" && (command == "trace" || command == "history")) csv = true;
        else operands.push_back(a);
    }
    const std::size_t expected = command == "run" ? 3 : command == "reinit" ? 1 : 0;
    if (operands.size() != expected)
        return usageError("'" + command + "' takes " + std::to_string(expected) +
                              " argument(s), got " + std::to_string(operands.size()),
                          err);

    try {
        model::ensureGameDatabase(connectionString);
        if (command == "run" || command == "reinit") {
            CliPanel panel(command == "run" ? operands[0] : "", command == "run" ? operands[1] : "",
                           operands.back(), out, connectionString);
            model::RunCommand run(connectionString);
            const auto outcome = run.run(panel);
            if (panel.rebuilt()) printStatus(connectionString, out);
            switch (outcome) {
                case model::RunOutcome::PlanRun:
                case model::RunOutcome::Reinitialised: return kDone;
                case model::RunOutcome::Refused: return kRefused;
                case model::RunOutcome::Failed: return kDatabaseFailed;
            }
        }
        if (command == "status") return printStatus(connectionString, out);
        if (command == "report") return printReport(connectionString, out);
        if (command == "sheet") return printSheet(connectionString, out);
        if (command == "trace") return printTrace(connectionString, csv, out);
        if (command == "history") return printHistory(connectionString, csv, out);
    } catch (const std::exception& e) {
        printBox(out, model::databaseFailureBox(e));
        return kDatabaseFailed;
    }
    return kUsage;
}

}  // namespace tessaro::cli
