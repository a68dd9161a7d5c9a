// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cli.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>

#include "classcommands.h"
#include "clihelp.h"
#include "clioutput.h"
#include "model/branch.h"
#include "model/gamefile.h"
#include "model/league.h"
#include "model/runcommand.h"
#include "model/takeback.h"
#include "store/asciitext.h"
#include "store/gamelocation.h"
#include "store/serverplace.h"
#include "store/storeerror.h"
#include "tessaro/version.h"

namespace tessaro::cli {

int usageError(const std::string& why, std::ostream& err) {
    err << "tessaro-cli: " << why << '\n' << tryHelp("tessaro-cli") << '\n';
    return kUsage;
}

int exitStatus(int status, const std::optional<store::StoreCause>& failure) {
    if (status != kDatabaseFailed || !failure) return status;
    switch (*failure) {
        case store::StoreCause::Unreachable:
        case store::StoreCause::ServerGone:
            return kServerUnreachable;
        case store::StoreCause::LoginRefused:
        case store::StoreCause::PasswordNeeded:
        case store::StoreCause::Denied:
            return kLoginRefused;
        case store::StoreCause::NotAClass:
            return kNotAClass;
        case store::StoreCause::PasswordInAddress:
        case store::StoreCause::BadAddress:
            return kUsage;
        default:
            return status;
    }
}

namespace {

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
    std::optional<std::string> server;
    std::optional<std::string> passwords;
    bool yes = false;
    bool help = false;
    bool version = false;
    bool csv = false;
    std::optional<std::string> paper;
    std::vector<std::string> words;  // the command and its operands
};

// An option with a value, as "--name VALUE" or "--name=VALUE"; false when
// `a` is not this option.
bool valueOption(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                 std::optional<std::string>& into, std::optional<std::string>& error,
                 const char* what) {
    const std::string& a = args[i];
    if (a == name) {
        if (i + 1 >= args.size()) {
            error = std::string(name) + " needs " + what;
            return true;
        }
        into = args[++i];
        return true;
    }
    if (a.rfind(std::string(name) + "=", 0) != 0) return false;
    into = a.substr(name.size() + 1);
    if (into->empty()) error = std::string(name) + " needs " + what;
    return true;
}

// Reads the options; returns an error text for a malformed one. A lone
// "--" ends the options, so that a password or a file may start with "-".
std::optional<std::string> parseCommandLine(const std::vector<std::string>& args,
                                            CommandLine& line) {
    bool optionsEnded = false;
    std::optional<std::string> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            line.words.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (valueOption(args, i, "--database", line.database, error, "a file path") ||
                   valueOption(args, i, "--server", line.server, error, "a server address") ||
                   valueOption(args, i, "--passwords", line.passwords, error, "a file path") ||
                   valueOption(args, i, "--paper", line.paper, error,
                               "a paper size (a4 or letter)")) {
        } else if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version" || a == "-v") {
            line.version = true;
        } else if (a == "--csv") {
            line.csv = true;
        } else if (a == "--yes") {
            line.yes = true;
        } else if (a.size() > 1 && store::isAsciiDigit(a[1])) {
            line.words.push_back(a);  // a negative number: a decision the game will refuse
        } else {
            error = "unknown option '" + a + "'";
        }
    }
    return error;
}

// Checks the options against the command; returns an error text.
std::optional<std::string> misplacedOption(const CommandLine& line, const std::string& command) {
    if (line.csv && command != "trace" && command != "history" && command != "league")
        return "'" + command + "' has no --csv form";
    if (line.paper && command != "debrief") return "'" + command + "' has no --paper option";
    if (line.paper && store::lowerAscii(*line.paper) != "a4" &&
        store::lowerAscii(*line.paper) != "letter")
        return "unknown paper size '" + *line.paper + "' (a4 or letter)";
    if ((line.passwords || line.yes) && command != "class")
        return "'" + command + "' has no --passwords or --yes option";
    if (line.database && line.server) return "--database and --server name two games; give one";
    return std::nullopt;
}

