#include "ui/mschart.h"

#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace tessaro::ui {
namespace {

const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGreen(0, 255, 0);

template <typename T>
QList<T*> seriesOf(QChart* chart) {
    QList<T*> result;
    // A scatter series is a line series' sibling, not a kind of it.
    for (QAbstractSeries* s : chart->series())
        if (auto* t = qobject_cast<T*>(s)) result.append(t);
    return result;
}

QBarCategoryAxis* xAxis(QChart* chart) {
    const auto axes = chart->axes(Qt::Horizontal);
    return axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis*>(axes.first());
}

QValueAxis* yAxis(QChart* chart) {
    const auto axes = chart->axes(Qt::Vertical);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

int pixelsOf(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb()) ++n;
    return n;
}

// Fills a chart the way the main window does: rows of labelled indicators,
// two columns of values given as text.
void fillTable(MSChart& chart, const QStringList& labels, const std::vector<double>& first,
               const std::vector<double>& second) {
    chart.setRowCount(static_cast<int>(labels.size()));
    chart.setColumnCount(2);
    chart.setColumn(1);
    chart.setColumnLabel("Before Plan");
    chart.setColumn(2);
    chart.setColumnLabel("After Plan");
    for (int r = 1; r <= labels.size(); ++r) {
        chart.setRow(r);
        chart.setRowLabel(labels[r - 1]);
    }
    for (int r = 1; r <= labels.size(); ++r) {
        chart.setRow(r);
        chart.setColumn(1);
        chart.setData(QString::number(first[static_cast<std::size_t>(r - 1)]));
        chart.setColumn(2);
        chart.setData(QString::number(second[static_cast<std::size_t>(r - 1)]));
    }
}

// Fills a one-column line chart the way the plot windows do: " 1", " 2", …
// as row labels, then the values; an empty optional leaves the cell empty.
void fillLine(MSChart& chart, const std::vector<std::optional<double>>& values) {
    chart.setChartType(ChartType::Line2d);
    chart.setAutoMarkers(false);
    chart.setPointMarker(1, MarkerStyle::FilledCircle, true, kGreen);
    chart.setColumnCount(1);
    chart.setRowCount(static_cast<int>(values.size()));
    chart.setColumnLabel("red");
    for (int r = 1; r <= static_cast<int>(values.size()); ++r) {
        chart.setRow(r);
        chart.setRowLabel(" " + QString::number(r));
    }
    for (int r = 1; r <= static_cast<int>(values.size()); ++r) {
        chart.setRow(r);
        const auto& v = values[static_cast<std::size_t>(r - 1)];
        chart.setData(v ? QString::number(*v) : QString());
    }
}

// ---- the data grid ----

TEST(MSChartData, startsWithOneEmptyCellAndAPlainLook) {
    MSChart chart;
    EXPECT_EQ(chart.chartType(), ChartType::Bar2d);
    EXPECT_EQ(chart.rowCount(), MSChart::kDefaultRows);
    EXPECT_EQ(chart.columnCount(), MSChart::kDefaultColumns);
    EXPECT_GE(chart.columnCount(), 2);  // the main window names two series before its counts
    EXPECT_EQ(chart.row(), 1);
    EXPECT_EQ(chart.column(), 1);
    for (int r = 1; r <= chart.rowCount(); ++r)
        for (int c = 1; c <= chart.columnCount(); ++c) EXPECT_FALSE(chart.value(r, c));
    EXPECT_EQ(chart.plotBackdrop(), QColor(Qt::white));
    EXPECT_TRUE(chart.titleText().isEmpty());
    EXPECT_TRUE(chart.chart()->title().isEmpty());
    EXPECT_EQ(chart.chart()->plotAreaBackgroundBrush().color(), QColor(Qt::white));
    EXPECT_TRUE(chart.chart()->isPlotAreaBackgroundVisible());
    EXPECT_FALSE(chart.chart()->legend()->isVisible());
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
    // Visit the cells out of order, so that a value landing in the wrong
    // cell cannot go unnoticed.
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
            ASSERT_TRUE(chart.value(r, c)) << r << "," << c;
            EXPECT_DOUBLE_EQ(*chart.value(r, c), r * 10 + c + 0.5);
            EXPECT_EQ(chart.dataText(r, c), QString::number(r * 10 + c) + ".5");
        }
    }
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(chart.columnLabel(c), QString("series %1").arg(c));
}

