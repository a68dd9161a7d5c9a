// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cli.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <map>
#include <optional>
#include <ostream>

#include "csv.h"
#include "model/archive.h"
#include "model/branch.h"
#include "model/gameboard.h"
#include "model/gamefile.h"
#include "model/league.h"
#include "model/reports.h"
#include "model/runcommand.h"
#include "model/takeback.h"
#include "store/asciitext.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "tessaro/version.h"

extern char** environ;

namespace tessaro::cli {
namespace {

constexpr const char* kUsageText =
    "Usage: tessaro-cli [--database PATH] COMMAND [ARGS]\n"
    "\n"
    "Plays the game from a terminal against the game database TESSARO_DB.mdb,\n"
    "with the same checks, messages and effects as the game window.\n"
    "\n"
    "Commands:\n"
    "  run PRODUCTION HIRING PASSWORD   enter the decisions and run the plan-quarter\n"
    "  reinit PASSWORD                  re-initialise the game to its first quarter\n"
    "  undo PASSWORD                    take back the last quarter (the\n"
    "                                   re-initialisation password)\n"
    "  games                            the archive of the game file, newest first\n"
    "  branch N OUT.mdb                 a new game file standing at plan-quarter N\n"
    "  status                           the game file, the plan-quarter number and\n"
    "                                   the last quarter's brief\n"
    "  report                           the plan report of the last quarter\n"
    "  sheet                            the performance sheet of the last quarter\n"
    "  trace [--csv]                    the steps of the last quarter (PLED)\n"
    "  history [--csv]                  every plan-quarter (PLIO with its PLDI row)\n"
    "  debrief OUT.pdf [--paper a4|letter]\n"
    "                                   the debrief report of the game as a PDF\n"
    "  league FILE... [--csv]           rank the games of several teams\n"
    "\n"
    "Options (anywhere on the line):\n"
    "  --database PATH   play the game in PATH (created as a new game when missing)\n"
    "  -h, --help        this text; COMMAND --help tells about one command\n"
    "  -v, --version     the program's version\n"
    "  --                ends the options: every word after it is the command's,\n"
    "                    so that a decision, a password or a file may start with \"-\"\n"
    "\n"
    "Without --database the game lies beside the program when you may write there\n"
    "and the program is not installed system-wide, otherwise in your data folder,\n"
    "$XDG_DATA_HOME/tessaro (~/.local/share/tessaro). 'status' names the file.\n"
    "\n"
    "Message boxes print as one line each, TITLE: TEXT; those with the critical\n"
    "icon (refusals and failures) go to standard error, the others to standard\n"
    "output.\n"
    "Exit status: 0 done, 1 input refused, 2 database or model failure,\n"
    "64 wrong command line.\n";

const std::map<std::string, std::string>& commandHelp() {
    static const std::map<std::string, std::string> help = {
        {"run",
         "Usage: tessaro-cli [--database PATH] run PRODUCTION HIRING PASSWORD\n"
         "Enters the production orders (2000 to 5000 units) and the trainees' hiring\n"
         "(5 to 25 persons) for the plan-quarter and runs it, exactly as the decision\n"
         "window's \"System Dynamics Run\" button does. An empty argument (\"\") stands\n"
         "for an empty box. A text that starts with \"-\" follows \"--\", which ends the\n"
         "options: tessaro-cli run -- -h 10 WOTA reads \"-h\" as the production orders.\n"},
        {"reinit",
         "Usage: tessaro-cli [--database PATH] reinit PASSWORD\n"
         "Presses \"System Dynamics Run\" with both decision boxes empty: with the\n"
         "re-initialisation password the game goes back to its first quarter.\n"},
        {"undo",
         "Usage: tessaro-cli [--database PATH] undo PASSWORD\n"
         "Takes back the last plan-quarter, as the game window's \"Take Back Last\n"
         "Quarter\" does: its PLIO and PLDI rows go, the trace of the quarter before\n"
         "comes back as it was written, and the decisions of the row before stand as\n"
         "they stood before the run. The same decisions again give the same game.\n"
         "PASSWORD is the re-initialisation password. Quarters come back one by one\n"
         "down to the first quarter of the game.\n"},
        {"games",
         "Usage: tessaro-cli [--database PATH] games\n"
         "Lists the games that re-initialisations have kept beside the game file\n"
         "(STEM-YYYYMMDD-HHMMSS.mdb), newest first: file, date, quarters played and\n"
         "running total of the value of the game. Each can be played with --database.\n"},
        {"branch",
         "Usage: tessaro-cli [--database PATH] branch N OUT.mdb\n"
         "Writes a new game file OUT.mdb that stands where this game stood at\n"
         "plan-quarter N (PLIO rows 0 to N, as 'history' numbers them), to play on\n"
         "from there with --database OUT.mdb. This game is not changed; OUT.mdb must\n"
         "not exist.\n"},
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
        {"debrief",
         "Usage: tessaro-cli [--database PATH] debrief OUT.pdf [--paper a4|letter]\n"
         "Writes the debrief report of the game as one PDF: the title and plan-quarter,\n"
         "the performance sheet and the plan report of the last quarter, the past plan\n"
         "plots and game value plots of every quarter, and a page that explains the\n"
         "score. --paper chooses A4 (the default) or Letter. The game is only read;\n"
         "OUT.pdf appears complete or not at all. No display is needed.\n"},
        {"league",
         "Usage: tessaro-cli league FILE... [--csv]\n"
         "Reads the game files of several teams without changing them and ranks the\n"
         "teams by their running total and by their average value of the game, with\n"
         "the quarters played, the last decisions and the value of the game per\n"
         "quarter; --csv for spreadsheets. A file that cannot be read is named on\n"
         "standard error with the reason, and the others still rank. Exit status 0\n"
         "when at least one team ranks, 2 when none can be read.\n"},
    };
    return help;
}

// Where a message box goes: refusals and failures (the critical icon) to
// the error stream, so that `history --csv > f.csv` never writes a failure
// into the table; every other box to the output.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

void printBox(const Streams& to, const model::MessageBox& box) {
    std::ostream& s = box.icon == model::Icon::Critical ? to.err : to.out;
    s << box.title << ": " << box.text << '\n';
}

// The decision window's boxes, filled from the command line; message boxes
// print as lines, and the rebuilt board prints as the status.
class CliPanel : public model::DecisionPanel {
public:
    CliPanel(std::string production, std::string hiring, std::string password, const Streams& to)
        : m_to(to) {
        m_texts[model::Box::Production] = std::move(production);
        m_texts[model::Box::Hiring] = std::move(hiring);
        m_texts[model::Box::Password] = std::move(password);
    }
    std::string text(model::Box box) const override { return m_texts.at(box); }
    void setText(model::Box box, const std::string& text) override { m_texts[box] = text; }
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox& box) override { printBox(m_to, box); }
    void rebuildBoard() override { m_rebuilt = true; }
    bool rebuilt() const { return m_rebuilt; }

private:
    std::map<model::Box, std::string> m_texts;
    Streams m_to;
    bool m_rebuilt = false;
};

int printStatus(const store::GameLocation& where, const Streams& to) {
    std::ostream& out = to.out;
    const std::string& cs = where.connectionString;
    out << "Game file: " << store::pathFromConnectionString(cs);
    if (!where.named && !where.portable) out << "  (your data folder: " << where.reason << ")";
    out << '\n';
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
        if (it != accounts.end())
            row.insert(row.end(), it->second.begin(), it->second.end());
        else
            row.resize(head.size());
        rows.push_back(std::move(row));
    }
    printTable(head, rows, csv, out);
    return kDone;
}

