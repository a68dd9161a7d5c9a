// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/mschart.h"

#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

// Readable failures: QString as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro::ui {
namespace {

const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGreen(0, 255, 0);

// A scatter series is a line series' sibling, not a kind of it, so the cast
// tells them apart.
template <typename T>
QList<T*> seriesOf(QChart* chart) {
    QList<T*> result;
    for (QAbstractSeries* s : chart->series())
        if (auto* t = qobject_cast<T*>(s)) result.append(t);
    return result;
}

QBarCategoryAxis* xAxis(QChart* chart) {
    return qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
}

QValueAxis* yAxis(QChart* chart) {
    return qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
}

int pixelsOf(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color.rgb();
    return n;
}

// The X axis's labels with their line breaks read as blanks.
QStringList onOneLine(QStringList labels) {
    for (QString& label : labels) label.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    return labels;
}

QStringList visibleLegendNames(QChart* chart) {
    QStringList names;
    for (QLegendMarker* m : chart->legend()->markers())
        if (m->isVisible()) names.append(m->label());
    return names;
}

// A one-column line chart filled the way the plot windows do it: labels
// " 1", " 2", … first, then the values; an empty optional is an empty cell.
void fillLine(MSChart& chart, const std::vector<std::optional<double>>& values) {
    const int n = static_cast<int>(values.size());
    chart.setChartType(ChartType::Line2d);
    chart.setAutoMarkers(false);
    chart.setPointMarker(1, MarkerStyle::FilledCircle, true, kGreen);
    chart.setColumnCount(1);
    chart.setRowCount(n);
    chart.setColumnLabel("red");
    for (int r = 1; r <= n; ++r) {
        chart.setRow(r);
        chart.setRowLabel(" " + QString::number(r));
    }
    for (int r = 1; r <= n; ++r) {
        chart.setRow(r);
        const auto& v = values[static_cast<std::size_t>(r - 1)];
        chart.setData(v ? QString::number(*v) : QString());
    }
}

// ---- the data grid ----

TEST(MSChartData, startsEmptyWithAWhitePlotAndNoTitle) {
    MSChart chart;
    EXPECT_EQ(chart.chartType(), ChartType::Bar2d);
    EXPECT_GE(chart.columnCount(), 2);  // the main window names two series before its counts
    EXPECT_EQ(chart.row(), 1);
    EXPECT_EQ(chart.column(), 1);
    for (int r = 1; r <= chart.rowCount(); ++r)
        for (int c = 1; c <= chart.columnCount(); ++c) EXPECT_FALSE(chart.value(r, c));
    EXPECT_TRUE(chart.chart()->title().isEmpty());
    EXPECT_EQ(chart.chart()->plotAreaBackgroundBrush().color(), QColor(Qt::white));
    EXPECT_TRUE(chart.chart()->isPlotAreaBackgroundVisible());
}

TEST(MSChartData, labelsAndValuesLandInTheSelectedCell) {
    MSChart chart;
    chart.setRowCount(4);
    chart.setColumnCount(3);
    for (int c = 1; c <= 3; ++c) {
        chart.setColumn(c);
        chart.setColumnLabel(QString("series %1").arg(c));
    }
    for (int r = 1; r <= 4; ++r) {
        chart.setRow(r);
        chart.setRowLabel(QString("row %1").arg(r));
    }
    // Cells visited out of order, so that a value landing in the wrong cell
    // cannot go unnoticed.
    for (int c = 3; c >= 1; --c) {
        chart.setColumn(c);
        for (int r = 4; r >= 1; --r) {
            chart.setRow(r);
            chart.setData(QString::number(r * 10 + c) + ".5");
        }
    }
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(chart.rowLabel(r), QString("row %1").arg(r));
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(chart.value(r, c), r * 10 + c + 0.5) << r << "," << c;
            EXPECT_EQ(chart.dataText(r, c), QString::number(r * 10 + c) + ".5");
        }
    }
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(chart.columnLabel(c), QString("series %1").arg(c));
}

