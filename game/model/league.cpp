// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/league.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "model/rounding.h"
#include "store/asciitext.h"
#include "store/classserver.h"
#include "store/connection.h"
#include "store/numbertext.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

// A stored value the league can reckon with: a finite number. A text such
// as "inf" in a damaged file reads as a number but cannot be ranked.
std::optional<double> finiteNumber(const store::Value& v) {
    const auto n = v.number();
    if (n && std::isfinite(*n)) return n;
    return std::nullopt;
}

std::string wholeMoneyText(double v) {
    return store::numberText(roundHalfEven(v, 0));
}

std::string tableReason(const std::string& path, const char* what) {
    return "The game database " + path + " " + what + ".";
}

// The decisions of the quarter reported, by the plan report's rule: the
// first quarter of a game ran on 3000 and 10; later ones carry theirs in the
// second-last PLIO row, where an empty decision shows as 0.
void readDecisions(store::Recordset& plio, LeagueTeam& team) {
    const int n = plio.recordCount();
    plio.moveFirst();
    if (n == 1) {
        if (plio["PNPLPD"].number() == 0.0) {
            team.productionDecision = 3000;
            team.hiringDecision = 10;
        }
        return;
    }
    plio.move(n - 2);
    const auto whole = [](const store::Value& v) {
        const auto x = v.number();
        return x ? toInt32(*x) : 0;
    };
    team.productionDecision = whole(plio["PRORD"]);
    team.hiringDecision = whole(plio["PRHRD"]);
}

// Reads the team's game on `db`, inside a snapshot: both tables from one
// state, so that a quarter run meanwhile cannot put a new PLIO row beside
// the old accounting.
void readGame(store::Connection& db, LeagueTeam& team) {
    auto plio = db.openRecordset("Select * from PLIO");
    auto pldi = db.openRecordset("Select * from PLDI");
    if (plio.recordCount() == 0) {
        team.reason = tableReason(db.path(), "holds no plan-quarter (table PLIO is empty)");
        return;
    }
    if (pldi.recordCount() == 0) {
        team.reason = tableReason(db.path(), "holds no quarter played (table PLDI is empty)");
        return;
    }
    pldi.moveLast();
    const auto total = finiteNumber(pldi["ZTVG"]);
    const auto average = finiteNumber(pldi["ZCVG"]);
    if (!total || !average) {
        team.reason =
            tableReason(db.path(), "holds no number in ZTVG or ZCVG of its last PLDI row");
        return;
    }
    team.runningTotal = *total;
    team.averageValue = *average;
    team.quarters = pldi.recordCount();
    for (pldi.moveFirst(); !pldi.eof(); pldi.moveNext())
        team.valuePerQuarter.push_back(finiteNumber(pldi["ZVG"]));
    readDecisions(plio, team);
    team.ranked = true;
}

LeagueTeam readTeam(const std::string& file) {
    LeagueTeam team;
    team.file = file;
    team.team = teamName(file);
    try {
        auto db = store::Connection::openFile(file, store::Access::Read);
        store::Snapshot snapshot(db);
        readGame(db, team);
    } catch (const std::exception& e) {
        // The store's own words name the file and the cause.
        team.reason = e.what();
    }
    return team;
}

}  // namespace

std::string LeagueTeam::runningTotalText() const {
    return ranked ? wholeMoneyText(runningTotal) : "";
}

std::string LeagueTeam::averageValueText() const {
    return ranked ? wholeMoneyText(averageValue) : "";
}

std::string LeagueTeam::quarterValueText(std::size_t quarter) const {
    if (quarter >= valuePerQuarter.size() || !valuePerQuarter[quarter]) return "";
    return wholeMoneyText(*valuePerQuarter[quarter]);
}

std::string teamName(const std::string& file) {
    std::string name = std::filesystem::path(file).filename().string();
    if (name.size() > 4 && store::lowerAscii(name.substr(name.size() - 4)) == ".mdb")
        name.resize(name.size() - 4);
    return name;
}

League readLeague(const std::vector<std::string>& files) {
    League league;
    league.teams.reserve(files.size());
    for (const auto& f : files) league.teams.push_back(readTeam(f));
    return league;
}

League readServerLeague(const std::string& connectionString) {
    store::ClassServer server(connectionString, store::Access::Read);
    // Every team of the class from one state of the server.
    store::Snapshot snapshot(server.connection());
    server.requireClass();
    League league;
    for (const auto& name : server.teamNames()) {
        LeagueTeam team;
        team.file = name;
        team.team = name;
        try {
            server.useTeam(name);
            readGame(server.connection(), team);
        } catch (const store::StoreError& e) {
            // A team's game that cannot be read is that team's; a server
            // that is gone is everyone's.
            if (e.cause() == store::StoreCause::ServerGone) throw;
            team.reason = e.what();
        }
        league.teams.push_back(std::move(team));
    }
    return league;
}

std::vector<std::size_t> League::ranking(LeagueOrder order) const {
    std::vector<std::size_t> ranked;
    for (std::size_t i = 0; i < teams.size(); ++i)
        if (teams[i].ranked) ranked.push_back(i);
    const auto value = [&](std::size_t i) {
        return order == LeagueOrder::RunningTotal ? teams[i].runningTotal : teams[i].averageValue;
    };
    // Names compare in ASCII case-folded byte order, the same in every
    // locale; the index keeps two listings of one file in a fixed order.
    std::stable_sort(ranked.begin(), ranked.end(), [&](std::size_t a, std::size_t b) {
        if (value(a) != value(b)) return value(a) > value(b);
        const auto key = [&](std::size_t i) {
            return std::make_tuple(store::lowerAscii(teams[i].team), teams[i].team, teams[i].file);
        };
        return key(a) < key(b);
    });
    return ranked;
}

int League::rankOf(std::size_t index, LeagueOrder order) const {
    const auto r = ranking(order);
    const auto it = std::find(r.begin(), r.end(), index);
    return it == r.end() ? 0 : static_cast<int>(it - r.begin()) + 1;
}

std::size_t League::rankedCount() const {
    return static_cast<std::size_t>(
        std::count_if(teams.begin(), teams.end(), [](const LeagueTeam& t) { return t.ranked; }));
}

int League::mostQuarters() const {
    int most = 0;
    for (const auto& t : teams)
        if (t.ranked) most = std::max(most, t.quarters);
    return most;
}

LeagueChart leagueChart(const League& league) {
    LeagueChart chart;
    chart.title = " Plan Game Value of Every Team ";
    chart.xTitle = "PLAN-QUARTER";
    chart.yTitle = "PLAN GAME VALUE";
    const int rows = league.mostQuarters();
    for (int i = 1; i <= rows; ++i) {
        std::string label(1, ' ');
        label += std::to_string(i);
        chart.rowLabels.push_back(std::move(label));
    }
    for (std::size_t index : league.ranking(LeagueOrder::RunningTotal)) {
        const LeagueTeam& team = league.teams[index];
        chart.seriesNames.push_back(team.team);
        std::vector<std::string> values;
        for (int i = 0; i < rows; ++i) {
            const auto k = static_cast<std::size_t>(i);
            values.push_back(k < team.valuePerQuarter.size() && team.valuePerQuarter[k]
                                 ? store::numberText(*team.valuePerQuarter[k])
                                 : std::string());
        }
        chart.values.push_back(std::move(values));
    }
    return chart;
}

}  // namespace tessaro::model
