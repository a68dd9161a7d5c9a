// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/chartreading.h"

#include <QStringList>
#include <optional>

#include "ui/components/mschart.h"

namespace tessaro::ui {
namespace {

// Up to this many rows every value is read out with its label.
constexpr int kRowsReadOneByOne = 12;

QString label(const MSChart& chart, int row) {
    return chart.rowLabel(row).remove(QChar(0x200B)).simplified();
}

QString valueText(const MSChart& chart, int row, int column) {
    return chart.dataText(row, column).trimmed();
}

QString everyValue(const MSChart& chart, int column) {
    QStringList parts;
    for (int r = 1; r <= chart.rowCount(); ++r) {
        if (!chart.value(r, column)) continue;
        parts.append(QString("%1 %2").arg(label(chart, r), valueText(chart, r, column)));
    }
    return parts.isEmpty() ? QStringLiteral("no values") : parts.join(", ");
}

QString summary(const MSChart& chart, int column) {
    std::optional<int> last, lowest, highest;
    int count = 0;
    for (int r = 1; r <= chart.rowCount(); ++r) {
        const auto v = chart.value(r, column);
        if (!v) continue;
        ++count;
        last = r;
        if (!lowest || *v < *chart.value(*lowest, column)) lowest = r;
        if (!highest || *v > *chart.value(*highest, column)) highest = r;
    }
    if (!last) return QStringLiteral("no values");
    return QString("%1 values from %2 to %3; last %4 at %5; lowest %6 at %7; highest %8 at %9")
        .arg(count)
        .arg(label(chart, 1), label(chart, chart.rowCount()), valueText(chart, *last, column),
             label(chart, *last), valueText(chart, *lowest, column), label(chart, *lowest),
             valueText(chart, *highest, column), label(chart, *highest));
}

}  // namespace

QString describeChart(const MSChart& chart) {
    QStringList parts;
    const QString y = chart.axisTitle(Axis::Y).simplified();
    const QString x = chart.axisTitle(Axis::X).simplified();
    if (!y.isEmpty() && !x.isEmpty())
        parts.append(QString("%1 by %2").arg(y, x));
    else if (!y.isEmpty() || !x.isEmpty())
        parts.append(y + x);
    const bool named = chart.columnCount() > 1;
    for (int c = 1; c <= chart.columnCount(); ++c) {
        const QString values =
            chart.rowCount() <= kRowsReadOneByOne ? everyValue(chart, c) : summary(chart, c);
        const QString name = chart.columnLabel(c).simplified();
        parts.append(named && !name.isEmpty() ? name + ": " + values : values);
    }
    return parts.join(". ") + '.';
}

}  // namespace tessaro::ui
