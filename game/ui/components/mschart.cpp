// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/mschart.h"

#include <QAccessibleWidget>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/components/axislabels.h"
#include "ui/components/chartreading.h"

namespace tessaro::ui {
namespace {

constexpr qreal kMarkerSize = 9;

// Screen readers announce a chart as one, with its title and description.
QAccessibleInterface* chartAccessible(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || className != QLatin1String(MSChart::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Chart);
}
constexpr qreal kLineWidth = 2;

QFont namedFont(const QString& family, double points, bool bold) {
    QFont f(family);
    if (points > 0) f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The axis range that shows every value with a little room above and
// below; bars grow from zero, so a bar chart's range always holds zero.
std::pair<double, double> valueRange(const std::vector<double>& values, bool fromZero) {
    if (values.empty()) return {0, 1};
    auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    double low = *lo;
    double high = *hi;
    if (fromZero) {
        low = std::min(low, 0.0);
        high = std::max(high, 0.0);
    }
    if (low == high) {
        const double pad = low == 0 ? 1 : std::abs(low) * 0.1;
        return {low - pad, high + pad};
    }
    const double pad = (high - low) * 0.05;
    if (!std::isfinite(pad)) return {low, high};
    return {fromZero && low == 0 ? 0 : low - pad, fromZero && high == 0 ? 0 : high + pad};
}

// Value labels with as many decimals as the tick interval needs.
QString labelFormat(const QValueAxis* axis) {
    const double interval =
        axis->tickCount() > 1 ? (axis->max() - axis->min()) / (axis->tickCount() - 1) : 0;
    int decimals = 0;
    if (interval > 0 && std::isfinite(interval)) {
        while (decimals < 6) {
            const double scaled = interval * std::pow(10.0, decimals);
            if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) break;
            ++decimals;
        }
    }
    return QStringLiteral("%.%1f").arg(decimals);
}

void hideFromLegend(QLegend* legend, QAbstractSeries* series) {
    for (QLegendMarker* marker : legend->markers(series)) marker->setVisible(false);
}

}  // namespace

std::optional<double> parseNumberText(const QString& text) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

MSChart::MSChart(QWidget* parent)
    : QWidget(parent), m_rowLabels(kDefaultRows), m_columnLabels(kDefaultColumns) {
    [[maybe_unused]] static const bool readable = [] {
        QAccessible::installFactory(chartAccessible);
        return true;
    }();
    m_chart = new QChart;
    // Without animation a picture never catches a half-drawn chart.
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->legend()->setVisible(false);
    m_view = new QChartView(m_chart, this);
    m_view->setFrameShape(QFrame::NoFrame);
    // Nothing in the chart answers keys: Tab goes past it.
    m_view->setFocusPolicy(Qt::NoFocus);
    // The chart fills the whole control, as a chart control's picture should.
    m_chart->setBackgroundRoundness(0);
    m_chart->setMargins(QMargins(6, 6, 6, 6));
    if (m_chart->layout()) m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setGeometry(rect());

    m_rebuildTimer = new QTimer(this);
    m_rebuildTimer->setSingleShot(true);
    m_rebuildTimer->setInterval(0);
    connect(m_rebuildTimer, &QTimer::timeout, this, [this] { bringUpToDate(); });

    // The chart's theme gives the fonts and colours nobody sets: read them
    // off an axis that the chart has styled.
    m_titleFont = m_chart->titleFont();
    m_legendFont = m_chart->legend()->font();
    m_legendColor = m_chart->legend()->labelColor();
    auto* probe = new QValueAxis;
    m_chart->addAxis(probe, Qt::AlignLeft);
    for (AxisLook& l : m_axes) {
        l.titleFont = probe->titleFont();
        l.labelFont = probe->labelsFont();
        l.labelColor = probe->labelsColor();
    }
    m_chart->removeAxis(probe);
    delete probe;
    scheduleRebuild();
}

MSChart::~MSChart() = default;

QSize MSChart::sizeHint() const {
    return {480, 320};
}

void MSChart::resizeEvent(QResizeEvent* event) {
    m_view->setGeometry(rect());
    if (size() != m_builtSize) scheduleRebuild();  // the row labels may fit differently
    QWidget::resizeEvent(event);
}

void MSChart::setChartType(ChartType type) {
    m_type = type;
    scheduleRebuild();
}

void MSChart::setRowCount(int count) {
    if (count < 1 || count > kMaxCount) return;
    m_rowCount = count;
    m_rowLabels.resize(static_cast<std::size_t>(count));
    std::erase_if(m_cells, [count](const auto& cell) { return cell.first.first > count; });
    m_row = std::min(m_row, count);
    scheduleRebuild();
}

void MSChart::setColumnCount(int count) {
    if (count < 1 || count > kMaxCount) return;
    m_columnCount = count;
    m_columnLabels.resize(static_cast<std::size_t>(count));
    std::erase_if(m_cells, [count](const auto& cell) { return cell.first.second > count; });
    m_column = std::min(m_column, count);
    scheduleRebuild();
}

void MSChart::setRow(int row) {
    if (validRow(row)) m_row = row;
}

void MSChart::setColumn(int column) {
    if (validColumn(column)) m_column = column;
}

void MSChart::setRowLabel(const QString& label) {
    m_rowLabels[static_cast<std::size_t>(m_row - 1)] = label;
    scheduleRebuild();
}

QString MSChart::rowLabel(int row) const {
    return validRow(row) ? m_rowLabels[static_cast<std::size_t>(row - 1)] : QString();
}

void MSChart::setColumnLabel(const QString& label) {
    m_columnLabels[static_cast<std::size_t>(m_column - 1)] = label;
    scheduleRebuild();
}

QString MSChart::columnLabel(int column) const {
    return validColumn(column) ? m_columnLabels[static_cast<std::size_t>(column - 1)] : QString();
}

void MSChart::setData(const QString& numberText) {
    if (numberText.isEmpty())
        m_cells.erase({m_row, m_column});
    else
        m_cells[{m_row, m_column}] = numberText;
    scheduleRebuild();
}

QString MSChart::dataText(int row, int column) const {
    const auto it = m_cells.find({row, column});
    return it == m_cells.end() ? QString() : it->second;
}

std::optional<double> MSChart::value(int row, int column) const {
    const auto it = m_cells.find({row, column});
    if (it == m_cells.end()) return std::nullopt;
    return parseNumberText(it->second);
}

void MSChart::setTitleText(const QString& text) {
    m_title = text;
    scheduleRebuild();
}

void MSChart::setTitleFont(const QString& family, double points, bool bold) {
    m_titleFont = namedFont(family, points, bold);
    scheduleRebuild();
}

void MSChart::setAxisTitle(Axis axis, const QString& title) {
    look(axis).title = title;
    scheduleRebuild();
}

QString MSChart::axisTitle(Axis axis) const {
    return look(axis).title;
}

void MSChart::setAxisTitleFont(Axis axis, const QString& family, double points, bool bold) {
    look(axis).titleFont = namedFont(family, points, bold);
    scheduleRebuild();
}

QFont MSChart::axisTitleFont(Axis axis) const {
    return look(axis).titleFont;
}

void MSChart::setAxisTitleVertical(Axis axis, bool vertical) {
    look(axis).titleVertical = vertical;
}

bool MSChart::axisTitleVertical(Axis axis) const {
    return look(axis).titleVertical;
}

void MSChart::setAxisLabelFont(Axis axis, double points, bool bold, const QColor& color) {
    AxisLook& l = look(axis);
    if (points > 0) l.labelFont.setPointSizeF(points);
    l.labelFont.setBold(bold);
    if (color.isValid()) l.labelColor = color;
    scheduleRebuild();
}

QFont MSChart::axisLabelFont(Axis axis) const {
    return look(axis).labelFont;
}

QColor MSChart::axisLabelColor(Axis axis) const {
    return look(axis).labelColor;
}

void MSChart::setAutoMarkers(bool on) {
    m_autoMarkers = on;
    scheduleRebuild();
}

MSChart::SeriesLook MSChart::seriesLook(int column) const {
    const auto it = m_series.find(column);
    return it == m_series.end() ? SeriesLook() : it->second;
}

void MSChart::setPointMarker(int column, MarkerStyle style, bool visible, const QColor& fill) {
    if (!validSeries(column)) return;
    SeriesLook& l = m_series[column];
    l.markerSet = true;
    l.markerStyle = style;
    l.markerVisible = visible;
    l.pointFill = fill;
    scheduleRebuild();
}

MarkerStyle MSChart::pointMarkerStyle(int column) const {
    return seriesLook(column).markerStyle;
}

bool MSChart::pointMarkerVisible(int column) const {
    return seriesLook(column).markerVisible;
}

QColor MSChart::pointFill(int column) const {
    return seriesLook(column).pointFill;
}

void MSChart::setSeriesFill(int column, const QColor& color) {
    if (!validSeries(column)) return;
    m_series[column].fill = color;
    scheduleRebuild();
}

QColor MSChart::seriesFill(int column) const {
    return seriesLook(column).fill;
}

void MSChart::setPlotBackdrop(const QColor& color) {
    if (!color.isValid()) return;
    m_backdrop = color;
    scheduleRebuild();
}

void MSChart::setLegendVisible(bool visible) {
    m_legendVisible = visible;
    scheduleRebuild();
}

void MSChart::setLegendLocation(LegendLocation location) {
    m_legendLocation = location;
    scheduleRebuild();
}

void MSChart::setLegendFont(const QString& family, double points, bool bold, const QColor& color) {
    m_legendFont = namedFont(family, points, bold);
    if (color.isValid()) m_legendColor = color;
    scheduleRebuild();
}

void MSChart::refresh() {
    bringUpToDate();
    if (isVisible()) m_view->viewport()->repaint();
}

QImage MSChart::picture() {
    bringUpToDate();
    if (width() <= 0 || height() <= 0) return {};
    // A widget that was never shown has its resize events still pending;
    // the view must have the widget's size before the chart is drawn.
    if (m_view->geometry() != rect()) m_view->setGeometry(rect());
    QImage image(size(), QImage::Format_RGB32);
    image.fill(kWhite);
    render(&image);
    return image;
}

void MSChart::editCopy() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(picture());
}