TEST(MSChartData, valueTextIsKeptAsGivenAndReadAsANumberWhenItIsOne) {
    MSChart chart;
    const QStringList texts{"94.53125", "-350", "1E-05", " 12 ", "0", "abc", "nan", "inf", "1,5"};
    const std::vector<std::optional<double>> values{94.53125, -350, 0.00001, 12, 0};
    chart.setRowCount(static_cast<int>(texts.size()));
    for (int r = 1; r <= texts.size(); ++r) {
        chart.setRow(r);
        chart.setData(texts[r - 1]);
    }
    for (int r = 1; r <= texts.size(); ++r) {
        EXPECT_EQ(chart.dataText(r, 1), texts[r - 1]);
        const auto i = static_cast<std::size_t>(r - 1);
        EXPECT_EQ(chart.value(r, 1), i < values.size() ? values[i] : std::nullopt) << r;
    }
    chart.setRow(1);
    chart.setData("");
    EXPECT_FALSE(chart.value(1, 1));
    EXPECT_TRUE(chart.dataText(1, 1).isEmpty());
    EXPECT_NE(yAxis(chart.chart()), nullptr);
}

TEST(MSChartData, cellsOutsideTheGridAreIgnoredAndShrinkingDropsThem) {
    MSChart chart;
    chart.setRowCount(3);
    chart.setColumnCount(2);
    chart.setRow(2);
    chart.setColumn(1);
    for (int bad : {0, -1, 4}) chart.setRow(bad);
    for (int bad : {0, -1, 3}) chart.setColumn(bad);
    chart.setData("7");
    EXPECT_EQ(chart.value(2, 1), 7.0);
    for (int bad : {0, -4, MSChart::kMaxCount + 1}) {
        chart.setRowCount(bad);
        chart.setColumnCount(bad);
        chart.setSeriesFill(bad, kMaroon);
        chart.setPointMarker(bad, MarkerStyle::FilledCircle, true, kGreen);
        EXPECT_FALSE(chart.seriesFill(bad).isValid());
        EXPECT_EQ(chart.pointMarkerStyle(bad), MarkerStyle::None);
    }
    EXPECT_EQ(chart.rowCount(), 3);
    EXPECT_EQ(chart.columnCount(), 2);
    EXPECT_TRUE(chart.rowLabel(0).isEmpty());
    EXPECT_FALSE(chart.value(1, 3));

    chart.setRow(3);
    chart.setData("8");
    chart.setColumn(2);
    chart.setRowLabel("last");
    chart.setData("9");
    chart.setRowCount(2);
    chart.setColumnCount(1);
    EXPECT_EQ(chart.row(), 2);
    EXPECT_EQ(chart.column(), 1);
    chart.setRowCount(3);
    chart.setColumnCount(2);
    EXPECT_FALSE(chart.value(3, 1));
    EXPECT_FALSE(chart.value(3, 2));
    EXPECT_TRUE(chart.rowLabel(3).isEmpty());
    EXPECT_EQ(chart.value(2, 1), 7.0);
}

TEST(MSChartData, seriesAreStyledAndNamedBeforeTheCountsAreSet) {
    // The main window's order: fills and legend names, then the counts.
    MSChart chart;
    chart.setSeriesFill(1, kMaroon);
    chart.setSeriesFill(2, kNavy);
    chart.setColumn(1);
    chart.setColumnLabel("Before Plan");
    chart.setColumn(2);
    chart.setColumnLabel("After Plan");
    chart.setRowCount(10);
    chart.setColumnCount(2);
    EXPECT_EQ(chart.columnLabel(1), "Before Plan");
    EXPECT_EQ(chart.columnLabel(2), "After Plan");
    // The look stays with the column through a shrink and a regrowth.
    chart.setColumnCount(1);
    chart.setColumnCount(2);
    EXPECT_EQ(chart.seriesFill(1), kMaroon);
    EXPECT_EQ(chart.seriesFill(2), kNavy);
    EXPECT_TRUE(chart.columnLabel(2).isEmpty());
}

// ---- bars side by side ----

