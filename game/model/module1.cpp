// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "module1.h"

#include <initializer_list>

namespace tessaro::model {
namespace {

void setTable(TableFunction& t, std::initializer_list<double> xs,
              std::initializer_list<double> ys) {
    t = TableFunction{};
    std::int16_t i = 1;
    for (double v : xs) t.x[static_cast<std::size_t>(i++)] = v;
    t.n = static_cast<std::int16_t>(i - 1);
    i = 1;
    for (double v : ys) t.y[static_cast<std::size_t>(i++)] = v;
}

}  // namespace

void fillTables(ModelTables& tables) {
    setTable(tables.qualityFromOutput, {5, 7.5, 10, 12.5, 15, 17.5, 20},
             {1.1, 1.1, 1.0, 0.85, 0.7, 0.6, 0.55});
    setTable(tables.complaintsFromQuality, {0.5, 0.75, 1.0, 1.25}, {4, 2, 1, 0.5});
    setTable(tables.hiringFractionFromComplaints, {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0},
             {0.01, 0.0258, 0.06, 0.1, 0.135, 0.17, 0.185, 0.2});
    setTable(tables.ordersFromQuality, {0, 0.5, 1.0, 1.5}, {0, 500, 1000, 1500});
}

double tableLookup(double x, const TablePoints& xp, const TablePoints& yp, std::int16_t n) {
    if (x <= xp[1]) return yp[1];
    const auto last = static_cast<std::size_t>(n);
    if (x >= xp[last]) return yp[last];
    std::size_t i = 1;
    while (i <= last && !(x < xp[i])) ++i;
    return yp[i - 1] + (x - xp[i - 1]) * (yp[i] - yp[i - 1]) / (xp[i] - xp[i - 1]);
}

double delay3(double input, double& stage1, double& stage2, double output, double delayTime) {
    const double k = 3 * kTimeStep / delayTime;
    stage1 = stage1 + (input - stage1) * k;
    stage2 = stage2 + (stage1 - stage2) * k;
    return output + (stage2 - output) * k;
}

double smooth1(double input, double level, double smoothTime) {
    return level + (input - level) * kTimeStep / smoothTime;
}

}  // namespace tessaro::model