QChart* MSChart::chart() const {
    bringUpToDate();
    return m_chart;
}

void MSChart::scaleContent(float, float, float f) {
    if (!(f > 0)) return;
    m_fontZoom *= f;
    scheduleRebuild();
}

QFont MSChart::zoomed(QFont font) const {
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * m_fontZoom);
    return font;
}

QStringList MSChart::shownRowLabels() const {
    bringUpToDate();
    for (QAbstractAxis* axis : m_chart->axes(Qt::Horizontal))
        if (auto* x = qobject_cast<QBarCategoryAxis*>(axis)) return x->categories();
    return {};
}

void MSChart::scheduleRebuild() {
    m_stale = true;
    m_rebuildTimer->start();
}

void MSChart::bringUpToDate() const {
    if (!m_stale) return;
    m_rebuildTimer->stop();
    rebuild();
}

QStringList MSChart::categories() const {
    // A category axis keeps only the first of equal labels, so a repeated
    // label gets zero-width spaces that make it distinct but look the same.
    QStringList result;
    for (const QString& label : m_rowLabels) {
        QString unique = label.isNull() ? QStringLiteral("") : label;
        while (result.contains(unique)) unique += QChar(0x200B);
        result.append(unique);
    }
    return result;
}

void MSChart::rebuild() const {
    m_stale = false;
    placeUprightLabels(m_chart, {}, {}, {}, 0);
    m_chart->removeAllSeries();
    for (QAbstractAxis* axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }

    m_chart->setTitle(m_title);
    m_chart->setTitleFont(zoomed(m_titleFont));
    m_chart->setPlotAreaBackgroundBrush(QBrush(m_backdrop));
    m_chart->setPlotAreaBackgroundVisible(true);

    auto* x = new QBarCategoryAxis;
    x->append(categories());
    auto* y = new QValueAxis;
    m_chart->addAxis(x, Qt::AlignBottom);
    m_chart->addAxis(y, Qt::AlignLeft);

    if (m_type == ChartType::Bar2d)
        buildBars();
    else
        buildLines();

    std::vector<double> values;
    for (const auto& [cell, text] : m_cells) {
        if (validRow(cell.first) && validColumn(cell.second)) {
            if (auto v = parseNumberText(text)) values.push_back(*v);
        }
    }
    const auto [low, high] = valueRange(values, m_type == ChartType::Bar2d);
    y->setRange(low, high);
    y->applyNiceNumbers();
    y->setLabelFormat(labelFormat(y));
    styleAxes();

    QLegend* legend = m_chart->legend();
    legend->setVisible(m_legendVisible);
    switch (m_legendLocation) {
        case LegendLocation::Top:
            legend->setAlignment(Qt::AlignTop);
            break;
        case LegendLocation::Bottom:
            legend->setAlignment(Qt::AlignBottom);
            break;
        case LegendLocation::Left:
            legend->setAlignment(Qt::AlignLeft);
            break;
        case LegendLocation::Right:
            legend->setAlignment(Qt::AlignRight);
            break;
    }
    legend->setFont(zoomed(m_legendFont));
    legend->setLabelColor(m_legendColor);

    // Lay the chart out now, at the control's size, so that a picture taken
    // at once shows it.
    m_builtSize = size();
    m_chart->resize(m_builtSize);
    if (m_chart->layout()) m_chart->layout()->activate();
    fitRowLabels(x);
    // A rebuild follows every change of data, so a screen reader's words
    // stay those of the chart drawn. They belong to the widget, not to the
    // drawing that the rebuild keeps up to date.
    auto* self = const_cast<MSChart*>(this);
    if (!m_title.trimmed().isEmpty()) self->setAccessibleName(m_title.simplified());
    self->setAccessibleDescription(describeChart(*this));
}