class MSChartBars : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(640, 420);
        chart.setSeriesFill(1, kMaroon);
        chart.setSeriesFill(2, kNavy);
        chart.setLegendVisible(true);
        chart.setRowCount(10);
        chart.setColumnCount(2);
        chart.setColumn(1);
        chart.setColumnLabel("Before Plan");
        chart.setColumn(2);
        chart.setColumnLabel("After Plan");
        for (int r = 1; r <= 10; ++r) {
            labels.append(QString("Indicator %1").arg(r));
            chart.setRow(r);
            chart.setRowLabel(labels.back());
        }
        for (int r = 1; r <= 10; ++r) {
            chart.setRow(r);
            for (int c = 1; c <= 2; ++c) {
                chart.setColumn(c);
                chart.setData(QString::number(values[c - 1][r - 1]));
            }
        }
    }

    MSChart chart;
    QStringList labels;
    const double values[2][10] = {{100, 50, 120, 80, 95, 60, 100, 100, 0, -25},
                                  {110, 70, 90, 130, 40, 75, 120, 90, 35, 15}};
};

TEST_F(MSChartBars, oneBarSetPerColumnOverTheRowLabels) {
    QChart* c = chart.chart();
    const auto bars = seriesOf<QBarSeries>(c);
    ASSERT_EQ(bars.size(), 1);
    const auto sets = bars.first()->barSets();
    ASSERT_EQ(sets.size(), 2);
    const QColor fills[2] = {kMaroon, kNavy};
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(sets[s]->color(), fills[s]);
        ASSERT_EQ(sets[s]->count(), 10);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(sets[s]->at(i), values[s][i]);
    }
    EXPECT_EQ(onOneLine(xAxis(c)->categories()), labels);
    EXPECT_EQ(visibleLegendNames(c), (QStringList{"Before Plan", "After Plan"}));
    // Every bar, the one pointing down included, and zero are in range.
    EXPECT_LE(yAxis(c)->min(), -25);
    EXPECT_GE(yAxis(c)->max(), 130);

    chart.setRow(4);
    chart.setColumn(1);
    chart.setData("");  // no value: no bar
    EXPECT_EQ(seriesOf<QBarSeries>(chart.chart()).first()->barSets()[0]->at(3), 0);
}

TEST_F(MSChartBars, repeatedLabelsStillGiveOneCategoryPerRow) {
    for (int r : {2, 3, 4}) {
        chart.setRow(r);
        chart.setRowLabel(r == 2 ? labels[0] : "");
    }
    QStringList categories = onOneLine(xAxis(chart.chart())->categories());
    ASSERT_EQ(categories.size(), 10);
    // What shows is the label itself: the padding that keeps equal labels
    // apart is invisible.
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(QString(categories[r - 1]).remove(QChar(0x200B)), chart.rowLabel(r));
    EXPECT_EQ(categories.removeDuplicates(), 0);
}

TEST_F(MSChartBars, pictureShowsTheBarsInTheirFillsOnAWhitePlot) {
    QImage picture = chart.picture();
    ASSERT_EQ(picture.size(), chart.size());
    const QRectF plot = chart.chart()->plotArea();
    ASSERT_TRUE(QRectF(picture.rect()).contains(plot));
    EXPECT_EQ(picture.pixelColor(plot.topLeft().toPoint() + QPoint(3, 3)), QColor(Qt::white));
    // Row 1 holds 100 and 110: half-way up to 100 the first half of its
    // category is the first series' bar, the second half the second's.
    auto* series = seriesOf<QBarSeries>(chart.chart()).first();
    const double midY = chart.chart()->mapToPosition(QPointF(0, 50), series).y();
    const double category = plot.width() / 10;
    EXPECT_EQ(picture.pixelColor(QPointF(plot.left() + category * 0.4, midY).toPoint()), kMaroon);
    EXPECT_EQ(picture.pixelColor(QPointF(plot.left() + category * 0.6, midY).toPoint()), kNavy);

    chart.setSeriesFill(1, kGreen);
    picture = chart.picture();
    EXPECT_EQ(pixelsOf(picture, kMaroon), 0);
    EXPECT_GT(pixelsOf(picture, kGreen), 100);
}

