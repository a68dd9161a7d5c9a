// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Prices the quarter just simulated: earnings from orders filled against the
// costs of backlog, production, inventory and manpower, giving the value of
// the game for the quarter, its running total and its average per quarter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::store {
class Connection;
}

namespace tessaro::model {

// Sums over the first 24 trace rows of the columns the accounting uses.
struct TraceSums {
    double et = 0, ett = 0, eoq = 0, eoc = 0, einv = 0, eobl = 0;
    double ehr = 0, eqr = 0, epr = 0, eor = 0, eofr = 0;
};

// One PLDI row's worth of figures.
struct QuarterAccounts {
    std::int16_t planNumber = 0;                         // ZNPLPD: the starting row's number + 1
    double averageQuality = 0, averageComplaints = 0;    // ZOQ, ZOC
    double averageExperienced = 0, averageTrainees = 0;  // ZT, ZTT
    double averageInventory = 0, averageBacklog = 0;     // ZINV, ZOBL
    double totalHired = 0, totalQuit = 0, totalProduced = 0;         // ZHR, ZQR, ZPR
    double totalOrdered = 0, totalFilled = 0;                        // ZOR, ZOFR
    double earnings = 0, totalCost = 0, productionCost = 0;          // ZTE, ZTC, ZPC
    double backlogCost = 0, inventoryCost = 0, manpowerCost = 0;     // ZOUC, ZINVC, ZINSC
    double hiringCost = 0, quittingCost = 0;                         // ZHC, ZQC
    double experiencedSalaries = 0, traineeSalaries = 0;             // ZSC, ZTTC
    double gameValue = 0, totalGameValue = 0, averageGameValue = 0;  // ZVG, ZTVG, ZCVG
};

// The figures of a quarter started from plan number n, given the sums and
// the running total before it.
QuarterAccounts priceQuarter(std::int16_t n, const TraceSums& sums, double previousTotal);

std::string accountsInsertText(const QuarterAccounts& a);

// Reads the first 24 PLED rows (and, when n is not 0, the last PLDI row's
// running total) and appends the quarter's PLDI row. Throws RunStopped with
// the game's message when PLDI or PLED holds no rows.
// The insert text executed is also appended to `executed` when given.
void accountQuarter(store::Connection& db, std::int16_t n,
                    std::vector<std::string>* executed = nullptr);

}  // namespace tessaro::model