void MSChart::fitRowLabels(QBarCategoryAxis* x) const {
    const QRectF plot = m_chart->plotArea();
    if (plot.width() <= 0) return;
    const QFontMetricsF metrics(zoomed(look(Axis::X).labelFont));
    const qreal room = plot.width() / m_rowCount;
    const qreal gap = metrics.averageCharWidth();
    const QStringList labels = x->categories();
    qreal widest = 0;
    for (const QString& label : labels) widest = std::max(widest, metrics.horizontalAdvance(label));
    x->setTruncateLabels(false);
    if (widest + gap <= room) return;

    // Each label of several words broken into two lines where the longer
    // of the two is shortest.
    QStringList broken;
    qreal widestLine = 0;
    for (const QString& label : labels) {
        const QString words = label.trimmed();
        qsizetype best = -1;
        qreal bestWidth = metrics.horizontalAdvance(label);
        for (qsizetype at = words.indexOf(u' '); at >= 0; at = words.indexOf(u' ', at + 1)) {
            const qreal width = std::max(metrics.horizontalAdvance(words.left(at)),
                                         metrics.horizontalAdvance(words.mid(at + 1)));
            if (width < bestWidth) {
                bestWidth = width;
                best = at;
            }
        }
        widestLine = std::max(widestLine, bestWidth);
        // The axis draws its labels as rich text.
        broken.append(best < 0 ? label
                               : words.left(best).toHtmlEscaped() + QStringLiteral("<br>") +
                                     words.mid(best + 1).toHtmlEscaped());
    }
    const bool twoLines = broken != labels;
    if (twoLines && widestLine + gap <= room) {
        x->setCategories(broken);
    } else {
        // Upright, two lines to a label where two lines stand side by side
        // in the room, which keeps them short below the plot.
        const bool uprightTwoLines = twoLines && 2 * metrics.lineSpacing() <= room;
        if (uprightTwoLines) x->setCategories(broken);
        x->setLabelsAngle(-90);
        thinRowLabels(x, room, (uprightTwoLines ? 2 : 1) * metrics.lineSpacing() + gap);
    }
    if (m_chart->layout()) m_chart->layout()->activate();
}

