// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The quarter axis of long games: every label drawn whole and apart, thinned
// evenly where they do not all fit, the first and the last always drawn.
#include "ui/components/axislabels.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <algorithm>
#include <cmath>

#include "ui/components/mschart.h"

namespace tessaro::ui {
namespace {

TEST(LabelsToDraw, allWhereTheyFitAndAnEvenSelectionWithBothEndsWhereNot) {
    const std::vector<int> all = labelsToDraw(5, 20, 20);
    EXPECT_EQ(all, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(labelsToDraw(0, 10, 30).empty());
    EXPECT_EQ(labelsToDraw(1, 1, 30), (std::vector<int>{0}));

    for (int count : {2, 3, 35, 59, 60, 200}) {
        for (double extent : {11.0, 13.5, 25.0, 40.0, 97.0}) {
            const double pitch = 10;
            SCOPED_TRACE(testing::Message() << count << " labels, extent " << extent);
            const std::vector<int> drawn = labelsToDraw(count, pitch, extent);
            ASSERT_FALSE(drawn.empty());
            EXPECT_EQ(drawn.back(), count - 1);
            if (drawn.size() > 1) {
                EXPECT_EQ(drawn.front(), 0);
            }
            int narrowest = count, widest = 0;
            for (std::size_t i = 1; i < drawn.size(); ++i) {
                const int gap = drawn[i] - drawn[i - 1];
                EXPECT_GE(gap * pitch, extent);
                narrowest = std::min(narrowest, gap);
                widest = std::max(widest, gap);
            }
            // Even: the steps differ by one place at most.
            if (drawn.size() > 1) {
                EXPECT_LE(widest - narrowest, 1);
            }
            // Not thinner than needed: one more label would not fit.
            if (drawn.size() > 1 && drawn.size() < std::size_t(count)) {
                const int needed = static_cast<int>(std::ceil(extent / pitch - 1e-9));
                EXPECT_LT(int(drawn.size()) * needed, count + needed);
            }
        }
    }
}

// The X axis labels a reader sees, with their boxes in the scene: visible
// and not transparent, of whichever kind of text item draws them.
std::vector<std::pair<int, QRectF>> quarterLabels(QChart* chart, int count) {
    std::vector<std::pair<int, QRectF>> out;
    for (QGraphicsItem* item : chart->scene()->items()) {
        if (!item->isVisible()) continue;
        QString text;
        if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item)) {
            if (rich->defaultTextColor().alpha() == 0) continue;
            text = rich->toPlainText();
        } else if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item)) {
            if (simple->brush().color().alpha() == 0) continue;
            text = simple->text();
        } else {
            continue;
        }
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        const QRectF box = item->sceneBoundingRect();
        if (!ok || n < 1 || n > count || box.top() < chart->plotArea().bottom()) continue;
        out.emplace_back(n, box);
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.second.left() < b.second.left(); });
    return out;
}

TEST(QuarterAxis, longGamesKeepTheirFirstAndLastQuarterWithLabelsWholeAndApart) {
    // The plot windows' chart on an 800 x 600 and a 1920 x 1080 screen, its
    // fonts zoomed as the window's are.
    const struct {
        QSize size;
        float x, y;
    } screens[] = {{{540, 330}, 1, 1}, {{1346, 740}, 2.4f, 1.8f}};
    for (const auto& screen : screens) {
        for (int points : {35, 59}) {
            SCOPED_TRACE(testing::Message() << screen.size.width() << " wide, " << points);
            MSChart chart;
            chart.resize(screen.size);
            chart.scaleContent(screen.x, screen.y, (screen.x + screen.y) / 2);
            chart.setAxisLabelFont(Axis::X, 8, true, QColor(148, 0, 211));
            chart.setChartType(ChartType::Line2d);
            chart.setRowCount(points);
            chart.setColumnCount(1);
            for (int r = 1; r <= points; ++r) {
                chart.setRow(r);
                chart.setRowLabel(" " + QString::number(r));
                chart.setData(QString::number(500 + r));
            }
            chart.picture();
            const auto labels = quarterLabels(chart.chart(), points);
            ASSERT_GE(labels.size(), 2u);
            EXPECT_EQ(labels.front().first, 1);
            EXPECT_EQ(labels.back().first, points);
            const QRectF whole(QPointF(0, 0), QSizeF(screen.size));
            for (std::size_t i = 0; i < labels.size(); ++i) {
                EXPECT_TRUE(whole.contains(labels[i].second))
                    << labels[i].first << " at " << labels[i].second.left() << ","
                    << labels[i].second.top() << " " << labels[i].second.width() << "x"
                    << labels[i].second.height();
                if (i > 0) {
                    EXPECT_LE(labels[i - 1].second.right(), labels[i].second.left())
                        << labels[i - 1].first << " runs into " << labels[i].first;
                    EXPECT_GT(labels[i].first, labels[i - 1].first);
                }
            }
        }
    }
}

TEST(ChartReadOut, namedByItsTitleAndDescribedByItsLatestValuesAsTheyChange) {
    MSChart chart;
    chart.resize(540, 330);
    chart.setTitleText("  Plan Game Value ");
    chart.setAxisTitle(Axis::X, "Plan-Quarter");
    chart.setAxisTitle(Axis::Y, "Value");
    chart.setChartType(ChartType::Line2d);
    chart.setRowCount(40);
    chart.setColumnCount(1);
    for (int r = 1; r <= 40; ++r) {
        chart.setRow(r);
        chart.setRowLabel(" " + QString::number(r));
        chart.setData(QString::number(r == 7 ? -3 : 100 + r));
    }
    chart.refresh();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&chart);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->role(), QAccessible::Chart);
    EXPECT_EQ(face->text(QAccessible::Name), "Plan Game Value");
    const QString said = face->text(QAccessible::Description);
    EXPECT_TRUE(said.startsWith("Value by Plan-Quarter")) << said.toStdString();
    EXPECT_TRUE(said.contains("last 140 at 40")) << said.toStdString();
    EXPECT_TRUE(said.contains("lowest -3 at 7")) << said.toStdString();

    chart.setRow(40);
    chart.setData("576");
    chart.refresh();
    EXPECT_TRUE(face->text(QAccessible::Description).contains("last 576 at 40"));
    EXPECT_TRUE(face->text(QAccessible::Description).contains("highest 576 at 40"));
}

}  // namespace
}  // namespace tessaro::ui
