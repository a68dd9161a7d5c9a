// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What a chart shows, in words, for those who hear the windows read out
// rather than see them: screen readers announce a chart by its title and
// read this as its description.
#pragma once

#include <QString>

namespace tessaro::ui {

class MSChart;

// The series with their values: each value with its row label where the
// rows are few (the board's ten indicators), otherwise the span of row
// labels, the last value with its label, the lowest and the highest. Values
// are read as the chart was given them, so they read the same as drawn in
// every locale. The axis titles come first where there are any.
QString describeChart(const MSChart& chart);

}  // namespace tessaro::ui
