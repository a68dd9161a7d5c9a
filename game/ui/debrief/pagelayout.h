// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief's page layout: blocks of known height placed down the pages,
// headings, paragraphs, and grids drawn as the windows' grids, with the
// lengths, fonts and colours every page kind shares.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/look/palette.h"

class QPainter;
class QPaintDevice;

namespace tessaro::ui::debrief {

// The pages are painted at 96 dots per inch, the resolution the charts are
// laid out at on the offscreen screen, so a chart's scene goes onto the page
// one to one and every font keeps its point size. Lengths below are in
// points and turned into dots by pt().
inline constexpr double kDotsPerPoint = 96.0 / 72.0;
constexpr double pt(double points) {
    return points * kDotsPerPoint;
}

inline constexpr double kMargin = 42;        // around the page
inline constexpr double kFooterHeight = 18;  // below the content
inline constexpr double kGap = 12;           // between blocks
inline constexpr double kHeadingHeight = 26;
inline constexpr double kCellPadding = 3;
inline constexpr double kSmallestFont = 6;

// The windows' colours, under the names the pages know them by.
inline constexpr QColor kFixedBack = kFixedCellBack;
inline constexpr QColor kAxisLabels = kViolet;
inline constexpr QColor kBeforePlan = kBeforePlanBars;
inline constexpr QColor kAfterPlan = kAfterPlanBars;
inline constexpr QColor kUp = kRising;
inline constexpr QColor kGrid = kChartGrid;

QString qs(const std::string& s);
// A number as a whole in the store's plain text.
QString whole(double v);
// A change with its sign, as a gain or a loss of the value of the game.
QString signedWhole(double v);

QFont font(const QString& family, double points, bool bold);
QFont headingFont();
QFont gridFont();
QFont bodyFont();
QFont footerFont();

// Text that keeps to its box: wrapped at blanks where it is too wide, and
// drawn smaller where even one word is too wide, as the windows' labels do.
struct FittedText {
    QFont font;
    QStringList lines;
    double lineHeight = 0;
    double height() const { return lines.size() * lineHeight; }
};

FittedText fitText(const QString& text, const QFont& base, double width, QPaintDevice* device,
                   int maxLines = 3);
void drawFitted(QPainter& p, const QRectF& box, const FittedText& t, Qt::Alignment align,
                const QColor& color);

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
    double contentHeight() const { return m_content.height(); }
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

// Headings and paragraphs.
Paint headingPaint(const QString& text, Qt::Alignment align = Qt::AlignLeft);
void addHeading(Pager& pager, const QString& text, double keep);
void addParagraph(Pager& pager, QPaintDevice* device, const QString& text);

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

GridLayout layOut(const Grid& grid, double width, QPaintDevice* device);

// Adds the grid row by row. A grid that flows onto another page repeats its
// first `headerRows` rows there; one kept together moves to the next page
// whole when it does not fit.
enum class Flow { Split, KeepTogether };

void addGrid(Pager& pager, const Grid& grid, QPaintDevice* device, std::size_t headerRows = 0,
             Flow flow = Flow::Split);

}  // namespace tessaro::ui::debrief