TEST(MSChartData, valueTextIsKeptAsGivenAndReadAsANumberWhenItIsOne) {
    MSChart chart;
    chart.setRowCount(9);
    const QStringList texts{"94.53125", "-350", "1E-05", " 12 ", "abc", "nan", "inf", "1,5", "0"};
    for (int r = 1; r <= texts.size(); ++r) {
        chart.setRow(r);
        chart.setData(texts[r - 1]);
    }
    for (int r = 1; r <= texts.size(); ++r) EXPECT_EQ(chart.dataText(r, 1), texts[r - 1]);
    EXPECT_DOUBLE_EQ(*chart.value(1, 1), 94.53125);
    EXPECT_DOUBLE_EQ(*chart.value(2, 1), -350);
    EXPECT_DOUBLE_EQ(*chart.value(3, 1), 0.00001);
    EXPECT_DOUBLE_EQ(*chart.value(4, 1), 12);
    EXPECT_FALSE(chart.value(5, 1));
    EXPECT_FALSE(chart.value(6, 1));
    EXPECT_FALSE(chart.value(7, 1));
    EXPECT_FALSE(chart.value(8, 1));
    ASSERT_TRUE(chart.value(9, 1));
    EXPECT_EQ(*chart.value(9, 1), 0);

    chart.setRow(1);
    chart.setData("");
    EXPECT_FALSE(chart.value(1, 1));
    EXPECT_TRUE(chart.dataText(1, 1).isEmpty());
    // A chart whose only values are not numbers still draws.
    EXPECT_NE(yAxis(chart.chart()), nullptr);
}

TEST(MSChartData, rowsAndColumnsOutsideTheGridAreIgnored) {
    MSChart chart;
    chart.setRowCount(3);
    chart.setColumnCount(2);
    chart.setRow(2);
    chart.setColumn(2);
    for (int bad : {0, -1, 3 + 1}) chart.setRow(bad);
    for (int bad : {0, -1, 2 + 1}) chart.setColumn(bad);
    EXPECT_EQ(chart.row(), 2);
    EXPECT_EQ(chart.column(), 2);
    chart.setData("7");
    EXPECT_EQ(chart.value(2, 2), 7.0);

    chart.setRowCount(0);
    chart.setColumnCount(-4);
    chart.setRowCount(MSChart::kMaxCount + 1);
    EXPECT_EQ(chart.rowCount(), 3);
    EXPECT_EQ(chart.columnCount(), 2);

    EXPECT_TRUE(chart.rowLabel(0).isEmpty());
    EXPECT_TRUE(chart.rowLabel(4).isEmpty());
    EXPECT_TRUE(chart.columnLabel(3).isEmpty());
    EXPECT_FALSE(chart.value(0, 1));
    EXPECT_FALSE(chart.value(1, 3));
    chart.setSeriesFill(0, kMaroon);
    chart.setSeriesFill(MSChart::kMaxCount + 1, kMaroon);
    chart.setPointMarker(-2, MarkerStyle::FilledCircle, true, kGreen);
    EXPECT_FALSE(chart.seriesFill(0).isValid());
    EXPECT_FALSE(chart.seriesFill(MSChart::kMaxCount + 1).isValid());
    EXPECT_EQ(chart.pointMarkerStyle(-2), MarkerStyle::None);
    EXPECT_FALSE(chart.pointFill(-2).isValid());
    EXPECT_NE(chart.chart(), nullptr);
}