TEST_F(MSChartBars, changesAreDrawnWithoutAnExplicitRefresh) {
    // The view's chart is not brought up to date the way chart() is: only
    // the event loop can have done it.
    auto* view = chart.findChild<QChartView*>();
    ASSERT_NE(view, nullptr);
    chart.setRow(1);
    chart.setColumn(2);
    chart.setData("555");
    QCoreApplication::processEvents();
    const auto bars = seriesOf<QBarSeries>(view->chart());
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars.first()->barSets()[1]->at(0), 555);
    EXPECT_GE(yAxis(view->chart())->max(), 555);
}

// ---- marked lines ----

TEST(MSChartLines, onePointPerRowLabelledOnTheXAxisWithFilledMarkers) {
    MSChart chart;
    std::vector<std::optional<double>> values;
    QStringList labels;
    QList<QPointF> points;
    for (int i = 0; i < 25; ++i) {
        values.push_back(i * 3.25 - 16.75);  // negative at first
        labels.append(" " + QString::number(i + 1));
        points.append(QPointF(i, i * 3.25 - 16.75));
    }
    fillLine(chart, values);
    QChart* c = chart.chart();
    const auto lines = seriesOf<QLineSeries>(c);
    const auto markers = seriesOf<QScatterSeries>(c);
    ASSERT_EQ(lines.size(), 1);
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(lines.first()->points(), points);
    EXPECT_EQ(markers.first()->points(), points);
    EXPECT_EQ(lines.first()->name(), "red");
    EXPECT_EQ(markers.first()->color(), kGreen);
    EXPECT_EQ(markers.first()->markerShape(), QScatterSeries::MarkerShapeCircle);
    EXPECT_EQ(xAxis(c)->categories(), labels);
    EXPECT_LE(yAxis(c)->min(), -16.75);
    EXPECT_GE(yAxis(c)->max(), 24 * 3.25 - 16.75);
}

TEST(MSChartLines, aRowWithoutValueHasNoPointAndBreaksTheLine) {
    MSChart chart;
    chart.setLegendVisible(true);
    fillLine(chart, {4, 5, std::nullopt, 7, 8});
    QChart* c = chart.chart();
    EXPECT_EQ(seriesOf<QScatterSeries>(c).value(0)->points(),
              (QList<QPointF>{{0, 4}, {1, 5}, {3, 7}, {4, 8}}));
    const auto lines = seriesOf<QLineSeries>(c);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0]->points(), (QList<QPointF>{{0, 4}, {1, 5}}));
    EXPECT_EQ(lines[1]->points(), (QList<QPointF>{{3, 7}, {4, 8}}));
    EXPECT_EQ(lines[0]->color(), lines[1]->color());
    EXPECT_EQ(visibleLegendNames(c), QStringList{"red"});
}

TEST(MSChartLines, theLegendStandsWhereItIsPutAndLeavesThePlotItsRoom) {
    MSChart chart;
    chart.resize(600, 300);
    chart.setLegendVisible(true);
    fillLine(chart, {4, 5, 6});
    EXPECT_EQ(chart.legendLocation(), LegendLocation::Top);
    EXPECT_EQ(chart.chart()->legend()->alignment(), Qt::AlignTop);
    const QRectF above = chart.chart()->plotArea();
    chart.setLegendLocation(LegendLocation::Right);
    QChart* c = chart.chart();
    EXPECT_EQ(c->legend()->alignment(), Qt::AlignRight);
    // Beside the plot, the plot is higher and narrower.
    EXPECT_GT(c->plotArea().height(), above.height());
    EXPECT_LT(c->plotArea().width(), above.width());
    EXPECT_GE(c->legend()->geometry().left(), c->plotArea().right());
    chart.setLegendLocation(LegendLocation::Bottom);
    EXPECT_EQ(chart.chart()->legend()->alignment(), Qt::AlignBottom);
}