// The debrief is drawn by the game window program, tessaro, which lies
// beside this one: tessaro-cli itself stays free of the window toolkit and
// starts in a few milliseconds. The program's output comes back as this
// command's own.
std::string windowProgram() {
    if (const char* override = std::getenv("TESSARO_WINDOW_PROGRAM"); override && *override)
        return override;
    return (std::filesystem::path(store::programDirectory()) / "tessaro").string();
}

// Runs `argv` and hands its standard output and error to `to`; returns its
// exit status, or -1 (with errno) when it could not be started.
int runAndForward(const std::vector<std::string>& argv, const Streams& to) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return -1;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        errno = spawned;
        return -1;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::ostream* sinks[2] = {&to.out, &to.err};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->write(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kDatabaseFailed;
}

int writeDebrief(const std::string& cs, const std::string& file,
                 const std::optional<std::string>& paperName, const Streams& to) {
    std::vector<std::string> argv = {windowProgram(), "--database",
                                     store::pathFromConnectionString(cs), "--debrief", file};
    if (paperName) {
        argv.push_back("--paper");
        argv.push_back(store::lowerAscii(*paperName));
    }
    const int status = runAndForward(argv, to);
    if (status >= 0) return status;
    printBox(to, {"This tessaro-cli cannot write PDFs: the debrief is drawn by the game window "
                  "program, " +
                      argv[0] + ", which could not be started (" + std::strerror(errno) +
                      "). It comes with a build that has the game "
                      "windows (Qt).",
                  "Debrief Report", model::Icon::Critical});
    return kDatabaseFailed;
}

