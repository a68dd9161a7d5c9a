// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A league of team files: every team's game read without changing it, and
// the teams ranked by their running total and by their average value of the
// game.
//
//   const model::League league = model::readLeague({"team1.mdb", "team2.mdb"});
//   for (std::size_t i : league.ranking(model::LeagueOrder::RunningTotal))
//       show(league.teams[i]);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaro::model {

struct LeagueTeam {
    std::string file;  // the path as given
    std::string team;  // the file name without its folder and ".mdb"

    // A file that could not be read carries why (the store's error text, or
    // what the tables lack) and nothing else.
    bool ranked = false;
    std::string reason;

    int quarters = 0;         // PLDI rows
    double runningTotal = 0;  // ZTVG of the last PLDI row
    double averageValue = 0;  // ZCVG of the last PLDI row
    // The decisions of the quarter played last, as the plan report shows
    // them (PRORD and PRHRD of the second-last PLIO row).
    std::int32_t productionDecision = 0;
    std::int32_t hiringDecision = 0;
    // ZVG of every PLDI row in plan order; a row without a number is empty.
    std::vector<std::optional<double>> valuePerQuarter;

    // The running total and the average as the performance sheet shows
    // money: whole numbers, halves to the even neighbour.
    std::string runningTotalText() const;
    std::string averageValueText() const;
    // A quarter's value in the same form; empty when it has none.
    std::string quarterValueText(std::size_t quarter) const;
};

enum class LeagueOrder { RunningTotal, AverageValue };

struct League {
    std::vector<LeagueTeam> teams;  // in the order the files were given

    // Indexes into `teams` of the ranked teams, best first: the higher value
    // wins; equal values rank by team name (then by the path as given).
    std::vector<std::size_t> ranking(LeagueOrder order) const;
    // The 1-based place of teams[index] in `order`, 0 for a team not ranked.
    int rankOf(std::size_t index, LeagueOrder order) const;
    std::size_t rankedCount() const;
    // The most quarters any ranked team has played.
    int mostQuarters() const;
};

// Reads every file with a read-only connection. A missing file is that
// team's error, never a new game; no file is created or changed.
League readLeague(const std::vector<std::string>& files);

// Reads every team of the class on a server (a connection string of the
// teacher's, store/serverplace.h), from one state of the server, in the
// order of their names; a team is named by its name. Throws
// store::StoreError when the server cannot be read or holds no class.
League readServerLeague(const std::string& connectionString);

// The file name without its folder and a final ".mdb" (in any case).
std::string teamName(const std::string& file);

// What a chart of every team's value of the game per quarter needs, in the
// chart control's terms: one row per plan-quarter, one column (series) per
// ranked team in the order of their running totals. A cell is the plain
// text of the number, empty where the team has not played that quarter.
struct LeagueChart {
    std::string title;
    std::string xTitle;
    std::string yTitle;
    std::vector<std::string> rowLabels;  // " 1", " 2", ...
    std::vector<std::string> seriesNames;
    std::vector<std::vector<std::string>> values;  // [series][row]
};

LeagueChart leagueChart(const League& league);

}  // namespace tessaro::model
