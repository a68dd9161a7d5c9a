// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The chart control of the game windows: a grid of data rows (the points or
// indicators) and data columns (the series), drawn with Qt Charts either as
// bars standing side by side per row or as one marked line per column.
// Rows and columns are numbered from 1; a label or value goes to the row and
// column selected last.
//
//   MSChart chart;
//   chart.setRowCount(2);
//   chart.setColumnCount(1);
//   chart.setRow(1); chart.setRowLabel(" 1");
//   chart.setRow(2); chart.setRowLabel(" 2");
//   chart.setRow(1); chart.setData("12.75");
//   chart.setRow(2); chart.setData("-3");
//
// Changes are drawn on the next pass of the event loop; refresh() and
// picture() bring the drawing up to date at once.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "ui/look/module2.h"
#include "ui/look/palette.h"

class QBarCategoryAxis;
class QChart;
class QChartView;
class QTimer;

namespace tessaro::ui {

enum class ChartType { Bar2d, Line2d };
enum class Axis { X, Y, Y2 };
enum class MarkerStyle { None, FilledCircle };
enum class LegendLocation { Top, Bottom, Left, Right };

class MSChart : public QWidget, public ScalesContent {
    Q_OBJECT

public:
    // Row and column counts stay within the old control's 16-bit range.
    static constexpr int kMaxCount = 32767;
    static constexpr int kDefaultRows = 5;
    static constexpr int kDefaultColumns = 4;

    explicit MSChart(QWidget* parent = nullptr);
    ~MSChart() override;

    void setChartType(ChartType type);
    ChartType chartType() const { return m_type; }

    // A new chart has kDefaultRows x kDefaultColumns empty cells, so that
    // series can be named before the counts are set. Counts below 1 or
    // above kMaxCount are ignored. Shrinking drops the labels and values
    // beyond the new count and moves the current row or column back inside.
    void setRowCount(int count);
    int rowCount() const { return m_rowCount; }
    void setColumnCount(int count);
    int columnCount() const { return m_columnCount; }

    // A row or column outside 1 .. count is ignored.
    void setRow(int row);
    int row() const { return m_row; }
    void setColumn(int column);
    int column() const { return m_column; }

    void setRowLabel(const QString& label);     // of the current row
    QString rowLabel(int row) const;            // "" outside the rows
    void setColumnLabel(const QString& label);  // of the current column: the series name
    QString columnLabel(int column) const;

    // The current cell's value as the text of a number ("12.75", "-350",
    // "1E-05"). Empty text, or text that is not a finite number, leaves the
    // cell without a value; the text is kept as given either way.
    void setData(const QString& numberText);
    QString dataText(int row, int column) const;
    std::optional<double> value(int row, int column) const;

    void setTitleText(const QString& text);
    QString titleText() const { return m_title; }
    void setTitleFont(const QString& family, double points, bool bold);
    QFont titleFont() const { return m_titleFont; }

    // The second Y axis is not drawn; its settings are only kept.
    void setAxisTitle(Axis axis, const QString& title);
    QString axisTitle(Axis axis) const;
    void setAxisTitleFont(Axis axis, const QString& family, double points, bool bold);
    QFont axisTitleFont(Axis axis) const;
    // Qt Charts lays out a vertical axis's title vertically anyway; the flag
    // is kept for the caller.
    void setAxisTitleVertical(Axis axis, bool vertical);
    bool axisTitleVertical(Axis axis) const;
    void setAxisLabelFont(Axis axis, double points, bool bold, const QColor& color);
    QFont axisLabelFont(Axis axis) const;
    QColor axisLabelColor(Axis axis) const;

    // The look of a series (markers, fill) belongs to its column number, any
    // from 1 to kMaxCount, whatever the column count is now: a window may
    // style its series before it sets the counts, and the look stays when
    // the counts change. Other column numbers are ignored.
    //
    // Line charts: a column without a marker of its own carries filled
    // circles in its line colour while automatic markers are on (the
    // default), and no markers when they are off.
    void setAutoMarkers(bool on);
    bool autoMarkers() const { return m_autoMarkers; }
    // The marker of every point of a column; drawn when the style is
    // FilledCircle and it is visible. An invalid fill means the line colour.
    void setPointMarker(int column, MarkerStyle style, bool visible, const QColor& fill);
    MarkerStyle pointMarkerStyle(int column) const;
    bool pointMarkerVisible(int column) const;
    QColor pointFill(int column) const;  // invalid when none was given