void MSChart::thinRowLabels(QBarCategoryAxis* x, qreal room, qreal extent) const {
    if (extent <= room) return;
    // Too many for the room: drawn by us, evenly thinned, the axis's own
    // labels kept only to reserve their room below the plot.
    if (m_chart->layout()) m_chart->layout()->activate();
    x->setLabelsColor(Qt::transparent);
    placeUprightLabels(m_chart, x->categories(), zoomed(look(Axis::X).labelFont),
                       look(Axis::X).labelColor,
                       QFontMetricsF(zoomed(look(Axis::X).labelFont)).averageCharWidth());
}

void MSChart::buildBars() const {
    auto* series = new QBarSeries;
    std::vector<QBarSet*> sets;
    for (int c = 1; c <= m_columnCount; ++c) {
        auto* set = new QBarSet(columnLabel(c));
        for (int r = 1; r <= m_rowCount; ++r) set->append(value(r, c).value_or(0));
        series->append(set);
        sets.push_back(set);
    }
    // The theme colours the sets when the series joins the chart; a fill of
    // our own goes on afterwards.
    m_chart->addSeries(series);
    for (QAbstractAxis* axis : m_chart->axes()) series->attachAxis(axis);
    for (int c = 1; c <= m_columnCount; ++c) {
        const QColor fill = seriesFill(c);
        if (fill.isValid()) sets[static_cast<std::size_t>(c - 1)]->setColor(fill);
    }
}