int printLeague(const std::vector<std::string>& files, bool csv, const Streams& to) {
    const model::League league = model::readLeague(files);
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

int usageError(const std::string& why, std::ostream& err) {
    err << "tessaro-cli: " << why << '\n' << tryHelp("tessaro-cli") << '\n';
    return kUsage;
}

int takeBack(const store::GameLocation& where, const std::string& password, const Streams& to) {
    const auto result = model::takeBackLastQuarter(where.connectionString, password);
    for (const auto& box : result.messages) printBox(to, box);
    switch (result.outcome) {
        case model::TakeBackOutcome::TakenBack:
            printStatus(where, to);
            return kDone;
        case model::TakeBackOutcome::Refused:
            return kRefused;
        case model::TakeBackOutcome::Failed:
            return kDatabaseFailed;
    }
    return kDatabaseFailed;
}

int printArchive(const store::GameLocation& where, const Streams& to) {
    const std::string path = store::pathFromConnectionString(where.connectionString);
    const auto games = model::listArchive(path);
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
    printTable({"File", "Archived", "Quarters Played", "Running Total"}, rows, false, to.out);
    for (const auto& g : games)
        if (!g.problem.empty())
            printBox(to, {g.problem, model::kArchiveTitle, model::Icon::Critical});
    return kDone;
}

int writeBranch(const std::string& connectionString, const std::vector<std::string>& operands,
                const Streams& to) {
    int n = 0;
    const std::string& number = operands[0];
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (ec != std::errc() || end != number.data() + number.size())
        return usageError("'branch' needs a plan-quarter number, got '" + number + "'", to.err);
    try {
        model::branchGame(connectionString, n, operands[1]);
    } catch (const model::RunStopped& e) {
        printBox(to, e.box());
        return kRefused;
    }
    printBox(to, {"The game as it stood at plan-quarter " + std::to_string(n) + " was written to " +
                      operands[1] + ", to be played on with --database " + operands[1] + ".",
                  model::kBranchTitle, model::Icon::None});
    return kDone;
}

// The command line once its options are taken out of it, wherever they
// stood.
struct CommandLine {
    std::optional<std::string> database;
    bool help = false;
    bool version = false;
    bool csv = false;
    std::optional<std::string> paper;
    std::vector<std::string> words;  // the command and its operands
};

// Reads the options; returns an error text for a malformed one. A lone
// "--" ends the options, so that a password or a file may start with "-".
std::optional<std::string> parseCommandLine(const std::vector<std::string>& args,
                                            CommandLine& line) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            line.words.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--database") {
            if (i + 1 >= args.size()) return "--database needs a file path";
            line.database = args[++i];
        } else if (a.rfind("--database=", 0) == 0) {
            line.database = a.substr(11);
            if (line.database->empty()) return "--database needs a file path";
        } else if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version" || a == "-v") {
            line.version = true;
        } else if (a == "--csv") {
            line.csv = true;
        } else if (a == "--paper") {
            if (i + 1 >= args.size()) return "--paper needs a paper size (a4 or letter)";
            line.paper = args[++i];
        } else if (a.rfind("--paper=", 0) == 0) {
            line.paper = a.substr(8);
        } else if (a.size() > 1 && store::isAsciiDigit(a[1])) {
            line.words.push_back(a);  // a negative number: a decision the game will refuse
        } else {
            return "unknown option '" + a + "'";
        }
    }
    return std::nullopt;
}

}  // namespace