std::size_t operandsOf(const std::string& command) {
    if (command == "run") return 3;
    if (command == "reinit" || command == "undo" || command == "debrief") return 1;
    if (command == "branch") return 2;
    return 0;
}

// The game the command plays: the server that --server or TESSARO_SERVER
// names (unless --database names a file), else the file.
store::GameLocation locate(const CommandLine& line, const std::string& programDirectory) {
    std::optional<std::string> server = line.server;
    if (!server && !line.database) {
        if (const char* named = std::getenv(store::kServerVariable); named && *named)
            server = named;
    }
    if (server) {
        store::checkServerAddress(*server);
        store::GameLocation where;
        where.connectionString = store::connectionStringForServer(*server);
        where.named = true;
        return where;
    }
    return store::gameLocation(line.database ? &*line.database : nullptr, programDirectory);
}

int runGameCommand(const std::string& command, const std::vector<std::string>& operands,
                   const CommandLine& line, const store::GameLocation& where, const Streams& to) {
    const std::string& connectionString = where.connectionString;
    // None of these makes a new game: a report only reads, the archive is
    // listed as it is, and a branch is made only of a game that is there.
    if (command == "debrief") return writeDebrief(connectionString, operands[0], line.paper, to);
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
    if (command == "trace") return printTrace(connectionString, line.csv, to.out);
    if (command == "history") return printHistory(connectionString, line.csv, to.out);
    return kUsage;
}

int runCommand(const CommandLine& line, const std::string& programDirectory, const Streams& to) {
    const std::string command = line.words.front();
    const std::vector<std::string> operands(line.words.begin() + 1, line.words.end());
    if (command == "league" && !line.server && !std::getenv(store::kServerVariable)) {
        if (line.database)
            return usageError("'league' reads the files it is given; --database does not apply",
                              to.err);
        if (operands.empty()) return usageError("'league' needs at least one game file", to.err);
        return printLeague(model::readLeague(operands), line.csv, to);
    }
    if (command != "class" && command != "league" && operands.size() != operandsOf(command))
        return usageError("'" + command + "' takes " + std::to_string(operandsOf(command)) +
                              " argument(s), got " + std::to_string(operands.size()),
                          to.err);
    try {
        const store::GameLocation where = locate(line, programDirectory);
        if (command == "class" || command == "league") {
            if (!store::isServerConnectionString(where.connectionString))
                return usageError("'" + command + "' of a class needs --server (or " +
                                      store::kServerVariable + ")",
                                  to.err);
            if (command == "league") {
                if (!operands.empty())
                    return usageError("'league' on a server takes no files", to.err);
                return printLeague(model::readServerLeague(where.connectionString), line.csv, to);
            }
            return runClassCommand(where.connectionString, operands,
                                   {line.passwords.value_or(""), line.yes}, to);
        }
        return runGameCommand(command, operands, line, where, to);
    } catch (const model::RunStopped& e) {
        printBox(to, e.box());
        return kRefused;
    } catch (const std::exception& e) {
        printBox(to, model::databaseFailureBox(e));
        return kDatabaseFailed;
    }
}

}  // namespace

int runCli(const std::vector<std::string>& args, const std::string& programDirectory,
           std::ostream& out, std::ostream& err) {
    std::optional<store::StoreCause> failure;
    const Streams to{out, err, &failure};
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
    const std::string& command = line.words.front();
    const auto help = commandHelp().find(command);
    if (help == commandHelp().end()) return usageError("unknown command '" + command + "'", err);
    if (line.help) {
        out << help->second;
        return kDone;
    }
    if (const auto error = misplacedOption(line, command)) return usageError(*error, err);
    return exitStatus(runCommand(line, programDirectory, to), failure);
}

}  // namespace tessaro::cli
