// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/components/mschart.h"
#include "ui/debrief/pages.h"
#include "ui/windows/plotform.h"

namespace tessaro::ui::debrief {
namespace {

// ---------------------------------------------------------------------------
// The plots: the windows' chart, laid out at the size it takes on the page
// and its scene painted onto the page as vectors.

Paint plotPaint(const model::PlotData& plot) {
    return [plot](QPainter& p, const QRectF& box) {
        if (plot.failure) {
            // The window would show this box and no chart.
            p.setFont(gridFont());
            p.setPen(kBlack);
            p.drawText(box, Qt::AlignCenter,
                       qs(plot.failure->title) + ": " + qs(plot.failure->text));
        } else {
            MSChart chart;
            chart.resize(box.size().toSize());
            layOutPlotChart(chart, plot);
            QChart* qchart = chart.chart();
            const QRectF source(QPointF(0, 0), qchart->size());
            qchart->scene()->render(&p, QRectF(box.topLeft(), source.size()), source);
        }
        p.setPen(QPen(kRule, pt(0.5)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
    };
}

// Tick spacing of 1, 2 or 5 times a power of ten giving about `count` ticks.
double niceStep(double span, int count) {
    if (span <= 0) return 1;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

}  // namespace

Paint waterfallPaint(std::vector<Step> steps, QString title, QPaintDevice* device) {
    return [steps, title, device](QPainter& p, const QRectF& box) {
        p.setPen(QPen(kRule, pt(0.5)));
        p.setBrush(kWhite);
        p.drawRect(box);

        // Title as the plots' titles.
        const QFont titleFont = font("Times New Roman", 14, true);
        const QFontMetricsF titleMetrics(titleFont, device);
        const QRectF titleBox(box.left(), box.top() + pt(4), box.width(), titleMetrics.height());
        p.setFont(titleFont);
        p.setPen(kBlack);
        p.drawText(titleBox, Qt::AlignCenter, title);

        const QFont labelFont = font("Arial", 8, true);
        const QFontMetricsF labelMetrics(labelFont, device);
        const QFont axisFont = font("Arial", 8, true);
        const QFontMetricsF axisMetrics(axisFont, device);

        double low = 0, high = 0;
        for (const Step& s : steps) {
            low = std::min({low, s.from, s.to});
            high = std::max({high, s.from, s.to});
        }
        if (low == high) high = low + 1;
        const double tick = niceStep(high - low, 6);
        low = std::floor(low / tick) * tick;
        high = std::ceil(high / tick) * tick;
        // Room for the value labels above and below the bars.
        const double pad = (high - low) * 0.08;

        const QString widestTick = whole(std::abs(low) > std::abs(high) ? low : high);
        const double axisWidth = axisMetrics.horizontalAdvance(widestTick + "0") + pt(6);
        const double labelRows = 3 * labelMetrics.height();
        const QRectF plot(box.left() + axisWidth + pt(18), titleBox.bottom() + pt(8),
                          box.width() - axisWidth - pt(30),
                          box.bottom() - labelRows - pt(10) - titleBox.bottom() - pt(8));
        const double vLow = low - (low < 0 ? pad : 0);
        const double vHigh = high + pad;
        const auto y = [&](double v) {
            return plot.bottom() - (v - vLow) / (vHigh - vLow) * plot.height();
        };

        // Y axis title, upright, as the plots' "Values in 1000 Rs." would be.
        p.save();
        p.setFont(axisFont);
        p.setPen(kBlack);
        p.translate(box.left() + pt(4), plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), axisMetrics.height()),
                   Qt::AlignCenter, "Values in 1000 Rs.");
        p.restore();

        // Grid lines and tick labels.
        p.setFont(axisFont);
        for (double v = low; v <= high + tick / 2; v += tick) {
            const double yy = y(v);
            p.setPen(QPen(v == 0 ? kBlack : kGrid, pt(v == 0 ? 0.8 : 0.5)));
            p.drawLine(QPointF(plot.left(), yy), QPointF(plot.right(), yy));
            p.setPen(kAxisLabels);
            p.drawText(QRectF(plot.left() - axisWidth - pt(3), yy - axisMetrics.height() / 2,
                              axisWidth, axisMetrics.height()),
                       Qt::AlignRight | Qt::AlignVCenter, whole(std::abs(v) < tick / 2 ? 0 : v));
        }

        // The bars, each joined to the next by a thin line at its level.
        const double slot = plot.width() / static_cast<double>(steps.size());
        const double barWidth = slot * 0.62;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            const double x = plot.left() + slot * static_cast<double>(i) + (slot - barWidth) / 2;
            const double top = y(std::max(s.from, s.to));
            const double bottom = y(std::min(s.from, s.to));
            QPainterPath bar;
            bar.addRect(QRectF(x, top, barWidth, std::max(bottom - top, pt(0.6))));
            p.fillPath(bar, s.colour);
            if (i + 1 < steps.size()) {
                p.setPen(QPen(kRule, pt(0.5), Qt::DashLine));
                p.drawLine(QPointF(x + barWidth, y(s.to)), QPointF(x + slot, y(s.to)));
            }
            // The value above a bar that rises, below one that falls.
            const bool falls = s.to < s.from;
            p.setFont(labelFont);
            p.setPen(s.colour == kRed ? kRed : kBlack);
            const double lh = labelMetrics.height();
            const QRectF valueBox(x - slot * 0.2, falls ? bottom + pt(1) : top - lh - pt(1),
                                  barWidth + slot * 0.4, lh);
            p.drawText(valueBox, Qt::AlignCenter, s.valueText);
            // The bar's name below the plot, on up to three lines.
            const FittedText name = fitText(s.label, labelFont, slot - pt(2), device);
            drawFitted(p,
                       QRectF(x - (slot - barWidth) / 2 + pt(1), plot.bottom() + pt(4),
                              slot - pt(2), labelRows),
                       name, Qt::AlignHCenter | Qt::AlignTop, kBlack);
        }
        p.setPen(QPen(kBlack, pt(0.8)));
        p.drawLine(plot.bottomLeft(), plot.topLeft());
    };
}

void addPlotPages(Pager& pager, const model::DebriefData& data) {
    // Two to a page under the windows' caption.
    const double plotHeight = (pager.contentHeight() - pt(kHeadingHeight) - 2 * pt(kGap)) / 2;
    for (std::size_t i = 0; i < data.plots.size(); ++i) {
        if (i % 2 == 0) {
            pager.newPage();
            const model::PlotData& plot = data.plots[i];
            addHeading(pager, qs(plot.caption.empty() ? "Past Plan Plots" : plot.caption),
                       plotHeight);
        }
        pager.space(pt(kGap));
        pager.add(plotHeight, plotPaint(data.plots[i]));
    }
}

}  // namespace tessaro::ui::debrief
