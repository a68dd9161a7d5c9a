// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <utility>

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

// Where a waterfall's parts go: the plot area inside the frame, the value
// range and its ticks, and the fonts of the labels.
struct WaterfallFrame {
    QFont labelFont = font("Arial", 8, true);
    QFont axisFont = font("Arial", 8, true);
    double labelHeight = 0;
    double axisHeight = 0;
    double axisWidth = 0;
    double labelRows = 0;  // room for the bars' names below the plot
    QRectF plot;
    double low = 0, high = 0, tick = 1;  // the ticked range
    double vLow = 0, vHigh = 1;          // the drawn range, with room for values
    double y(double v) const { return plot.bottom() - (v - vLow) / (vHigh - vLow) * plot.height(); }
};

// Draws the title as the plots' titles; returns its box.
QRectF drawWaterfallTitle(QPainter& p, const QRectF& box, const QString& title,
                          QPaintDevice* device) {
    const QFont titleFont = font("Times New Roman", 14, true);
    const QFontMetricsF titleMetrics(titleFont, device);
    const QRectF titleBox(box.left(), box.top() + pt(4), box.width(), titleMetrics.height());
    p.setFont(titleFont);
    p.setPen(kBlack);
    p.drawText(titleBox, Qt::AlignCenter, title);
    return titleBox;
}

WaterfallFrame frameWaterfall(const std::vector<Step>& steps, const QRectF& box,
                              const QRectF& titleBox, QPaintDevice* device) {
    WaterfallFrame f;
    const QFontMetricsF labelMetrics(f.labelFont, device);
    const QFontMetricsF axisMetrics(f.axisFont, device);
    f.labelHeight = labelMetrics.height();
    f.axisHeight = axisMetrics.height();
    for (const Step& s : steps) {
        f.low = std::min({f.low, s.from, s.to});
        f.high = std::max({f.high, s.from, s.to});
    }
    if (f.low == f.high) f.high = f.low + 1;
    f.tick = niceStep(f.high - f.low, 6);
    f.low = std::floor(f.low / f.tick) * f.tick;
    f.high = std::ceil(f.high / f.tick) * f.tick;
    // Room for the value labels above and below the bars.
    const double pad = (f.high - f.low) * 0.08;

    const QString widestTick = whole(std::abs(f.low) > std::abs(f.high) ? f.low : f.high);
    f.axisWidth = axisMetrics.horizontalAdvance(widestTick + "0") + pt(6);
    f.labelRows = 3 * f.labelHeight;
    f.plot = QRectF(box.left() + f.axisWidth + pt(18), titleBox.bottom() + pt(8),
                    box.width() - f.axisWidth - pt(30),
                    box.bottom() - f.labelRows - pt(10) - titleBox.bottom() - pt(8));
    f.vLow = f.low - (f.low < 0 ? pad : 0);
    f.vHigh = f.high + pad;
    return f;
}

// The upright y axis title, then the grid lines with their tick labels.
void drawValueAxis(QPainter& p, const QRectF& box, const WaterfallFrame& f) {
    p.save();
    p.setFont(f.axisFont);
    p.setPen(kBlack);
    p.translate(box.left() + pt(4), f.plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-f.plot.height() / 2, 0, f.plot.height(), f.axisHeight), Qt::AlignCenter,
               "Values in 1000 Rs.");
    p.restore();

    p.setFont(f.axisFont);
    for (double v = f.low; v <= f.high + f.tick / 2; v += f.tick) {
        const double yy = f.y(v);
        p.setPen(QPen(v == 0 ? kBlack : kGrid, pt(v == 0 ? 0.8 : 0.5)));
        p.drawLine(QPointF(f.plot.left(), yy), QPointF(f.plot.right(), yy));
        p.setPen(kAxisLabels);
        p.drawText(QRectF(f.plot.left() - f.axisWidth - pt(3), yy - f.axisHeight / 2, f.axisWidth,
                          f.axisHeight),
                   Qt::AlignRight | Qt::AlignVCenter, whole(std::abs(v) < f.tick / 2 ? 0 : v));
    }
}

// The bars, each joined to the next by a thin line at its level, with its
// value and its name.
void drawBars(QPainter& p, const std::vector<Step>& steps, const WaterfallFrame& f,
              QPaintDevice* device) {
    const double slot = f.plot.width() / static_cast<double>(steps.size());
    const double barWidth = slot * 0.62;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const double x = f.plot.left() + slot * static_cast<double>(i) + (slot - barWidth) / 2;
        const double top = f.y(std::max(s.from, s.to));
        const double bottom = f.y(std::min(s.from, s.to));
        QPainterPath bar;
        bar.addRect(QRectF(x, top, barWidth, std::max(bottom - top, pt(0.6))));
        p.fillPath(bar, s.colour);
        if (i + 1 < steps.size()) {
            p.setPen(QPen(kRule, pt(0.5), Qt::DashLine));
            p.drawLine(QPointF(x + barWidth, f.y(s.to)), QPointF(x + slot, f.y(s.to)));
        }
        // The value above a bar that rises, below one that falls.
        const bool falls = s.to < s.from;
        p.setFont(f.labelFont);
        p.setPen(s.colour == kRed ? kRed : kBlack);
        const double lh = f.labelHeight;
        const QRectF valueBox(x - slot * 0.2, falls ? bottom + pt(1) : top - lh - pt(1),
                              barWidth + slot * 0.4, lh);
        p.drawText(valueBox, Qt::AlignCenter, s.valueText);
        // The bar's name below the plot, on up to three lines.
        const FittedText name = fitText(s.label, f.labelFont, slot - pt(2), device);
        drawFitted(p,
                   QRectF(x - (slot - barWidth) / 2 + pt(1), f.plot.bottom() + pt(4), slot - pt(2),
                          f.labelRows),
                   name, Qt::AlignHCenter | Qt::AlignTop, kBlack);
    }
}

}  // namespace

Paint waterfallPaint(std::vector<Step> steps, QString title, QPaintDevice* device) {
    return [steps = std::move(steps), title = std::move(title), device](QPainter& p,
                                                                        const QRectF& box) {
        p.setPen(QPen(kRule, pt(0.5)));
        p.setBrush(kWhite);
        p.drawRect(box);
        const QRectF titleBox = drawWaterfallTitle(p, box, title, device);
        const WaterfallFrame frame = frameWaterfall(steps, box, titleBox, device);
        drawValueAxis(p, box, frame);
        drawBars(p, steps, frame, device);
        p.setPen(QPen(kBlack, pt(0.8)));
        p.drawLine(frame.plot.bottomLeft(), frame.plot.topLeft());
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