TEST(MSChartLines, markersFollowTheAutomaticSwitchUnlessAColumnHasItsOwn) {
    MSChart chart;
    chart.setChartType(ChartType::Line2d);
    chart.setRowCount(3);
    chart.setColumnCount(2);
    for (int c = 1; c <= 2; ++c) {
        chart.setColumn(c);
        for (int r = 1; r <= 3; ++r) {
            chart.setRow(r);
            chart.setData(QString::number(r * c));
        }
    }
    EXPECT_EQ(seriesOf<QScatterSeries>(chart.chart()).size(), 2);
    chart.setAutoMarkers(false);
    EXPECT_EQ(seriesOf<QScatterSeries>(chart.chart()).size(), 0);
    chart.setPointMarker(2, MarkerStyle::FilledCircle, true, kMaroon);
    const auto markers = seriesOf<QScatterSeries>(chart.chart());
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(markers.first()->color(), kMaroon);
    EXPECT_EQ(markers.first()->at(2), QPointF(2, 6));
    chart.setPointMarker(2, MarkerStyle::FilledCircle, false, kMaroon);
    EXPECT_EQ(seriesOf<QScatterSeries>(chart.chart()).size(), 0);
}

TEST(MSChartLines, theValueAxisAlwaysHasARangeAndTellsItsTicksApart) {
    MSChart chart;
    fillLine(chart, {42, 42, 42});
    EXPECT_LT(yAxis(chart.chart())->min(), 42);
    EXPECT_GT(yAxis(chart.chart())->max(), 42);
    fillLine(chart, {std::nullopt, std::nullopt});
    EXPECT_LT(yAxis(chart.chart())->min(), yAxis(chart.chart())->max());
    fillLine(chart, {1e300, -1e300, 1e-300});
    EXPECT_FALSE(chart.picture().isNull());

    fillLine(chart, {0.95, 1.0, 1.02, 1.05});
    QValueAxis* y = yAxis(chart.chart());
    ASSERT_GT(y->tickCount(), 1);
    const QByteArray format = y->labelFormat().toLatin1();
    const double step = (y->max() - y->min()) / (y->tickCount() - 1);
    QStringList texts;
    for (int i = 0; i < y->tickCount(); ++i)
        texts.append(QString::asprintf(format.constData(), y->min() + i * step));
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join(' ').toStdString();
}

TEST(MSChartLines, pointNumbersOfALongPlotAreShownWhole) {
    MSChart chart;
    chart.resize(560, 345);
    std::vector<std::optional<double>> values;
    for (int i = 1; i <= 40; ++i) values.push_back(i);
    fillLine(chart, values);
    chart.picture();  // lays the chart out at its size
    EXPECT_FALSE(xAxis(chart.chart())->labelsTruncated());
}

// ---- the picture ----

TEST(MSChartPicture, isTheChartAsShownOnScreen) {
    MSChart chart;
    chart.resize(420, 300);
    fillLine(chart, {3, 1, 4, 1, 5, 9, 2, 6});
    chart.show();
    QCoreApplication::processEvents();
    const QImage onScreen = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = chart.picture();
    EXPECT_TRUE(picture == onScreen);
    EXPECT_TRUE(chart.picture() == picture);  // taking it changes nothing
}

TEST(MSChartPicture, followsTheWidgetsSizeWithEveryMarkerInPlace) {
    MSChart chart;
    fillLine(chart, {10, -40, 25, 60, 5});
    for (QSize size : {QSize(300, 200), QSize(640, 480)}) {
        chart.resize(size);
        const QImage picture = chart.picture();
        EXPECT_EQ(picture.size(), size);
        auto* markers = seriesOf<QScatterSeries>(chart.chart()).first();
        for (const QPointF& p : markers->points()) {
            const QPointF at = chart.chart()->mapToPosition(p, markers);
            EXPECT_TRUE(chart.chart()->plotArea().contains(at)) << p.y();
            EXPECT_EQ(picture.pixelColor(at.toPoint()), kGreen) << p.y();
        }
    }
    chart.resize(0, 0);
    EXPECT_TRUE(chart.picture().isNull());
}

// ---- looks ----