TEST(MSChartData, seriesAreStyledAndNamedBeforeTheCountsAreSet) {
    // The main window's order: fills and legend names, then the counts,
    // then labels and values.
    MSChart chart;
    chart.setSeriesFill(1, kMaroon);
    chart.setSeriesFill(2, kNavy);
    chart.setSeriesFill(7, kGreen);  // beyond any count yet: kept for later
    chart.setColumn(1);
    chart.setColumnLabel("Before Plan");
    chart.setColumn(2);
    chart.setColumnLabel("After Plan");
    chart.setRowCount(10);
    chart.setColumnCount(2);
    EXPECT_EQ(chart.columnLabel(1), "Before Plan");
    EXPECT_EQ(chart.columnLabel(2), "After Plan");
    EXPECT_EQ(chart.seriesFill(1), kMaroon);
    EXPECT_EQ(chart.seriesFill(2), kNavy);
    EXPECT_EQ(chart.seriesFill(7), kGreen);
    // The look stays with the column through a shrink and a regrowth.
    chart.setColumnCount(1);
    chart.setColumnCount(2);
    EXPECT_EQ(chart.seriesFill(2), kNavy);
    EXPECT_TRUE(chart.columnLabel(2).isEmpty());
}

TEST(MSChartData, shrinkingDropsCellsBeyondTheCountAndMovesTheCurrentCell) {
    MSChart chart;
    chart.setRowCount(5);
    chart.setColumnCount(2);
    chart.setRow(5);
    chart.setColumn(2);
    chart.setRowLabel("last");
    chart.setData("9");
    chart.setRow(1);
    chart.setData("1");
    chart.setRow(5);

    chart.setRowCount(3);
    chart.setColumnCount(1);
    EXPECT_EQ(chart.row(), 3);
    EXPECT_EQ(chart.column(), 1);
    chart.setRowCount(5);
    chart.setColumnCount(2);
    EXPECT_FALSE(chart.value(5, 2));
    EXPECT_FALSE(chart.value(1, 2));
    EXPECT_TRUE(chart.rowLabel(5).isEmpty());
}

// ---- bars side by side ----

class MSChartBars : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(640, 420);
        for (int i = 1; i <= 10; ++i) labels.append(QString("Indicator %1").arg(i));
        before = {100, 50, 120, 80, 95, 60, 100, 100, 0, -25};
        after = {110, 70, 90, 130, 40, 75, 120, 90, 35, 15};
        chart.setSeriesFill(1, kMaroon);
        chart.setSeriesFill(2, kNavy);
        chart.setPlotBackdrop(Qt::white);
        chart.setLegendVisible(true);
        fillTable(chart, labels, before, after);
    }

    MSChart chart;
    QStringList labels;
    std::vector<double> before;
    std::vector<double> after;
};

TEST_F(MSChartBars, oneBarSetPerColumnWithTheRowLabelsAsCategories) {
    QChart* c = chart.chart();
    const auto bars = seriesOf<QBarSeries>(c);
    ASSERT_EQ(bars.size(), 1);
    const auto sets = bars.first()->barSets();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0]->label(), "Before Plan");
    EXPECT_EQ(sets[1]->label(), "After Plan");
    EXPECT_EQ(sets[0]->color(), kMaroon);
    EXPECT_EQ(sets[1]->color(), kNavy);
    ASSERT_EQ(sets[0]->count(), 10);
    ASSERT_EQ(sets[1]->count(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_DOUBLE_EQ(sets[0]->at(i), before[static_cast<std::size_t>(i)]);
        EXPECT_DOUBLE_EQ(sets[1]->at(i), after[static_cast<std::size_t>(i)]);
    }
    ASSERT_NE(xAxis(c), nullptr);
    EXPECT_EQ(xAxis(c)->categories(), labels);

    QStringList legendNames;
    for (QLegendMarker* m : c->legend()->markers())
        if (m->isVisible()) legendNames.append(m->label());
    EXPECT_EQ(legendNames, (QStringList{"Before Plan", "After Plan"}));
    EXPECT_TRUE(c->legend()->isVisible());
}

