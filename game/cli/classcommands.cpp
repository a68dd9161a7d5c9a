// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "classcommands.h"

#include <iostream>
#include <map>

#include "cli.h"
#include "model/classroom.h"
#include "model/runcommand.h"

namespace tessaro::cli {
namespace {

void tell(const Streams& to, const std::string& text) {
    printBox(to, {text, model::kClassTitle, model::Icon::None});
}

// The decision window with both boxes empty and the re-initialisation
// password typed, as the teacher presses it for a team.
class ReinitPanel : public model::DecisionPanel {
public:
    explicit ReinitPanel(const Streams& to) : m_to(to) {}
    std::string text(model::Box box) const override {
        return box == model::Box::Password ? model::kReinitPassword : "";
    }
    void setText(model::Box, const std::string&) override {}
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox& box) override {
        // The box that asks for the decisions is the window's, not the
        // teacher's.
        if (box.text != "Enter Appropriate parameters....") printBox(m_to, box);
    }
    void rebuildBoard() override {}

private:
    Streams m_to;
};

int init(const std::string& cs, const std::vector<std::string>& teams, const ClassOptions& options,
         const Streams& to) {
    const auto lines = model::initClass(cs, teams, options.passwords);
    std::string names;
    for (const auto& t : teams) names += (names.empty() ? "" : ", ") + t;
    tell(to, std::to_string(teams.size()) + (teams.size() == 1 ? " team" : " teams") +
                 " made, each with a new game: " + names + ".");
    if (!options.passwords.empty()) {
        tell(to, "Each team's line for ~/.pgpass on its PCs is in " + options.passwords +
                     " (mode 0600); it is written nowhere else.");
        return kDone;
    }
    tell(to, "Each team's line for ~/.pgpass on its PCs follows; it is shown this once:");
    for (const auto& l : lines) to.out << l << '\n';
    return kDone;
}

int list(const std::string& cs, const Streams& to) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& t : model::listClass(cs))
        rows.push_back({t.name, std::to_string(t.quarters), t.lastRun});
    printTable({"Team", "Quarters Played", "Last Run"}, rows, false, to.out);
    return kDone;
}

int reinit(const std::string& cs, const std::string& team, const Streams& to) {
    ReinitPanel panel(to);
    const auto outcome = model::RunCommand(model::teamGame(cs, team)).run(panel);
    return outcome == model::RunOutcome::Reinitialised ? kDone : kDatabaseFailed;
}

int drop(const std::string& cs, const std::string& team, const ClassOptions& options,
         const Streams& to) {
    if (!options.yes) {
        to.out << "Drop team " << team
               << ": its game, its archive and its role go for good. Type the team's name to "
                  "confirm: "
               << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != team) {
            printBox(to, {"Team " + team + " was not dropped.", model::kClassTitle,
                          model::Icon::Critical});
            return kRefused;
        }
    }
    model::dropTeam(cs, team);
    tell(to, "Team " + team + " was dropped: its game, its archive and its role are gone.");
    return kDone;
}

}  // namespace

int runClassCommand(const std::string& cs, const std::vector<std::string>& operands,
                    const ClassOptions& options, const Streams& to) {
    const std::string sub = operands.empty() ? "" : operands.front();
    const std::vector<std::string> args(operands.begin() + (operands.empty() ? 0 : 1),
                                        operands.end());
    static const std::map<std::string, std::size_t> counts = {
        {"list", 0}, {"reinit", 1}, {"drop", 1}, {"export", 2}, {"import", 2}};
    if (sub == "init") {
        if (args.empty()) return usageError("'class init' needs at least one team name", to.err);
        return init(cs, args, options, to);
    }
    const auto count = counts.find(sub);
    if (count == counts.end())
        return usageError("'class' needs init, list, reinit, drop, export or import", to.err);
    if (args.size() != count->second)
        return usageError("'class " + sub + "' takes " + std::to_string(count->second) +
                              " argument(s), got " + std::to_string(args.size()),
                          to.err);
    if (!options.passwords.empty()) return usageError("only 'class init' has --passwords", to.err);
    if (options.yes && sub != "drop") return usageError("only 'class drop' has --yes", to.err);
    if (sub == "list") return list(cs, to);
    if (sub == "reinit") return reinit(cs, args[0], to);
    if (sub == "drop") return drop(cs, args[0], options, to);
    if (sub == "export") {
        model::exportGame(model::teamGame(cs, args[0]), args[1]);
        tell(to, "The game of " + args[0] + " was written to " + args[1] + ".");
        return kDone;
    }
    const std::string archived = model::importGame(args[1], model::teamGame(cs, args[0]));
    tell(to, "The game in " + args[1] + " is now " + args[0] + "'s game" +
                 (archived.empty() ? "." : "; the game it replaced was kept as " + archived + "."));
    return kDone;
}

}  // namespace tessaro::cli