TEST(MSChartLooks, fontsAndColoursReachTheDrawnChart) {
    MSChart chart;
    const QColor violet(148, 0, 211);
    chart.setTitleText(" A title ");
    chart.setTitleFont("Times New Roman", 16, true);
    chart.setAxisTitle(Axis::X, "WEEKS");
    chart.setAxisTitle(Axis::Y, "ORDER BACKLOG");
    for (Axis a : {Axis::X, Axis::Y}) chart.setAxisTitleFont(a, "Times New Roman", 14, true);
    chart.setAxisTitleVertical(Axis::Y, true);
    for (Axis a : {Axis::X, Axis::Y, Axis::Y2}) chart.setAxisLabelFont(a, 11, true, violet);
    chart.setLegendFont("Arial", 14, true, violet);
    chart.setPlotBackdrop(QColor(250, 250, 200));
    EXPECT_TRUE(chart.axisTitleVertical(Axis::Y));
    EXPECT_FALSE(chart.axisTitleVertical(Axis::X));
    EXPECT_EQ(chart.axisLabelColor(Axis::Y2), violet);

    QChart* c = chart.chart();
    EXPECT_EQ(c->title(), " A title ");
    EXPECT_EQ(c->titleFont().family(), "Times New Roman");
    EXPECT_EQ(c->titleFont().pointSizeF(), 16);
    EXPECT_TRUE(c->titleFont().bold());
    EXPECT_EQ(xAxis(c)->titleText(), "WEEKS");
    EXPECT_EQ(yAxis(c)->titleText(), "ORDER BACKLOG");
    for (QAbstractAxis* axis : c->axes()) {
        EXPECT_EQ(axis->titleFont().pointSizeF(), 14);
        EXPECT_EQ(axis->labelsFont().pointSizeF(), 11);
        EXPECT_TRUE(axis->labelsFont().bold());
        EXPECT_EQ(axis->labelsColor(), violet);
    }
    EXPECT_EQ(c->legend()->font().family(), "Arial");
    EXPECT_EQ(c->legend()->labelColor(), violet);
    EXPECT_EQ(c->plotAreaBackgroundBrush().color(), QColor(250, 250, 200));
}

TEST(MSChartLooks, settingsSurviveAChangeOfChartType) {
    MSChart chart;
    chart.setSeriesFill(2, kNavy);
    chart.setAxisTitle(Axis::Y, "VALUE");
    chart.setColumnCount(2);
    chart.setColumn(2);
    chart.setData("3");
    chart.setChartType(ChartType::Line2d);
    const auto lines = seriesOf<QLineSeries>(chart.chart());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1]->color(), kNavy);
    EXPECT_EQ(yAxis(chart.chart())->titleText(), "VALUE");
    chart.setChartType(ChartType::Bar2d);
    EXPECT_TRUE(seriesOf<QLineSeries>(chart.chart()).isEmpty());
    EXPECT_EQ(seriesOf<QBarSeries>(chart.chart()).first()->barSets()[1]->color(), kNavy);
}

// ---- row labels that need more room than they have ----

// The board's ten indicators, as long as they come.
const QStringList kBoardLabels = {"Exp.People",        "Trainee People",      "Prod. Quality",
                                  "Cust. Complaint",   "Prod. Inventory",     "Order Backlog",
                                  "Hiring Decision",   "Production Decision", "Present Game Value",
                                  "Average Game Value"};

// The text items the chart's scene draws, as plain text on one line.
std::vector<std::pair<QString, QRectF>> drawnTexts(QChart* chart) {
    std::vector<std::pair<QString, QRectF>> out;
    for (QGraphicsItem* item : chart->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible()) continue;
        QString plain = text->toPlainText();
        plain.replace(QChar(0x2028), u' ').replace(u'\n', u' ');
        out.emplace_back(plain, text->sceneBoundingRect());
    }
    return out;
}

void fillBars(MSChart& chart, const QStringList& labels) {
    chart.setRowCount(static_cast<int>(labels.size()));
    chart.setColumnCount(2);
    for (int r = 1; r <= chart.rowCount(); ++r) {
        chart.setRow(r);
        chart.setRowLabel(labels[r - 1]);
        for (int c = 1; c <= 2; ++c) {
            chart.setColumn(c);
            chart.setData(QString::number(40 * r + c));
        }
    }
}