TEST_F(MSChartBars, everyValueAndZeroLieWithinTheValueAxis) {
    QValueAxis* y = yAxis(chart.chart());
    ASSERT_NE(y, nullptr);
    double low = 0;
    double high = 0;
    for (double v : before) low = std::min(low, v), high = std::max(high, v);
    for (double v : after) low = std::min(low, v), high = std::max(high, v);
    EXPECT_LE(y->min(), low);
    EXPECT_GE(y->max(), high);
    EXPECT_LT(y->min(), 0);  // the -25 bar points down from zero
}

TEST_F(MSChartBars, aMissingValueIsAnEmptyBar) {
    chart.setRow(4);
    chart.setColumn(1);
    chart.setData("");
    const auto sets = seriesOf<QBarSeries>(chart.chart()).first()->barSets();
    EXPECT_EQ(sets[0]->at(3), 0);
    EXPECT_EQ(sets[1]->at(3), after[3]);
}

TEST_F(MSChartBars, repeatedLabelsStillGiveOneCategoryPerRow) {
    chart.setRow(2);
    chart.setRowLabel(labels[0]);
    chart.setRow(3);
    chart.setRowLabel("");
    chart.setRow(4);
    chart.setRowLabel("");
    QStringList categories = xAxis(chart.chart())->categories();
    ASSERT_EQ(categories.size(), 10);
    // What shows is the label itself: the padding that keeps categories
    // apart is invisible.
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(QString(categories[r - 1]).remove(QChar(0x200B)), chart.rowLabel(r));
    EXPECT_EQ(categories.removeDuplicates(), 0);
}

TEST_F(MSChartBars, pictureHasTheWidgetsSizeAndShowsBarsInTheirFills) {
    const QImage picture = chart.picture();
    ASSERT_EQ(picture.size(), chart.size());
    EXPECT_GT(pixelsOf(picture, kMaroon), 100);
    EXPECT_GT(pixelsOf(picture, kNavy), 100);

    // The plot area is white: a point just inside its top corner that no
    // bar reaches.
    const QRectF plot = chart.chart()->plotArea();
    ASSERT_TRUE(plot.isValid());
    EXPECT_TRUE(QRectF(picture.rect()).contains(plot));
    EXPECT_EQ(picture.pixelColor(plot.topLeft().toPoint() + QPoint(3, 3)), QColor(Qt::white));

    // A bar's middle is in its series' fill.
    auto* series = seriesOf<QBarSeries>(chart.chart()).first();
    const QPointF top = chart.chart()->mapToPosition(QPointF(0, 100), series);
    const QPointF foot = chart.chart()->mapToPosition(QPointF(0, 0), series);
    // Row 1 holds 100 (before) and 110 (after); half-way up, the first half
    // of the category is maroon and the second navy.
    const double midY = (top.y() + foot.y()) / 2;
    const double categoryWidth = plot.width() / 10;
    const double left = plot.left();
    EXPECT_EQ(picture.pixelColor(QPointF(left + categoryWidth * 0.4, midY).toPoint()), kMaroon);
    EXPECT_EQ(picture.pixelColor(QPointF(left + categoryWidth * 0.6, midY).toPoint()), kNavy);
}

TEST_F(MSChartBars, anotherFillRepaintsTheBars) {
    chart.setSeriesFill(1, kGreen);
    const QImage picture = chart.picture();
    EXPECT_EQ(pixelsOf(picture, kMaroon), 0);
    EXPECT_GT(pixelsOf(picture, kGreen), 100);
}

