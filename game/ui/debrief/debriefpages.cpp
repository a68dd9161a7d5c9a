// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/debrief/debriefpages.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>

#include "model/rounding.h"
#include "store/connection.h"
#include "store/numbertext.h"
#include "ui/components/mschart.h"
#include "ui/look/palette.h"
#include "ui/look/textfit.h"
#include "ui/windows/plotform.h"

namespace tessaro::ui::debrief {
namespace {

// The pages are painted at 96 dots per inch, the resolution the charts are
// laid out at on the offscreen screen, so a chart's scene goes onto the page
// one to one and every font keeps its point size. Lengths below are in
// points and turned into dots by pt().
constexpr double kDotsPerPoint = 96.0 / 72.0;
constexpr double pt(double points) {
    return points * kDotsPerPoint;
}

constexpr double kMargin = 42;        // around the page
constexpr double kFooterHeight = 18;  // below the content
constexpr double kGap = 12;           // between blocks
constexpr double kHeadingHeight = 26;
constexpr double kCellPadding = 3;
constexpr double kSmallestFont = 6;

// The windows' colours, under the names the pages know them by.
const QColor kFixedBack = kFixedCellBack;
const QColor kAxisLabels = kViolet;
const QColor kBeforePlan = kBeforePlanBars;
const QColor kAfterPlan = kAfterPlanBars;
const QColor kUp = kRising;
const QColor kGrid = kChartGrid;

const char* const kSheetLines[] = {
    "1. Earnings From Orders Filled in this plan :",
    "1. Costs of Order Backlog in this plan :",
    "2. Costs of Production in this plan :",
    "3. Costs of Inventory in this plan :",
    "   a) Costs of Hiring New People :",
    "   b) Salaries to Experienced People :",
    "   c) Salaries to Trainees :",
    "   d) Costs of people quitting :",
    "Total, (a) + (b) + (c) + (d) :",
    "5. Total Costs in this plan (1+2+3+4)",
    "Value of The Game :      ",
    "Average Value of The Game :      ",
};

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString whole(double v) {
    return qs(store::numberText(v));
}

// A change with its sign, as a gain or a loss of the value of the game.
QString signedWhole(double v) {
    return v > 0 ? "+" + whole(v) : whole(v);
}

QFont font(const QString& family, double points, bool bold) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont headingFont() {
    return font("Times New Roman", 16, true);
}
QFont gridFont() {
    return font("Times New Roman", 10, true);
}
QFont bodyFont() {
    return font("Times New Roman", 11, false);
}
QFont footerFont() {
    return font("Arial", 8, false);
}

// ---------------------------------------------------------------------------
// Text that keeps to its box: wrapped at blanks where it is too wide, and
// drawn smaller where even one word is too wide, as the windows' labels do.

struct FittedText {
    QFont font;
    QStringList lines;
    double lineHeight = 0;
    double height() const { return lines.size() * lineHeight; }
};

QStringList wrap(const QString& text, const QFontMetricsF& fm, double width, bool* fits) {
    *fits = true;
    if (fm.horizontalAdvance(text) <= width) return {text};
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (fm.horizontalAdvance(candidate) <= width || line.isEmpty()) {
            line = candidate;
        } else {
            lines << line;
            line = word;
        }
        if (fm.horizontalAdvance(line) > width) *fits = false;
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

FittedText fitText(const QString& text, const QFont& base, double width, QPaintDevice* device,
                   int maxLines = 3) {
    FittedText out;
    const auto layOut = [&](double size) {
        out.font = base;
        out.font.setPointSizeF(size);
        const QFontMetricsF fm(out.font, device);
        bool fits = true;
        out.lines = wrap(text, fm, width, &fits);
        out.lineHeight = fm.height();
        return fits && out.lines.size() <= maxLines;
    };
    layOut(largestFittingSize(base.pointSizeF(), kSmallestFont, layOut).points);
    return out;
}

void drawFitted(QPainter& p, const QRectF& box, const FittedText& t, Qt::Alignment align,
                const QColor& color) {
    p.setFont(t.font);
    p.setPen(color);
    const double top = (align & Qt::AlignTop)      ? box.top()
                       : (align & Qt::AlignBottom) ? box.bottom() - t.height()
                                                   : box.center().y() - t.height() / 2;
    for (int i = 0; i < t.lines.size(); ++i) {
        const QRectF line(box.left(), top + i * t.lineHeight, box.width(), t.lineHeight);
        p.drawText(line, static_cast<int>((align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter),
                   t.lines[i]);
    }
}

// ---------------------------------------------------------------------------
// The pages: blocks of known height placed from the top down, a new page
// wherever the next block does not fit. Painting waits until every page is
// known, so that each footer can say how many there are.

using Paint = std::function<void(QPainter&, const QRectF&)>;

struct Placed {
    QRectF box;
    Paint paint;
};

class Pager {
public:
    explicit Pager(const QRectF& content) : m_content(content) { newPage(); }

    double width() const { return m_content.width(); }
    double remaining() const { return m_content.bottom() - m_y; }
    bool pageEmpty() const { return m_pages.back().empty(); }

    // Places a block; `keep` more dots must fit below it on the same page
    // (a heading stays with what it heads).
    void add(double height, Paint paint, double keep = 0) {
        if (!pageEmpty() && m_y + height + keep > m_content.bottom()) {
            newPage();
            for (const auto& [h, p] : m_continuation) place(h, p);
        }
        place(height, std::move(paint));
    }
    void space(double height) {
        if (!pageEmpty()) m_y += height;
    }
    void newPage() {
        if (!m_pages.empty() && pageEmpty()) return;
        m_pages.emplace_back();
        m_y = m_content.top();
    }
    // Blocks repeated at the top of each page a table flows onto.
    void setContinuation(std::vector<std::pair<double, Paint>> blocks) {
        m_continuation = std::move(blocks);
    }

    const std::vector<std::vector<Placed>>& pages() const { return m_pages; }

private:
    void place(double height, Paint paint) {
        m_pages.back().push_back(
            {QRectF(m_content.left(), m_y, m_content.width(), height), std::move(paint)});
        m_y += height;
    }

    QRectF m_content;
    double m_y = 0;
    std::vector<std::vector<Placed>> m_pages;
    std::vector<std::pair<double, Paint>> m_continuation;
};

// ---------------------------------------------------------------------------
// Headings and paragraphs.

Paint headingPaint(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    return [text, align](QPainter& p, const QRectF& box) {
        p.fillRect(box, kHeadingBack);
        p.setFont(headingFont());
        p.setPen(kHeadingText);
        p.drawText(box.adjusted(pt(8), 0, -pt(8), 0), static_cast<int>(align | Qt::AlignVCenter),
                   text);
    };
}

void addHeading(Pager& pager, const QString& text, double keep) {
    pager.add(pt(kHeadingHeight), headingPaint(text), keep);
}

void addParagraph(Pager& pager, QPaintDevice* device, const QString& text) {
    const QFontMetricsF fm(bodyFont(), device);
    const QRectF bound =
        fm.boundingRect(QRectF(0, 0, pager.width(), 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
    pager.add(bound.height() + pt(4), [text](QPainter& p, const QRectF& box) {
        p.setFont(bodyFont());
        p.setPen(kBlack);
        p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    });
}

// ---------------------------------------------------------------------------
// Grids drawn as the windows' grids: widths and heights in twips, scaled to
// the page's width; a row grows where a text needs more than one line.

struct Cell {
    QString text;
    Qt::Alignment align = Qt::AlignCenter;
    QColor back = kWhite;
    QColor fore = kBlack;
    int span = 1;  // columns the cell reaches over
};

using Row = std::vector<Cell>;

struct Grid {
    std::vector<double> widths;  // twips
    double rowHeight = 500;      // twips
    std::vector<Row> rows;
};

struct GridLayout {
    std::vector<double> columnWidths;  // dots
    std::vector<double> rowHeights;    // dots
    std::vector<std::vector<FittedText>> texts;
};

GridLayout layOut(const Grid& grid, double width, QPaintDevice* device) {
    GridLayout layout;
    double total = 0;
    for (double w : grid.widths) total += w;
    const double scale = width / total;
    for (double w : grid.widths) layout.columnWidths.push_back(w * scale);
    for (const Row& row : grid.rows) {
        double height = grid.rowHeight * scale;
        std::vector<FittedText> texts;
        std::size_t column = 0;
        for (const Cell& cell : row) {
            double w = 0;
            for (int s = 0; s < cell.span && column < layout.columnWidths.size(); ++s, ++column)
                w += layout.columnWidths[column];
            texts.push_back(fitText(cell.text, gridFont(), w - 2 * pt(kCellPadding), device));
            height = std::max(height, texts.back().height() + 2 * pt(kCellPadding));
        }
        layout.rowHeights.push_back(height);
        layout.texts.push_back(std::move(texts));
    }
    return layout;
}

Paint rowPaint(const Row& row, const GridLayout& layout, std::size_t r) {
    std::vector<double> widths;
    std::size_t column = 0;
    for (const Cell& cell : row) {
        double w = 0;
        for (int s = 0; s < cell.span && column < layout.columnWidths.size(); ++s, ++column)
            w += layout.columnWidths[column];
        widths.push_back(w);
    }
    const auto texts = layout.texts[r];
    return [row, widths, texts](QPainter& p, const QRectF& box) {
        double x = box.left();
        for (std::size_t c = 0; c < row.size(); ++c) {
            const QRectF cellBox(x, box.top(), widths[c], box.height());
            p.fillRect(cellBox, row[c].back);
            p.setPen(QPen(kRule, pt(0.5)));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cellBox);
            drawFitted(p,
                       cellBox.adjusted(pt(kCellPadding), pt(kCellPadding), -pt(kCellPadding),
                                        -pt(kCellPadding)),
                       texts[c], row[c].align, row[c].fore);
            x += widths[c];
        }
    };
}

// Adds the grid row by row. A grid that flows onto another page repeats its
// first `headerRows` rows there; one kept together moves to the next page
// whole when it does not fit.
enum class Flow { Split, KeepTogether };

void addGrid(Pager& pager, const Grid& grid, QPaintDevice* device, std::size_t headerRows = 0,
             Flow flow = Flow::Split) {
    const GridLayout layout = layOut(grid, pager.width(), device);
    double below = 0;
    for (std::size_t r = 1; r < layout.rowHeights.size(); ++r) below += layout.rowHeights[r];
    std::vector<std::pair<double, Paint>> header;
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        Paint paint = rowPaint(grid.rows[r], layout, r);
        if (r < headerRows) header.emplace_back(layout.rowHeights[r], paint);
        // A header row stays with the first row below it.
        double keep = r < headerRows && r + 1 < grid.rows.size() ? layout.rowHeights[r + 1] : 0;
        if (flow == Flow::KeepTogether && r == 0) keep = below;
        pager.add(layout.rowHeights[r], std::move(paint), keep);
        if (r + 1 == headerRows) pager.setContinuation(header);
    }
    pager.setContinuation({});
}

// ---------------------------------------------------------------------------
// The two grids of the windows, with their texts, formats and colours.

Grid sheetGrid(const model::PerformanceSheet& sheet) {
    const model::TextGrid texts = sheet.grid();
    Grid grid{{8000, 8000}, 500, {}};
    for (std::size_t r = 0; r < texts.size(); ++r) {
        const bool heading = r == 0 || r == 2;
        const bool shaded = heading || r == 12;
        const QColor back = shaded ? kShade : kWhite;
        const Qt::Alignment lineAlign =
            heading ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
        if (r == 6) {
            // "4. Manpower Costs :" reads once across both columns.
            grid.rows.push_back({{qs(texts[r][0]), lineAlign, back, kBlack, 2}});
            continue;
        }
        QColor valueColour = kBlack;
        if (r == 13 && sheet.gameValueRed()) valueColour = kRed;
        if (r == 14 && sheet.averageValueRed()) valueColour = kRed;
        grid.rows.push_back({{qs(texts[r][0]), lineAlign, back, kBlack, 1},
                             {qs(texts[r][1]), Qt::AlignCenter, back, valueColour, 1}});
    }
    return grid;
}

Grid decisionGrid(const model::PlanReport& report) {
    Grid grid{{8000, 8000}, 800, {}};
    for (const auto& row : report.decisionGrid()) grid.rows.push_back({{qs(row[0])}, {qs(row[1])}});
    return grid;
}

Grid variablesGrid(const model::PlanReport& report) {
    Grid grid{{3000, 2500, 2500, 3000, 2500, 2500}, 500, {}};
    const model::TextGrid texts = report.variablesGrid();
    for (std::size_t r = 0; r < texts.size(); ++r) {
        Row row;
        for (std::size_t c = 0; c < texts[r].size(); ++c) {
            // One fixed row and one fixed column; the value columns centred.
            Cell cell{qs(texts[r][c])};
            const bool valueColumn = c == 1 || c == 2 || c == 4 || c == 5;
            cell.align = r > 0 && valueColumn ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
            if (r == 0 || c == 0) cell.back = kFixedBack;
            row.push_back(cell);
        }
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

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

// ---------------------------------------------------------------------------
// The score: how the value of the game went from the quarter before to the
// last one, bar by bar.

struct Step {
    QString label;
    double from = 0;
    double to = 0;
    QColor colour;
    QString valueText;
};

struct Comparison {
    QString beforeHead;  // the column of the quarter before
    QString lastHead;
    std::array<std::int32_t, 12> before{};
    std::array<std::int32_t, 12> last{};
    bool firstQuarter = false;
    QString beforeName;  // the start bar
    QString lastName;    // the end bar
};

Comparison compare(const Data& data) {
    Comparison c;
    const QuarterScore& last = data.quarters.back();
    c.last = last.sheet;
    c.lastHead = "Plan-Quarter " + qs(last.planNumberText);
    c.lastName = "Plan " + qs(last.planNumberText);
    if (data.quarters.size() >= 2) {
        const QuarterScore& before = data.quarters[data.quarters.size() - 2];
        c.before = before.sheet;
        c.beforeHead = "Plan-Quarter " + qs(before.planNumberText);
        c.beforeName = "Plan " + qs(before.planNumberText);
    } else {
        // Before the first quarter nothing was earned or spent.
        c.firstQuarter = true;
        c.beforeHead = "Before Play";
        c.beforeName = "Start";
    }
    return c;
}

std::vector<Step> waterfallSteps(const Comparison& c) {
    std::vector<Step> steps;
    const double start = c.before[kGameValue];
    steps.push_back({c.beforeName, 0, start, kBeforePlan, whole(start)});
    double level = start;
    const auto change = [&](const QString& label, double effect) {
        steps.push_back(
            {label, level, level + effect, effect >= 0 ? kUp : kRed, signedWhole(effect)});
        level += effect;
    };
    change("Earnings", double(c.last[kEarnings]) - c.before[kEarnings]);
    const std::pair<const char*, SheetValue> costs[] = {
        {"Order Backlog", kBacklogCost},
        {"Production", kProductionCost},
        {"Inventory", kInventoryCost},
        {"Hiring New People", kHiringCost},
        {"Salaries Exp. People", kExperiencedSalaries},
        {"Salaries Trainees", kTraineeSalaries},
        {"People Quitting", kQuittingCost},
    };
    for (const auto& [label, which] : costs)
        change(label, -(double(c.last[which]) - c.before[which]));
    // The stored figures of an edited game need not add up; the bar that
    // makes up the difference keeps the chart's end true to the sheet.
    const double end = c.last[kGameValue];
    if (level != end) change("Unaccounted", end - level);
    steps.push_back({c.lastName, 0, end, kAfterPlan, whole(end)});
    return steps;
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

Grid quarterTable(const Data& data) {
    Grid grid{{2500, 3500, 3500, 3500}, 340, {}};
    grid.rows.push_back({{"Plan-Quarter", Qt::AlignCenter, kShade},
                         {"Value of The Game", Qt::AlignCenter, kShade},
                         {"Running Total", Qt::AlignCenter, kShade},
                         {"Average Value of The Game", Qt::AlignCenter, kShade}});
    for (const QuarterScore& q : data.quarters) {
        const auto cell = [](double v) {
            return Cell{whole(v), Qt::AlignCenter, kWhite, v < 0 ? kRed : kBlack};
        };
        grid.rows.push_back({{qs(q.planNumberText)},
                             cell(q.sheet[kGameValue]),
                             cell(q.runningTotal),
                             cell(q.sheet[kAverageValue])});
    }
    return grid;
}

Grid comparisonTable(const Comparison& c) {
    Grid grid{{6200, 2200, 2200, 2200, 3200}, 340, {}};
    grid.rows.push_back({{"Values in 1000 Rs.", Qt::AlignCenter, kShade},
                         {c.beforeHead, Qt::AlignCenter, kShade},
                         {c.lastHead, Qt::AlignCenter, kShade},
                         {"Change", Qt::AlignCenter, kShade},
                         {"Effect on the Value of The Game", Qt::AlignCenter, kShade}});
    const auto line = [&](SheetValue which, int sign, QColor back = kWhite) {
        const double change = double(c.last[which]) - c.before[which];
        const double effect = sign * change;
        grid.rows.push_back(
            {{kSheetLines[which], Qt::AlignLeft | Qt::AlignVCenter, back},
             {whole(c.before[which]), Qt::AlignCenter, back, c.before[which] < 0 ? kRed : kBlack},
             {whole(c.last[which]), Qt::AlignCenter, back, c.last[which] < 0 ? kRed : kBlack},
             {signedWhole(change), Qt::AlignCenter, back},
             {signedWhole(effect), Qt::AlignCenter, back, effect < 0 ? kRed : kBlack}});
    };
    line(kEarnings, 1);
    line(kBacklogCost, -1);
    line(kProductionCost, -1);
    line(kInventoryCost, -1);
    grid.rows.push_back(
        {{"4. Manpower Costs :", Qt::AlignLeft | Qt::AlignVCenter, kWhite, kBlack, 5}});
    for (SheetValue part : {kHiringCost, kExperiencedSalaries, kTraineeSalaries, kQuittingCost})
        line(part, -1);
    line(kManpowerCost, -1);
    line(kTotalCost, -1, kShade);
    line(kGameValue, 1);
    return grid;
}

// ---------------------------------------------------------------------------

void addTitle(Pager& pager, const Data& data) {
    pager.add(pt(44), [](QPainter& p, const QRectF& box) {
        p.fillRect(box, kBoardBack);
        p.setFont(font("georgia", 24, true));
        p.setPen(kBlack);
        p.drawText(box, Qt::AlignCenter, "Tessaro");
    });
    const QString count = QString::number(data.planCount);
    pager.add(pt(28), [count](QPainter& p, const QRectF& box) {
        p.fillRect(box, kMagenta);
        p.setPen(kWhite);
        const QFont label = font("GEORGIA", 14, true);
        p.setFont(label);
        const QString text = "   PLAN-QUARTER NO.    ::  ";
        const double w = QFontMetricsF(label, p.device()).horizontalAdvance(text);
        const QRectF all = box.adjusted(pt(8), 0, -pt(8), 0);
        const double numberWidth = pt(60);
        const double left = all.center().x() - (w + numberWidth) / 2;
        p.drawText(QRectF(left, box.top(), w, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
        p.setFont(font("Arial", 14, true));
        p.drawText(QRectF(left + w, box.top(), numberWidth, box.height()), Qt::AlignCenter, count);
    });
    pager.space(pt(kGap));
    pager.add(pt(kHeadingHeight), headingPaint("Debrief Report", Qt::AlignCenter));
    pager.space(pt(kGap));
}

}  // namespace

namespace {

// What tells one state of a game from the next: the row counts and the last
// plan numbers of the two tables a run appends to.
std::string stateKey(const store::Recordset& plio, store::Recordset& pldi) {
    std::string key = std::to_string(plio.recordCount()) + "|" + std::to_string(pldi.recordCount());
    if (pldi.recordCount() > 0) {
        pldi.moveLast();
        key += "|" + pldi["ZNPLPD"].toText();
    }
    return key;
}

std::string stateKey(const std::string& connectionString) {
    store::Connection db(connectionString, store::Access::Read);
    db.execute("BEGIN");
    const auto plio = db.openRecordset("Select * from PLIO");
    auto pldi = db.openRecordset("Select * from PLDI");
    db.execute("COMMIT");
    return stateKey(plio, pldi);
}

}  // namespace

ReadResult readData(const std::string& connectionString) {
    ReadResult result;
    Data& data = result.data;
    std::string key;
    {
        store::Connection db(connectionString, store::Access::Read);
        // Both tables from one snapshot.
        db.execute("BEGIN");
        const auto plio = db.openRecordset("Select * from PLIO");
        auto pldi = db.openRecordset("Select * from PLDI");
        db.execute("COMMIT");
        data.planCount = plio.recordCount();
        constexpr std::array<const char*, 12> columns = {"ZTE",   "zouc", "zpc",  "zinvc",
                                                         "zhc",   "zsc",  "zttc", "zqc",
                                                         "zinsc", "ZTC",  "ZVG",  "ZCVG"};
        // Whole numbers with halves to even, as the sheet converts them.
        const auto wholeNumber = [](const store::Value& v) {
            const auto n = v.number();
            return n ? model::toInt32(*n) : 0;
        };
        for (; !pldi.eof(); pldi.moveNext()) {
            QuarterScore q;
            q.planNumberText = pldi["ZNPLPD"].toText();
            for (std::size_t i = 0; i < columns.size(); ++i)
                q.sheet[i] = wholeNumber(pldi[columns[i]]);
            q.runningTotal = wholeNumber(pldi["ZTVG"]);
            data.quarters.push_back(std::move(q));
        }
        key = stateKey(plio, pldi);
    }
    // The windows' own readers give the sheet, the report and the plots,
    // with the windows' texts, rounding and messages.
    data.sheet = model::loadPerformanceSheet(connectionString);
    if (data.sheet.failure) {
        result.failure = data.sheet.failure;
        return result;
    }
    data.report = model::loadPlanReport(connectionString);
    if (data.report.failure) {
        result.failure = data.report.failure;
        return result;
    }
    for (int s = 1; s <= model::plotChoices(model::PlotKind::PastPlan); ++s)
        data.plots.push_back(model::loadPlot(connectionString, model::PlotKind::PastPlan, s));
    for (int s = 1; s <= model::plotChoices(model::PlotKind::GameValue); ++s)
        data.plots.push_back(model::loadPlot(connectionString, model::PlotKind::GameValue, s));
    result.changedMeanwhile = data.quarters.empty() || stateKey(connectionString) != key;
    return result;
}

int paintPages(QPagedPaintDevice& device, QPainter& painter, const Data& data) {
    const QRectF page(QPointF(0, 0), QSizeF(device.width(), device.height()));
    const QRectF content =
        page.adjusted(pt(kMargin), pt(kMargin), -pt(kMargin), -pt(kMargin) - pt(kFooterHeight));
    Pager pager(content);
    QPaintDevice* dev = &device;

    // Page 1: the title and the performance sheet.
    addTitle(pager, data);
    addHeading(pager,
               "Performance Sheet For Plan Quarter Number  :  " + qs(data.sheet.planNumberText),
               pt(60));
    pager.space(pt(6));
    addGrid(pager, sheetGrid(data.sheet), dev);

    // Page 2: the plan report.
    pager.newPage();
    addHeading(pager, "Plan Report For Plan Quarter Number  :  " + qs(data.report.planNumberText),
               pt(60));
    pager.space(pt(kGap));
    pager.add(pt(kHeadingHeight), headingPaint("Your Decision Vs Actual", Qt::AlignCenter), pt(60));
    pager.space(pt(6));
    addGrid(pager, decisionGrid(data.report), dev);
    pager.space(pt(2 * kGap));
    addGrid(pager, variablesGrid(data.report), dev, 1);

    // The plots, two to a page under the windows' caption.
    const double plotHeight = (content.height() - pt(kHeadingHeight) - 2 * pt(kGap)) / 2;
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

    // The score.
    pager.newPage();
    addHeading(pager, "How the Value of The Game Came About", pt(80));
    pager.space(pt(6));
    addParagraph(pager, dev,
                 "The value of the game of a plan-quarter is its earnings from the orders "
                 "filled less its total costs. The running total adds up the values of every "
                 "plan-quarter played; the average is the running total divided by the "
                 "plan-quarters played. All values are in 1000 Rs.");
    pager.space(pt(6));
    addGrid(pager, quarterTable(data), dev, 1);

    // The last quarter against the one before: the waterfall, then its
    // lines as figures.
    const Comparison c = compare(data);
    pager.space(pt(2 * kGap));
    const double waterfallHeight = pt(300);
    addHeading(pager,
               "Plan-Quarter " + qs(data.quarters.back().planNumberText) + " Against " +
                   (c.firstQuarter ? QString("the Start of Play") : c.beforeHead),
               pt(6) + waterfallHeight);
    pager.space(pt(6));
    pager.add(waterfallHeight,
              waterfallPaint(waterfallSteps(c),
                             "Value of The Game: " + c.beforeName + " to " + c.lastName, dev));
    pager.space(pt(2 * kGap));
    const Grid lines = comparisonTable(c);
    double linesHeight = 0;
    for (double h : layOut(lines, pager.width(), dev).rowHeights) linesHeight += h;
    addHeading(pager, "The Sheet's Lines: " + c.lastHead + " Against " + c.beforeHead,
               pt(6) + linesHeight);
    pager.space(pt(6));
    addGrid(pager, lines, dev, 1, Flow::KeepTogether);

    // Paint, with a footer on every page.
    const auto& pages = pager.pages();
    const int count = static_cast<int>(pages.size());
    const QString footerLeft =
        "Tessaro  -  Debrief Report  -  PLAN-QUARTER NO. :: " + QString::number(data.planCount);
    for (int i = 0; i < count; ++i) {
        if (i > 0) device.newPage();
        painter.setRenderHint(QPainter::Antialiasing);
        for (const Placed& placed : pages[static_cast<std::size_t>(i)]) {
            painter.save();
            placed.paint(painter, placed.box);
            painter.restore();
        }
        const QRectF footer(content.left(), page.bottom() - pt(kMargin) - pt(kFooterHeight) + pt(6),
                            content.width(), pt(kFooterHeight));
        painter.setPen(QPen(kRule, pt(0.5)));
        painter.drawLine(footer.topLeft(), footer.topRight());
        painter.setFont(footerFont());
        painter.setPen(kFooterText);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, footerLeft);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                         "Page " + QString::number(i + 1) + " of " + QString::number(count));
    }
    return count;
}

}  // namespace tessaro::ui::debrief
