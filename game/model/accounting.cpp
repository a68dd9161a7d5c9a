// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/accounting.h"

#include <cmath>
#include <vector>

#include "model/module1.h"
#include "model/rounding.h"
#include "model/runstopped.h"
#include "store/connection.h"
#include "store/numbertext.h"

namespace tessaro::model {
namespace {

// Prices in thousands of rupees.
constexpr double kHiringPrice = 100;           // per trainee hired
constexpr double kQuittingPrice = 100;         // per person quitting
constexpr double kExperiencedSalary = 60;      // per person on average over the quarter
constexpr double kTraineeSalary = 30;          // per trainee on average over the quarter
constexpr double kFixedProductionCost = 4000;  // per quarter
constexpr double kUnitProductionCost = 2500;   // per 1000 units produced
constexpr double kInventoryHolding = 400;      // per 1000 units of average inventory
constexpr double kBacklogCost = 400;           // per 1000 units of average backlog
constexpr double kUnitPrice = 7000;            // per 1000 units filled

constexpr double kLevelDivisor = kStepsIntegrated;  // average over 24 steps
constexpr double kRateDivisor = 1 / kTimeStep;      // 24 steps of 0.125 month

double sumColumn(const store::Value& v, const char* column, int row) {
    const auto n = v.number();
    if (!n)
        throw RunStopped::model("The trace of the quarter has no value in " + std::string(column) +
                                " at step " + std::to_string(row) + ". Nothing was written.");
    return *n;
}

bool allFinite(const QuarterAccounts& a) {
    for (double v :
         {a.averageQuality,   a.averageComplaints, a.averageExperienced, a.averageTrainees,
          a.averageInventory, a.averageBacklog,    a.totalHired,         a.totalQuit,
          a.totalProduced,    a.totalOrdered,      a.totalFilled,        a.earnings,
          a.totalCost,        a.productionCost,    a.backlogCost,        a.inventoryCost,
          a.manpowerCost,     a.hiringCost,        a.quittingCost,       a.experiencedSalaries,
          a.traineeSalaries,  a.gameValue,         a.totalGameValue,     a.averageGameValue})
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

QuarterAccounts priceQuarter(std::int16_t n, const TraceSums& s, double previousTotal) {
    QuarterAccounts a;
    a.planNumber = static_cast<std::int16_t>(n + 1);

    a.hiringCost = roundUpAtHalf(s.ehr / kRateDivisor * kHiringPrice);
    a.quittingCost = roundUpAtHalf(s.eqr / kRateDivisor * kQuittingPrice);
    a.experiencedSalaries = roundUpAtHalf(s.et / kLevelDivisor * kExperiencedSalary);
    a.traineeSalaries = roundUpAtHalf(s.ett / kLevelDivisor * kTraineeSalary);
    a.manpowerCost = a.hiringCost + a.quittingCost + a.experiencedSalaries + a.traineeSalaries;
    a.productionCost =
        kFixedProductionCost + roundUpAtHalf(s.epr / kRateDivisor * kUnitProductionCost / 1000);
    a.inventoryCost = roundUpAtHalf(s.einv / kLevelDivisor * kInventoryHolding / 1000);
    a.backlogCost = roundUpAtHalf(s.eobl / kLevelDivisor * kBacklogCost / 1000);
    a.totalCost = a.backlogCost + a.inventoryCost + a.productionCost + a.manpowerCost;
    a.earnings = roundUpAtHalf(s.eofr / kRateDivisor * kUnitPrice / 1000);
    a.gameValue = a.earnings - a.totalCost;
    a.totalGameValue = a.gameValue + previousTotal;
    a.averageGameValue = roundHalfEven(a.totalGameValue / (n + 1), 0);

    a.averageQuality = roundHalfEven(s.eoq / kLevelDivisor, 2);
    a.averageComplaints = roundHalfEven(s.eoc / kLevelDivisor, 2);
    a.averageExperienced = s.et / kLevelDivisor;
    a.averageTrainees = s.ett / kLevelDivisor;
    a.averageInventory = roundHalfEven(s.einv / kLevelDivisor, 0);
    a.averageBacklog = roundHalfEven(s.eobl / kLevelDivisor, 0);
    a.totalHired = roundHalfEven(s.ehr / kRateDivisor, 0);
    a.totalQuit = roundHalfEven(s.eqr / kRateDivisor, 0);
    a.totalProduced = roundHalfEven(s.epr / kRateDivisor, 0);
    a.totalOrdered = roundHalfEven(s.eor / kRateDivisor, 0);
    a.totalFilled = roundHalfEven(s.eofr / kRateDivisor, 0);
    return a;
}

std::string accountsInsertText(const QuarterAccounts& a) {
    using store::numberText;
    const auto whole = [](double v) { return numberText(roundHalfEven(v, 0)); };
    const std::vector<std::string> values = {std::to_string(a.planNumber),
                                             numberText(a.averageQuality),
                                             numberText(a.averageComplaints),
                                             numberText(a.averageExperienced),
                                             numberText(a.averageTrainees),
                                             numberText(a.averageInventory),
                                             numberText(a.averageBacklog),
                                             numberText(a.totalHired),
                                             numberText(a.totalQuit),
                                             numberText(a.totalProduced),
                                             numberText(a.totalOrdered),
                                             numberText(a.totalFilled),
                                             whole(a.earnings),
                                             whole(a.totalCost),
                                             whole(a.productionCost),
                                             whole(a.backlogCost),
                                             whole(a.inventoryCost),
                                             whole(a.manpowerCost),
                                             whole(a.hiringCost),
                                             whole(a.quittingCost),
                                             whole(a.experiencedSalaries),
                                             whole(a.traineeSalaries),
                                             whole(a.gameValue),
                                             whole(a.totalGameValue),
                                             numberText(a.averageGameValue)};
    std::string text =
        "INSERT INTO PLDI(ZNPLPD,ZOQ,ZOC,ZT,ZTT,ZINV,ZOBL,ZHR,ZQR,ZPR,ZOR,ZOFR,ZTE,ZTC,ZPC,ZOUC,"
        "ZINVC,ZINSC,ZHC,ZQC,ZSC,ZTTC,ZVG,ZTVG,ZCVG) VALUES(";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) text += ", ";
        text += values[i];
    }
    return text + ")";
}

void accountQuarter(store::Connection& db, std::int16_t n, std::vector<std::string>* executed) {
    double previousTotal = 0;
    if (n != 0) {
        auto pldi = db.openRecordset("Select * from PLDI");
        if (pldi.recordCount() == 0)
            throw RunStopped({"No Data In PLDI Table!!!", kSdRunTitle, Icon::Critical});
        pldi.moveLast();
        const auto total = pldi["ZTVG"].number();
        if (!total || !std::isfinite(*total))
            throw RunStopped::model(
                "The running total of the value of the game (ZTVG) of the last quarter is "
                "empty or not a number. Nothing was written.");
        previousTotal = *total;
    }

    auto pled = db.openRecordset("Select * from PLED");
    if (pled.recordCount() == 0)
        throw RunStopped({"No Data In PLED Table!!!", kSdRunTitle, Icon::Critical});
    TraceSums s;
    for (int row = 1; row <= kStepsIntegrated; ++row) {
        if (pled.eof())
            throw RunStopped::model("The trace of the quarter holds only " +
                                    std::to_string(row - 1) + " of the " +
                                    std::to_string(kStepsIntegrated) +
                                    " steps the accounting needs. Nothing was written.");
        s.et += sumColumn(pled["ET"], "ET", row);
        s.ett += sumColumn(pled["ETT"], "ETT", row);
        s.eoq += sumColumn(pled["EOQ"], "EOQ", row);
        s.eoc += sumColumn(pled["EOC"], "EOC", row);
        s.einv += sumColumn(pled["EINV"], "EINV", row);
        s.eobl += sumColumn(pled["EOBL"], "EOBL", row);
        s.ehr += sumColumn(pled["EHR"], "EHR", row);
        s.eqr += sumColumn(pled["EQR"], "EQR", row);
        s.epr += sumColumn(pled["EPR"], "EPR", row);
        s.eor += sumColumn(pled["EOR"], "EOR", row);
        s.eofr += sumColumn(pled["EOFR"], "EOFR", row);
        pled.moveNext();
    }
    // A trace of numbers near the largest a double holds sums beyond it; such
    // a quarter cannot be priced, and its row would not be a number.
    const QuarterAccounts accounts = priceQuarter(n, s, previousTotal);
    if (!allFinite(accounts))
        throw RunStopped::model(
            "The quarter cannot be priced: its earnings or costs grew beyond what can be "
            "computed. Nothing was written.");
    const std::string insert = accountsInsertText(accounts);
    db.execute(insert);
    if (executed) executed->push_back(insert);
}

}  // namespace tessaro::model