TEST_F(MSChartBars, changesAreDrawnWithoutAnExplicitRefresh) {
    // Look at the Qt chart through the view, which does not bring it up to
    // date the way chart() does: only the event loop may have done so.
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
    for (int i = 1; i <= 25; ++i) values.push_back(i * 3.25 - 20);
    fillLine(chart, values);

    QChart* c = chart.chart();
    const auto lines = seriesOf<QLineSeries>(c);
    ASSERT_EQ(lines.size(), 1);
    ASSERT_EQ(lines.first()->count(), 25);
    EXPECT_EQ(lines.first()->name(), "red");
    const auto markers = seriesOf<QScatterSeries>(c);
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(markers.first()->count(), 25);
    EXPECT_EQ(markers.first()->color(), kGreen);
    EXPECT_EQ(markers.first()->markerShape(), QScatterSeries::MarkerShapeCircle);
    QStringList expected;
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(lines.first()->at(i), QPointF(i, i * 3.25 - 16.75));
        EXPECT_EQ(markers.first()->at(i), QPointF(i, i * 3.25 - 16.75));
        expected.append(" " + QString::number(i + 1));
    }
    EXPECT_EQ(xAxis(c)->categories(), expected);

    QValueAxis* y = yAxis(c);
    EXPECT_LE(y->min(), -16.75);  // the first values are negative
    EXPECT_GE(y->max(), 24 * 3.25 - 16.75);
}

TEST(MSChartLines, aRowWithoutValueHasNoPointAndBreaksTheLine) {
    MSChart chart;
    chart.setLegendVisible(true);
    fillLine(chart, {4, 5, std::nullopt, 7, 8});
    QChart* c = chart.chart();
    const auto markers = seriesOf<QScatterSeries>(c);
    ASSERT_EQ(markers.size(), 1);
    ASSERT_EQ(markers.first()->count(), 4);
    EXPECT_EQ(markers.first()->points(), (QList<QPointF>{{0, 4}, {1, 5}, {3, 7}, {4, 8}}));
    const auto lines = seriesOf<QLineSeries>(c);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0]->points(), (QList<QPointF>{{0, 4}, {1, 5}}));
    EXPECT_EQ(lines[1]->points(), (QList<QPointF>{{3, 7}, {4, 8}}));
    EXPECT_EQ(lines[0]->color(), lines[1]->color());
    // The series is named once in the legend.
    int named = 0;
    for (QLegendMarker* m : c->legend()->markers())
        if (m->isVisible()) ++named;
    EXPECT_EQ(named, 1);
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
    auto markers = seriesOf<QScatterSeries>(chart.chart());
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(markers.first()->color(), kMaroon);
    EXPECT_EQ(markers.first()->at(2), QPointF(2, 6));
    chart.setPointMarker(2, MarkerStyle::FilledCircle, false, kMaroon);
    EXPECT_EQ(seriesOf<QScatterSeries>(chart.chart()).size(), 0);
    EXPECT_EQ(chart.pointMarkerStyle(2), MarkerStyle::FilledCircle);
    EXPECT_FALSE(chart.pointMarkerVisible(2));
    EXPECT_EQ(chart.pointFill(2), kMaroon);
}

TEST(MSChartLines, equalValuesAndNoValuesStillGiveARange) {
    MSChart chart;
    fillLine(chart, {42, 42, 42});
    QValueAxis* y = yAxis(chart.chart());
    EXPECT_LT(y->min(), 42);
    EXPECT_GT(y->max(), 42);

    fillLine(chart, {std::nullopt, std::nullopt});
    y = yAxis(chart.chart());
    EXPECT_LT(y->min(), y->max());
    EXPECT_TRUE(seriesOf<QScatterSeries>(chart.chart()).isEmpty());
}

TEST(MSChartLines, pictureShowsEachMarkerWhereTheChartPlacesItsPoint) {
    MSChart chart;
    chart.resize(600, 400);
    fillLine(chart, {10, -40, 25, 60, 5});
    const QImage picture = chart.picture();
    ASSERT_EQ(picture.size(), QSize(600, 400));
    auto* markers = seriesOf<QScatterSeries>(chart.chart()).first();
    const QRectF plot = chart.chart()->plotArea();
    for (const QPointF& p : markers->points()) {
        const QPointF at = chart.chart()->mapToPosition(p, markers);
        EXPECT_TRUE(plot.contains(at)) << p.y();
        EXPECT_EQ(picture.pixelColor(at.toPoint()), kGreen) << p.y();
    }
}