int runCli(const std::vector<std::string>& args, const std::string& programDirectory,
           std::ostream& out, std::ostream& err) {
    const Streams to{out, err};
    CommandLine line;
    if (const auto error = parseCommandLine(args, line)) return usageError(*error, err);
    if (line.version) {
        out << "tessaro-cli " TESSARO_VERSION "\n";
        return kDone;
    }
    if (line.words.empty() && !line.help) return usageError("no command given", err);
    if (line.words.empty() || line.words.front() == "help") {
        out << kUsageText;
        return kDone;
    }

    const std::string command = line.words.front();
    const std::vector<std::string> operands(line.words.begin() + 1, line.words.end());
    const auto help = commandHelp().find(command);
    if (help == commandHelp().end()) return usageError("unknown command '" + command + "'", err);
    if (line.help) {
        out << help->second;
        return kDone;
    }
    if (line.csv && command != "trace" && command != "history" && command != "league")
        return usageError("'" + command + "' has no --csv form", err);
    if (line.paper && command != "debrief")
        return usageError("'" + command + "' has no --paper option", err);
    if (line.paper && store::lowerAscii(*line.paper) != "a4" &&
        store::lowerAscii(*line.paper) != "letter")
        return usageError("unknown paper size '" + *line.paper + "' (a4 or letter)", err);
    if (command == "league") {
        if (line.database)
            return usageError("'league' reads the files it is given; --database does not apply",
                              err);
        if (operands.empty()) return usageError("'league' needs at least one game file", err);
        return printLeague(operands, line.csv, to);
    }
    const std::size_t expected = command == "run" ? 3
                                 : command == "reinit" || command == "undo" || command == "debrief"
                                     ? 1
                                 : command == "branch" ? 2
                                                       : 0;
    if (operands.size() != expected)
        return usageError("'" + command + "' takes " + std::to_string(expected) +
                              " argument(s), got " + std::to_string(operands.size()),
                          err);

    try {
        const store::GameLocation where =
            store::gameLocation(line.database ? &*line.database : nullptr, programDirectory);
        const std::string& connectionString = where.connectionString;
        // None of these makes a new game: a report only reads, the archive
        // is listed as it is, and a branch is made only of a game that is
        // there.
        if (command == "debrief")
            return writeDebrief(connectionString, operands[0], line.paper, to);
        if (command == "games") return printArchive(where, to);
        if (command == "branch") return writeBranch(connectionString, operands, to);
        model::ensureGameDatabase(connectionString);
        if (command == "undo") return takeBack(where, operands[0], to);
        if (command == "run" || command == "reinit") {
            CliPanel panel(command == "run" ? operands[0] : "", command == "run" ? operands[1] : "",
                           operands.back(), to);
            model::RunCommand run(connectionString);
            const auto outcome = run.run(panel);
            if (panel.rebuilt()) printStatus(where, to);
            switch (outcome) {
                case model::RunOutcome::PlanRun:
                case model::RunOutcome::Reinitialised:
                    return kDone;
                case model::RunOutcome::Refused:
                    return kRefused;
                case model::RunOutcome::Failed:
                    return kDatabaseFailed;
            }
        }
        if (command == "status") return printStatus(where, to);
        if (command == "report") return printReport(connectionString, to);
        if (command == "sheet") return printSheet(connectionString, to);
        if (command == "trace") return printTrace(connectionString, line.csv, out);
        if (command == "history") return printHistory(connectionString, line.csv, out);
    } catch (const std::exception& e) {
        printBox(to, model::databaseFailureBox(e));
        return kDatabaseFailed;
    }
    return kUsage;
}

}  // namespace tessaro::cli