void MSChart::buildLines() const {
    QLegend* legend = m_chart->legend();
    const auto attach = [this](QAbstractSeries* s) {
        m_chart->addSeries(s);
        for (QAbstractAxis* axis : m_chart->axes()) s->attachAxis(axis);
    };
    for (int c = 1; c <= m_columnCount; ++c) {
        const SeriesLook style = seriesLook(c);
        // A row without a value breaks the line: each unbroken run of values
        // is a series of its own, and only the first stands in the legend.
        std::vector<QLineSeries*> runs;
        QLineSeries* run = nullptr;
        auto* points = new QScatterSeries;
        for (int r = 1; r <= m_rowCount; ++r) {
            const auto v = value(r, c);
            if (!v) {
                run = nullptr;
                continue;
            }
            if (!run) {
                run = new QLineSeries;
                runs.push_back(run);
            }
            run->append(r - 1, *v);
            points->append(r - 1, *v);
        }
        if (runs.empty()) runs.push_back(new QLineSeries);
        runs.front()->setName(columnLabel(c));

        attach(runs.front());
        const QColor line = style.fill.isValid() ? style.fill : runs.front()->color();
        for (QLineSeries* s : runs) {
            if (s != runs.front()) {
                attach(s);
                hideFromLegend(legend, s);
            }
            QPen pen = s->pen();
            pen.setColor(line);
            pen.setWidthF(kLineWidth);
            s->setPen(pen);
        }

        const bool marked =
            style.markerSet ? style.markerVisible && style.markerStyle == MarkerStyle::FilledCircle
                            : m_autoMarkers;
        if (!marked || points->count() == 0) {
            delete points;
            continue;
        }
        const QColor fill = style.markerSet && style.pointFill.isValid() ? style.pointFill : line;
        attach(points);
        hideFromLegend(legend, points);
        points->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        points->setMarkerSize(kMarkerSize);
        points->setColor(fill);
        points->setBorderColor(fill);
    }
}

void MSChart::styleAxes() const {
    const auto x = m_chart->axes(Qt::Horizontal);
    const auto y = m_chart->axes(Qt::Vertical);
    for (auto [which, axes] : {std::pair{Axis::X, x}, std::pair{Axis::Y, y}}) {
        const AxisLook& l = look(which);
        for (QAbstractAxis* axis : axes) {
            axis->setTitleText(l.title);
            axis->setTitleVisible(!l.title.isEmpty());
            axis->setTitleFont(zoomed(l.titleFont));
            axis->setLabelsFont(zoomed(l.labelFont));
            axis->setLabelsColor(l.labelColor);
        }
    }
}

}  // namespace tessaro::ui
