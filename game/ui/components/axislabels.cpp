// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/axislabels.h"

#include <QChart>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <cmath>

namespace tessaro::ui {

std::vector<int> labelsToDraw(int count, double pitch, double extent) {
    std::vector<int> drawn;
    if (count <= 0) return drawn;
    if (count == 1 || extent <= pitch) {
        for (int i = 0; i < count; ++i) drawn.push_back(i);
        return drawn;
    }
    // Every label stands `step` places from the one before it at least; the
    // span from first to last is cut into as many equal parts as fit, and
    // rounding the even positions keeps every part at `step` or more.
    const int step = pitch > 0 ? static_cast<int>(std::ceil(extent / pitch - 1e-9)) : count;
    const int parts = (count - 1) / step;
    if (parts < 1) {
        drawn.push_back(count - 1);
        return drawn;
    }
    for (int i = 0; i <= parts; ++i)
        drawn.push_back(static_cast<int>(std::lround(double(i) * (count - 1) / parts)));
    return drawn;
}

namespace {

// Marks the items placeUprightLabels owns among the chart's children.
constexpr int kOwnerKey = 0;
const char* const kOwner = "tessaro.uprightAxisLabel";
// Between the axis line and the labels' ends, as the chart leaves it.
constexpr double kBelowAxis = 2;

QString plainLines(QString label) {
    label.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    label.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return label;
}

}  // namespace

void placeUprightLabels(QChart* chart, const QStringList& labels, const QFont& font,
                        const QColor& colour, double gap) {
    for (QGraphicsItem* item : chart->childItems())
        if (item->data(kOwnerKey).toString() == QLatin1String(kOwner)) delete item;
    const QRectF plot = chart->plotArea();
    if (labels.isEmpty() || plot.width() <= 0) return;

    const QFontMetricsF metrics(font);
    const double pitch = plot.width() / labels.size();
    double lines = 1;
    for (const QString& label : labels) lines = std::max<double>(lines, label.count("<br>") + 1);
    const double extent = lines * metrics.lineSpacing() + gap;
    for (int i : labelsToDraw(static_cast<int>(labels.size()), pitch, extent)) {
        auto* item = new QGraphicsSimpleTextItem(plainLines(labels[i]), chart);
        item->setData(kOwnerKey, QLatin1String(kOwner));
        item->setFont(font);
        item->setBrush(colour);
        item->setRotation(-90);
        // Turned a quarter to the left, the text's box stands on the point
        // given, its width running upwards: the point is the label's foot.
        const QRectF box = item->boundingRect();
        const double centre = plot.left() + (i + 0.5) * pitch;
        item->setPos(centre - box.height() / 2, plot.bottom() + kBelowAxis + box.width());
    }
}

}  // namespace tessaro::ui