    // The colour of a column's bars, or of its line on a line chart. An
    // invalid colour (the default) leaves the chart's own colour.
    void setSeriesFill(int column, const QColor& color);
    QColor seriesFill(int column) const;

    void setPlotBackdrop(const QColor& color);  // white unless set
    QColor plotBackdrop() const { return m_backdrop; }

    void setLegendVisible(bool visible);  // hidden unless set
    bool legendVisible() const { return m_legendVisible; }
    // Where the legend stands beside the plot: above it unless set.
    void setLegendLocation(LegendLocation location);
    LegendLocation legendLocation() const { return m_legendLocation; }
    void setLegendFont(const QString& family, double points, bool bold, const QColor& color);
    QFont legendFont() const { return m_legendFont; }
    QColor legendColor() const { return m_legendColor; }

    void refresh();
    // The chart as drawn now, at the widget's size in pixels (a null image
    // when the widget has no area).
    QImage picture();
    // Puts picture() on the system clipboard.
    void editCopy();

    // The Qt chart drawn, brought up to date with every setting so far.
    QChart* chart() const;

    // The window's scaling: every font (title, axis titles and labels,
    // legend) is drawn at its size times the font ratios applied so far;
    // the sizes read back stay as set.
    void scaleContent(float x, float y, float f) override;
    double fontZoom() const { return m_fontZoom; }
    // The row labels as the X axis draws them: as given where they fit side
    // by side; otherwise broken between words into two lines, and standing
    // upright where even that is too wide. Never shortened.
    QStringList shownRowLabels() const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct SeriesLook {
        QColor fill;
        bool markerSet = false;  // setPointMarker was called: autoMarkers no longer applies
        MarkerStyle markerStyle = MarkerStyle::None;
        bool markerVisible = false;
        QColor pointFill;
    };
    struct AxisLook {
        QString title;
        QFont titleFont;
        bool titleVertical = false;
        QFont labelFont;
        QColor labelColor;
    };

    bool validRow(int row) const { return row >= 1 && row <= m_rowCount; }
    bool validColumn(int column) const { return column >= 1 && column <= m_columnCount; }
    static bool validSeries(int column) { return column >= 1 && column <= kMaxCount; }
    SeriesLook seriesLook(int column) const;
    AxisLook& look(Axis axis) { return m_axes[static_cast<std::size_t>(axis)]; }
    const AxisLook& look(Axis axis) const { return m_axes[static_cast<std::size_t>(axis)]; }

    // Every change only marks the drawing stale; one rebuild follows on the
    // next pass of the event loop, or earlier when the drawing is needed.
    void scheduleRebuild();
    void bringUpToDate() const;
    void rebuild() const;
    void buildBars() const;
    void buildLines() const;
    QStringList categories() const;
    void fitRowLabels(QBarCategoryAxis* x) const;
    void thinRowLabels(QBarCategoryAxis* x, qreal room, qreal extent) const;
    void styleAxes() const;
    QFont zoomed(QFont font) const;

    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;  // owned by m_view
    QTimer* m_rebuildTimer = nullptr;
    mutable bool m_stale = true;
    mutable QSize m_builtSize;  // the control's size at the last rebuild

    ChartType m_type = ChartType::Bar2d;
    int m_rowCount = kDefaultRows;
    int m_columnCount = kDefaultColumns;
    int m_row = 1;
    int m_column = 1;
    std::vector<QString> m_rowLabels;                // index row - 1
    std::vector<QString> m_columnLabels;             // index column - 1
    std::map<int, SeriesLook> m_series;              // column -> look given
    std::map<std::pair<int, int>, QString> m_cells;  // (row, column) -> text as given

    QString m_title;
    QFont m_titleFont;
    std::array<AxisLook, 3> m_axes;
    bool m_autoMarkers = true;
    QColor m_backdrop = kWhite;
    bool m_legendVisible = false;
    LegendLocation m_legendLocation = LegendLocation::Top;
    QFont m_legendFont;
    QColor m_legendColor;
    double m_fontZoom = 1;
};

// The value of a cell's text: a finite number in the C locale, with blanks
// around it allowed; nothing otherwise.
std::optional<double> parseNumberText(const QString& text);

}  // namespace tessaro::ui