TEST(MSChartLabels, longLabelsAreShownWholeOnTwoLinesAtTheBoardsSizes) {
    // The board's chart on an 800 x 600, a 1024 x 768 and a 1920 x 1080
    // screen, its fonts zoomed as the window's are.
    const struct {
        QSize size;
        float x, y;
    } boards[] = {{{561, 345}, 1, 1}, {{718, 442}, 1.28f, 1.28f}, {{1346, 621}, 2.4f, 1.8f}};
    for (const auto& board : boards) {
        SCOPED_TRACE(board.size.width());
        MSChart chart;
        chart.resize(board.size);
        chart.scaleContent(board.x, board.y, (board.x + board.y) / 2);
        chart.setLegendVisible(true);
        chart.setLegendFont("Times New Roman", 14, true, QColor(148, 0, 211));
        for (Axis a : {Axis::X, Axis::Y}) chart.setAxisLabelFont(a, 11, true, QColor(0, 100, 0));
        fillBars(chart, kBoardLabels);
        chart.picture();
        EXPECT_EQ(onOneLine(chart.shownRowLabels()), kBoardLabels);
        EXPECT_FALSE(xAxis(chart.chart())->truncateLabels());
        const auto texts = drawnTexts(chart.chart());
        std::vector<QRectF> labelBoxes;
        for (const auto& [text, box] : texts) {
            EXPECT_FALSE(text.contains(QChar(0x2026)) || text.contains("..."))
                << text.toStdString();
            if (!kBoardLabels.contains(text)) continue;
            EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(board.size)).contains(box))
                << text.toStdString();
            for (const QRectF& other : labelBoxes)
                EXPECT_FALSE(box.intersects(other)) << text.toStdString();
            labelBoxes.push_back(box);
        }
        EXPECT_EQ(labelBoxes.size(), 10u);
        // The plot keeps the greater part of the chart's height.
        EXPECT_GT(chart.chart()->plotArea().height(), board.size.height() / 3);
    }
}

TEST(MSChartLabels, labelsThatFitStayOnOneLineAcross) {
    MSChart chart;
    chart.resize(900, 400);
    fillBars(chart, {"Expop", "Trpop", "Pqlty", "Ccmpl"});
    chart.picture();
    EXPECT_EQ(chart.shownRowLabels(), (QStringList{"Expop", "Trpop", "Pqlty", "Ccmpl"}));
    EXPECT_EQ(xAxis(chart.chart())->labelsAngle(), 0);
    // Two lines where one is too wide but two fit side by side.
    MSChart narrow;
    narrow.resize(250, 400);
    fillBars(narrow, {"Trainee People", "Order Backlog", "Hiring Decision"});
    narrow.picture();
    EXPECT_EQ(narrow.shownRowLabels(),
              (QStringList{"Trainee<br>People", "Order<br>Backlog", "Hiring<br>Decision"}));
    EXPECT_EQ(xAxis(narrow.chart())->labelsAngle(), 0);
}

TEST(MSChartLabels, fontsGrowWithTheWindowWhileTheirSizesReadAsSet) {
    MSChart chart;
    chart.setTitleText("T");
    chart.setTitleFont("Times New Roman", 16, true);
    chart.setAxisTitle(Axis::Y, "Y");
    chart.setAxisTitleFont(Axis::Y, "Times New Roman", 14, true);
    chart.setAxisLabelFont(Axis::X, 11, true, QColor(148, 0, 211));
    chart.setLegendFont("Arial", 14, true, QColor(148, 0, 211));
    chart.scaleContent(2.4f, 1.8f, 2.1f);
    EXPECT_EQ(chart.titleFont().pointSizeF(), 16);
    EXPECT_NEAR(chart.fontZoom(), 2.1, 1e-6);
    QChart* c = chart.chart();
    EXPECT_NEAR(c->titleFont().pointSizeF(), 16 * 2.1, 1e-4);
    EXPECT_NEAR(c->legend()->font().pointSizeF(), 14 * 2.1, 1e-4);
    EXPECT_NEAR(yAxis(c)->titleFont().pointSizeF(), 14 * 2.1, 1e-4);
    EXPECT_NEAR(xAxis(c)->labelsFont().pointSizeF(), 11 * 2.1, 1e-4);
}

}  // namespace
}  // namespace tessaro::ui