TEST(MSChartLines, pointNumbersOfALongPlotAreShownWhole) {
    MSChart chart;
    chart.resize(560, 345);
    std::vector<std::optional<double>> values;
    for (int i = 1; i <= 40; ++i) values.push_back(i);
    fillLine(chart, values);
    chart.picture();  // lays the chart out at its size
    QBarCategoryAxis* x = xAxis(chart.chart());
    EXPECT_EQ(x->categories().size(), 40);
    EXPECT_FALSE(x->labelsTruncated());
}

TEST(MSChartLines, valueLabelsTellTheTicksApart) {
    MSChart chart;
    fillLine(chart, {0.95, 1.0, 1.02, 1.05});
    QValueAxis* y = yAxis(chart.chart());
    ASSERT_GT(y->tickCount(), 1);
    const QByteArray format = y->labelFormat().toLatin1();
    QStringList texts;
    const double step = (y->max() - y->min()) / (y->tickCount() - 1);
    for (int i = 0; i < y->tickCount(); ++i)
        texts.append(QString::asprintf(format.constData(), y->min() + i * step));
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join(' ').toStdString();
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
    EXPECT_EQ(picture.size(), onScreen.size());
    EXPECT_TRUE(picture == onScreen);
    EXPECT_TRUE(chart.picture() == picture);  // taking it changes nothing
}

TEST(MSChartPicture, followsTheWidgetsSize) {
    MSChart chart;
    fillLine(chart, {1, 2, 3});
    chart.resize(300, 200);
    EXPECT_EQ(chart.picture().size(), QSize(300, 200));
    chart.resize(640, 480);
    const QImage larger = chart.picture();
    EXPECT_EQ(larger.size(), QSize(640, 480));
    // Still the whole chart: its markers appear at their places.
    auto* markers = seriesOf<QScatterSeries>(chart.chart()).first();
    for (const QPointF& p : markers->points())
        EXPECT_EQ(larger.pixelColor(chart.chart()->mapToPosition(p, markers).toPoint()), kGreen);
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

    EXPECT_EQ(chart.titleText(), " A title ");
    EXPECT_EQ(chart.titleFont().family(), "Times New Roman");
    EXPECT_EQ(chart.titleFont().pointSizeF(), 16);
    EXPECT_TRUE(chart.titleFont().bold());
    EXPECT_TRUE(chart.axisTitleVertical(Axis::Y));
    EXPECT_FALSE(chart.axisTitleVertical(Axis::X));
    EXPECT_EQ(chart.axisLabelFont(Axis::Y2).pointSizeF(), 11);
    EXPECT_EQ(chart.axisLabelColor(Axis::Y2), violet);

    QChart* c = chart.chart();
    EXPECT_EQ(c->title(), " A title ");
    EXPECT_EQ(c->titleFont(), chart.titleFont());
    EXPECT_EQ(xAxis(c)->titleText(), "WEEKS");
    EXPECT_EQ(yAxis(c)->titleText(), "ORDER BACKLOG");
    for (QAbstractAxis* axis : c->axes()) {
        EXPECT_TRUE(axis->isTitleVisible());
        EXPECT_EQ(axis->titleFont().family(), "Times New Roman");
        EXPECT_EQ(axis->titleFont().pointSizeF(), 14);
        EXPECT_EQ(axis->labelsFont().pointSizeF(), 11);
        EXPECT_TRUE(axis->labelsFont().bold());
        EXPECT_EQ(axis->labelsColor(), violet);
    }
    EXPECT_EQ(c->legend()->font(), chart.legendFont());
    EXPECT_EQ(c->legend()->labelColor(), violet);
    EXPECT_EQ(c->plotAreaBackgroundBrush().color(), QColor(250, 250, 200));
}

TEST(MSChartLooks, settingsSurviveAChangeOfChartType) {
    MSChart chart;
    chart.setColumnCount(2);
    chart.setSeriesFill(2, kNavy);
    chart.setAxisTitle(Axis::Y, "VALUE");
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

}  // namespace
}  // namespace tessaro::ui
