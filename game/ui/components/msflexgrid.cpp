// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/msflexgrid.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/look/palette.h"
#include "ui/look/textfit.h"
#include "ui/look/twips.h"

namespace tessaro::ui {
namespace {

// 64 pixels on a 96 DPI screen.
constexpr int kDefaultColWidthTwips = 960;
// Room above and below the text of a row of default height, in pixels.
constexpr int kRowPaddingPixels = 4;

bool looksNumeric(const QString& text) {
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

Qt::Alignment toQt(MSFlexGrid::Alignment alignment, const QString& text) {
    using A = MSFlexGrid::Alignment;
    switch (alignment) {
        case A::LeftTop:
            return Qt::AlignLeft | Qt::AlignTop;
        case A::LeftCenter:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case A::LeftBottom:
            return Qt::AlignLeft | Qt::AlignBottom;
        case A::CenterTop:
            return Qt::AlignHCenter | Qt::AlignTop;
        case A::CenterCenter:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case A::CenterBottom:
            return Qt::AlignHCenter | Qt::AlignBottom;
        case A::RightTop:
            return Qt::AlignRight | Qt::AlignTop;
        case A::RightCenter:
            return Qt::AlignRight | Qt::AlignVCenter;
        case A::RightBottom:
            return Qt::AlignRight | Qt::AlignBottom;
        case A::General:
            break;
    }
    return (looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

int clampIndex(int index, int count) {
    return std::clamp(index, 0, std::max(count - 1, 0));
}

// How much sizes that together exceed the room (when room > 0) must shrink.
double shrinkOf(const std::vector<double>& sizes, double room) {
    double total = 0;
    for (double s : sizes) total += s;
    return room > 0 && total > room ? room / total : 1;
}

// Sizes in pixels, shrunk all in one proportion where together they exceed
// `room` (when room > 0). Their edges are rounded, so that they add up to
// no more than the room.
std::vector<double> fitted(std::vector<double> sizes, double room) {
    const double shrink = shrinkOf(sizes, room);
    double start = 0;
    double end = 0;
    for (double& s : sizes) {
        end += s * shrink;
        const double width = std::round(end) - std::round(start);
        start = end;
        s = width;
    }
    return sizes;
}

// Whether a text shows whole in a box of that size when it wraps between
// words.
bool wrappedTextFits(const QString& text, const QFont& font, double width, double height) {
    if (text.trimmed().isEmpty()) return true;
    if (width <= 0 || height <= 0) return false;
    const QFontMetricsF metrics(font);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& word : text.split(blanks, Qt::SkipEmptyParts))
        if (metrics.horizontalAdvance(word) > width) return false;
    return metrics.boundingRect(QRectF(0, 0, width, 1e7), Qt::TextWordWrap, text).height() <=
           height;
}

}  // namespace

MSFlexGrid::MSFlexGrid(QWidget* parent)
    : QWidget(parent),
      m_backColor(kWhite),
      m_foreColor(kBlack),
      m_backColorFixed(kFixedCellBack),
      m_table(new QTableWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    // The fixed rows and columns are cells of their own, so the table's
    // headers stay hidden; sizes come only from setColWidth and setRowHeight.
    for (QHeaderView* header : {m_table->horizontalHeader(), m_table->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(0);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setShowGrid(true);
    // The styles draw grid lines in a light grey that vanishes between the
    // grey fixed cells; a darker grey shows on them and on the white ones.
    m_table->setStyleSheet(QString("QTableView { gridline-color: %1; }").arg(kGridLine.name()));
    // Text too long for its cell is cut at the cell's edge, not wrapped or
    // shortened with an ellipsis.
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    setRows(2);
    setCols(2);
    setFixedRows(1);
    setFixedCols(1);
    setRow(1);
    setCol(1);
}

MSFlexGrid::~MSFlexGrid() = default;

void MSFlexGrid::setRows(int rows) {
    if (rows < 0 || rows == m_rows) return;
    const int old = m_rows;
    m_cells.resize(rows, std::vector<Cell>(m_cols));
    m_rowHeights.resize(rows, -1);
    m_mergeRows.resize(rows, false);
    m_rows = rows;
    m_fixedRows = std::min(m_fixedRows, rows);  // the rows left are all still fixed
    m_table->setRowCount(rows);
    for (int r = old; r < rows; ++r) {
        for (int c = 0; c < m_cols; ++c) renderCell(r, c);
    }
    applySizes();
    clampCursor();
    invalidateMerges();
}

void MSFlexGrid::setCols(int cols) {
    if (cols < 0 || cols == m_cols) return;
    const int old = m_cols;
    for (auto& line : m_cells) line.resize(cols);
    m_colWidths.resize(cols, -1);
    m_mergeCols.resize(cols, false);
    m_cols = cols;
    m_fixedCols = std::min(m_fixedCols, cols);
    m_table->setColumnCount(cols);
    for (int c = old; c < cols; ++c) {
        for (int r = 0; r < m_rows; ++r) renderCell(r, c);
    }
    applySizes();
    clampCursor();
    invalidateMerges();
}

void MSFlexGrid::setFixedRows(int fixedRows) {
    if (fixedRows < 0 || fixedRows > m_rows || fixedRows == m_fixedRows) return;
    m_fixedRows = fixedRows;
    renderAll();
    invalidateMerges();
}

void MSFlexGrid::setFixedCols(int fixedCols) {
    if (fixedCols < 0 || fixedCols > m_cols || fixedCols == m_fixedCols) return;
    m_fixedCols = fixedCols;
    renderAll();
    invalidateMerges();
}

void MSFlexGrid::setColWidth(int col, int twips) {
    if (!validCol(col) || twips < -1) return;
    m_colWidths[col] = twips;
    applySizes();
}

int MSFlexGrid::colWidth(int col) const {
    if (!validCol(col)) return 0;
    return m_colWidths[col] < 0 ? kDefaultColWidthTwips : m_colWidths[col];
}

void MSFlexGrid::setRowHeight(int row, int twips) {
    if (!validRow(row) || twips < -1) return;
    m_rowHeights[row] = twips;
    applySizes();
}

int MSFlexGrid::rowHeight(int row) const {
    if (!validRow(row)) return 0;
    if (m_rowHeights[row] >= 0) return m_rowHeights[row];
    return static_cast<int>(std::lround(pixelsToTwipsY(defaultRowHeightPixels())));
}

void MSFlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (!validRow(row) || !validCol(col) || m_cells[row][col].text == text) return;
    m_cells[row][col].text = text;
    renderCell(row, col);
    if (m_mergeCells != MergeCells::Never) invalidateMerges();
}

QString MSFlexGrid::textMatrix(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    return cell(row, col).text;
}

void MSFlexGrid::setRow(int row) {
    if (!validRow(row)) return;
    m_row = m_rowSel = row;
    m_colSel = m_col;
}

void MSFlexGrid::setCol(int col) {
    if (!validCol(col)) return;
    m_col = m_colSel = col;
    m_rowSel = m_row;
}

void MSFlexGrid::setRowSel(int row) {
    if (validRow(row)) m_rowSel = row;
}

void MSFlexGrid::setColSel(int col) {
    if (validCol(col)) m_colSel = col;
}

template <typename Change>
void MSFlexGrid::formatTargets(Change change) {
    int r0 = m_row, r1 = m_row, c0 = m_col, c1 = m_col;
    if (m_fillStyle == FillStyle::Repeat) {
        r0 = std::min(m_row, m_rowSel);
        r1 = std::max(m_row, m_rowSel);
        c0 = std::min(m_col, m_colSel);
        c1 = std::max(m_col, m_colSel);
    }
    // The cursor is kept within the grid, but an empty grid has no cells.
    for (int r = std::max(r0, 0); r <= r1 && r < m_rows; ++r) {
        for (int c = std::max(c0, 0); c <= c1 && c < m_cols; ++c) {
            change(m_cells[r][c]);
            renderCell(r, c);
        }
    }
}

void MSFlexGrid::setCellFontBold(bool bold) {
    formatTargets([bold](Cell& c) { c.bold = bold; });
}

void MSFlexGrid::setCellFontSize(double points) {
    if (!std::isfinite(points) || points <= 0) return;
    formatTargets([points](Cell& c) { c.size = points; });
}

void MSFlexGrid::setCellAlignment(Alignment alignment) {
    formatTargets([alignment](Cell& c) { c.alignment = alignment; });
}

void MSFlexGrid::setCellBackColor(const QColor& color) {
    if (!color.isValid()) return;
    formatTargets([&color](Cell& c) { c.back = color; });
}

void MSFlexGrid::setCellForeColor(const QColor& color) {
    if (!color.isValid()) return;
    formatTargets([&color](Cell& c) { c.fore = color; });
}

bool MSFlexGrid::cellFontBold(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return false;
    return cell(row, col).bold.value_or(font().bold());
}

double MSFlexGrid::cellFontSize(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return 0;
    return cell(row, col).size.value_or(defaultPointSize());
}

MSFlexGrid::Alignment MSFlexGrid::cellAlignment(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return Alignment::General;
    return cell(row, col).alignment.value_or(Alignment::General);
}

QColor MSFlexGrid::cellBackColor(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    return cell(row, col).back.value_or(isFixed(row, col) ? m_backColorFixed : m_backColor);
}

QColor MSFlexGrid::cellForeColor(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    return cell(row, col).fore.value_or(m_foreColor);
}

void MSFlexGrid::setBackColorFixed(const QColor& color) {
    if (!color.isValid()) return;
    m_backColorFixed = color;
    renderAll();
}

void MSFlexGrid::setMergeCells(MergeCells mode) {
    if (mode == m_mergeCells) return;
    m_mergeCells = mode;
    invalidateMerges();
}

void MSFlexGrid::setMergeRow(int row, bool allowed) {
    if (!validRow(row) || m_mergeRows[row] == allowed) return;
    m_mergeRows[row] = allowed;
    invalidateMerges();
}

bool MSFlexGrid::mergeRow(int row) const {
    return validRow(row) && m_mergeRows[row];
}

void MSFlexGrid::setMergeCol(int col, bool allowed) {
    if (!validCol(col) || m_mergeCols[col] == allowed) return;
    m_mergeCols[col] = allowed;
    invalidateMerges();
}

bool MSFlexGrid::mergeCol(int col) const {
    return validCol(col) && m_mergeCols[col];
}

QRect MSFlexGrid::mergedArea(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    syncMerges();
    return m_blocks[static_cast<std::size_t>(row) * m_cols + col];
}

QTableWidget* MSFlexGrid::table() const {
    syncMerges();
    return m_table;
}

void MSFlexGrid::changeEvent(QEvent* event) {
    // A new font for the grid (the layout scaling multiplies every control's
    // font size) reaches the cells with no size of their own and the rows of
    // default height.
    if (event->type() == QEvent::FontChange) {
        renderAll();
        applySizes();
    }
    QWidget::changeEvent(event);
}

void MSFlexGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applySizes();
}

void MSFlexGrid::scaleContent(float x, float y, float f) {
    if (!(x > 0) || !(y > 0) || !(f > 0)) return;
    m_zoomX *= x;
    m_zoomY *= y;
    m_zoomFont *= f;
    renderAll();
    applySizes();
}

void MSFlexGrid::setShrinkToFit(bool on) {
    m_shrinkToFit = on;
    // Cells that fit need no scroll bars; texts that do not fit one line
    // break between words.
    const auto policy = on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    // Columns never shrink past their widest words, so a wide grid still
    // scrolls sideways.
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_table->setVerticalScrollBarPolicy(on && m_leastRowShrink > 0 ? Qt::ScrollBarAsNeeded
                                                                   : policy);
    m_table->setWordWrap(on);
    applySizes();
}

void MSFlexGrid::setLeastRowShrink(double share) {
    m_leastRowShrink = share > 0 && share <= 1 ? share : 0;
    setShrinkToFit(m_shrinkToFit);
}

std::vector<double> MSFlexGrid::zoomedRowPixels() const {
    std::vector<double> sizes;
    for (int r = 0; r < m_rows; ++r)
        sizes.push_back(m_rowHeights[r] < 0 ? defaultRowHeightPixels()
                                            : m_rowHeights[r] * m_zoomY / twipsPerPixelY());
    return sizes;
}

bool MSFlexGrid::rowsScroll() const {
    return m_shrinkToFit && m_leastRowShrink > 0 &&
           shrinkOf(zoomedRowPixels(), rowRoom()) < m_leastRowShrink;
}

double MSFlexGrid::columnRoom() const {
    // Rows that scroll take the scroll bar's width from the columns.
    const int bar =
        rowsScroll() ? m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table)
                     : 0;
    return width() - 2 * m_table->frameWidth() - bar;
}

double MSFlexGrid::columnShrink() const {
    if (!m_shrinkToFit) return 1;
    std::vector<double> sizes;
    for (int c = 0; c < m_cols; ++c) sizes.push_back(colWidth(c) * m_zoomX / twipsPerPixelX());
    return shrinkOf(sizes, columnRoom());
}

double MSFlexGrid::rowShrink() const {
    if (!m_shrinkToFit) return 1;
    if (rowsScroll()) return m_leastRowShrink;
    return shrinkOf(zoomedRowPixels(), rowRoom());
}

// The box is the grid's own: the table inside it is laid out only once the
// grid is shown, and the cells must fit before that.
std::vector<double> MSFlexGrid::columnPixels() const {
    std::vector<double> sizes;
    for (int c = 0; c < m_cols; ++c) sizes.push_back(colWidth(c) * m_zoomX / twipsPerPixelX());
    if (!m_shrinkToFit) {
        for (double& s : sizes) s = std::round(s);
        return sizes;
    }
    sizes = fitted(std::move(sizes), columnRoom());
    // A column shrunk narrower than its widest word at the legible size would
    // cut its texts off; it keeps that width and the grid scrolls sideways.
    const std::vector<double> least = leastColumnPixels();
    for (std::size_t c = 0; c < sizes.size(); ++c) sizes[c] = std::max(sizes[c], least[c]);
    return sizes;
}

std::vector<double> MSFlexGrid::leastColumnPixels() const {
    std::vector<double> least(static_cast<std::size_t>(m_cols), 0);
    const double margins =
        2.0 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) +
        (m_table->showGrid() ? 1 : 0);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c) {
            // A merged block's text has the room of all its columns.
            if (blockAt(r, c).width() != 1) continue;
            const QString text = shownText(cell(r, c).text);
            if (text.trimmed().isEmpty()) continue;
            QFont f = cellFont(cell(r, c));
            if (f.pointSizeF() > kLegiblePoints) f.setPointSizeF(kLegiblePoints);
            const QFontMetricsF metrics(f);
            double widest = 0;
            for (const QString& word : text.split(blanks, Qt::SkipEmptyParts))
                widest = std::max(widest, metrics.horizontalAdvance(word));
            auto& l = least[static_cast<std::size_t>(c)];
            l = std::max(l, std::ceil(widest + margins));
        }
    }
    return least;
}

bool MSFlexGrid::columnsScroll() const {
    if (!m_shrinkToFit) return false;
    // Measured against the whole width: the room beside a vertical scroll
    // bar depends on the rows, whose room depends on this.
    const double room = width() - 2 * m_table->frameWidth();
    std::vector<double> sizes;
    for (int c = 0; c < m_cols; ++c) sizes.push_back(colWidth(c) * m_zoomX / twipsPerPixelX());
    sizes = fitted(std::move(sizes), room);
    const std::vector<double> least = leastColumnPixels();
    double total = 0;
    for (std::size_t c = 0; c < sizes.size(); ++c) total += std::max(sizes[c], least[c]);
    return total > room;
}

double MSFlexGrid::rowRoom() const {
    // Columns that scroll take the scroll bar's height from the rows.
    const int bar = columnsScroll() ? m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent,
                                                                    nullptr, m_table)
                                    : 0;
    return height() - 2 * m_table->frameWidth() - bar;
}

std::vector<double> MSFlexGrid::rowPixels() const {
    std::vector<double> sizes = zoomedRowPixels();
    if (!m_shrinkToFit || rowsScroll()) {
        const double shrink = m_shrinkToFit ? m_leastRowShrink : 1;
        for (double& s : sizes) s = std::round(s * shrink);
        return sizes;
    }
    return fitted(std::move(sizes), rowRoom());
}

void MSFlexGrid::applySizes() const {
    const std::vector<double> widths = columnPixels();
    for (int c = 0; c < m_cols; ++c)
        m_table->setColumnWidth(c, static_cast<int>(widths[static_cast<std::size_t>(c)]));
    const std::vector<double> heights = rowPixels();
    for (int r = 0; r < m_rows; ++r)
        m_table->setRowHeight(r, static_cast<int>(heights[static_cast<std::size_t>(r)]));
    // Cell texts fit the sizes they are drawn at.
    if (m_shrinkToFit) renderAll();
    // A grid with cells out of sight takes the focus, so that the arrow and
    // page keys scroll to them; one that shows everything is passed over.
    double wide = 0;
    for (double w : widths) wide += w;
    double high = 0;
    for (double h : heights) high += h;
    const bool scrolls =
        wide > width() - 2 * m_table->frameWidth() || high > height() - 2 * m_table->frameWidth();
    m_table->setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
}

double MSFlexGrid::defaultPointSize() const {
    const QFont f = font();
    if (f.pointSizeF() > 0) return f.pointSizeF();
    return f.pixelSize() * 72.0 / logicalDpiY();
}

int MSFlexGrid::defaultRowHeightPixels() const {
    return QFontMetrics(font()).height() + kRowPaddingPixels;
}

QFont MSFlexGrid::cellFont(const Cell& c) const {
    QFont f = font();
    if (c.bold) f.setBold(*c.bold);
    // The grid's own font grows with the window; a size of the cell's own
    // by the grid's zoom.
    if (c.size) f.setPointSizeF(*c.size * m_zoomFont);
    return f;
}

QRect MSFlexGrid::blockAt(int row, int col) const {
    // As worked out last: a stale block is put right when the pending
    // update draws every cell again.
    const auto at = static_cast<std::size_t>(row) * m_cols + col;
    if (m_blocks.size() != static_cast<std::size_t>(m_rows) * m_cols) return QRect(col, row, 1, 1);
    return m_blocks[at];
}

QFont MSFlexGrid::fittedFont(int row, int col, const QFont& font) const {
    if (!m_shrinkToFit) return font;
    const QString text = shownText(cell(row, col).text);
    if (text.isEmpty()) return font;
    const QRect block = blockAt(row, col);
    double width = 0;
    double height = 0;
    for (int c = block.left(); c <= block.right() && c < m_cols; ++c)
        width += m_table->columnWidth(c);
    for (int r = block.top(); r <= block.bottom() && r < m_rows; ++r)
        height += m_table->rowHeight(r);
    // The item view keeps this far from the cell's sides, and the grid's
    // lines take a pixel of the cell's width and height; a text that needs
    // more is cut off with "...".
    width -=
        2.0 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1);
    if (m_table->showGrid()) {
        width -= 1;
        height -= 1;
    }
    const double points = font.pointSizeF();
    if (points <= 0) return font;
    QFont f = font;
    const FittedSize fitted = largestFittingSize(points, kLegiblePoints, [&](double size) {
        f.setPointSizeF(size);
        return wrappedTextFits(text, f, width, height);
    });
    f.setPointSizeF(fitted.points);
    return f;
}

QColor MSFlexGrid::blockColor(int row, int col, bool back) const {
    const QRect block = blockAt(row, col);
    const auto own = [&](int r, int c) -> std::optional<QColor> {
        const Cell& x = cell(r, c);
        return back ? x.back : x.fore;
    };
    if (auto top = own(block.top(), block.left())) return *top;
    for (int r = block.top(); r <= block.bottom(); ++r)
        for (int c = block.left(); c <= block.right(); ++c)
            if (auto color = own(r, c)) return *color;
    return back ? cellBackColor(block.top(), block.left())
                : cellForeColor(block.top(), block.left());
}

QFont MSFlexGrid::shownCellFont(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    syncMerges();
    const QRect block = blockAt(row, col);
    return m_table->item(block.top(), block.left())->font();
}

QColor MSFlexGrid::shownBackColor(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    syncMerges();
    return blockColor(row, col, true);
}

QColor MSFlexGrid::shownForeColor(int row, int col) const {
    if (!validRow(row) || !validCol(col)) return {};
    syncMerges();
    return blockColor(row, col, false);
}

void MSFlexGrid::renderCell(int row, int col) const {
    QTableWidgetItem* item = m_table->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        m_table->setItem(row, col, item);
    }
    const Cell& c = cell(row, col);
    item->setText(c.text);
    item->setFont(fittedFont(row, col, cellFont(c)));
    item->setTextAlignment(toQt(c.alignment.value_or(Alignment::General), c.text));
    item->setBackground(blockColor(row, col, true));
    item->setForeground(blockColor(row, col, false));
}

void MSFlexGrid::renderAll() const {
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c) renderCell(r, c);
    }
}

void MSFlexGrid::clampCursor() {
    m_row = clampIndex(m_row, m_rows);
    m_rowSel = clampIndex(m_rowSel, m_rows);
    m_col = clampIndex(m_col, m_cols);
    m_colSel = clampIndex(m_colSel, m_cols);
}

void MSFlexGrid::invalidateMerges() {
    m_mergesStale = true;
    if (m_mergeUpdatePosted) return;
    m_mergeUpdatePosted = true;
    // Filling a grid sets many texts in a row; the blocks are worked out once
    // afterwards, or earlier when someone asks for them.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_mergeUpdatePosted = false;
            syncMerges();
        },
        Qt::QueuedConnection);
}

void MSFlexGrid::syncMerges() const {
    if (!m_mergesStale) return;
    m_mergesStale = false;

    const int rows = m_rows;
    const int cols = m_cols;
    const auto at = [cols](int r, int c) { return static_cast<std::size_t>(r) * cols + c; };
    m_blocks.assign(at(rows, 0), QRect());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) m_blocks[at(r, c)] = QRect(c, r, 1, 1);
    }

    if (m_mergeCells == MergeCells::Free) {
        const auto joinable = [this](int r1, int c1, int r2, int c2) {
            const QString& text = cell(r1, c1).text;
            return !text.isEmpty() && text == cell(r2, c2).text &&
                   isFixed(r1, c1) == isFixed(r2, c2);
        };

        // Pass 1, along the rows: the width of each run of equal cells, kept
        // at the run's first cell (0 at the others).
        std::vector<int> runWidth(at(rows, 0), 0);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols;) {
                int width = 1;
                if (m_mergeRows[r]) {
                    while (c + width < cols && joinable(r, c + width - 1, r, c + width)) ++width;
                }
                runWidth[at(r, c)] = width;
                c += width;
            }
        }

        // Pass 2, down the columns: a run takes in the runs right below it
        // that cover the same columns with the same text, as long as every
        // one of its columns allows merging.
        std::vector<bool> placed(at(rows, 0), false);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c) {
                const int width = runWidth[at(r, c)];
                if (width == 0 || placed[at(r, c)]) continue;
                bool columnsAllow = true;
                for (int k = c; k < c + width; ++k) columnsAllow = columnsAllow && m_mergeCols[k];
                int height = 1;
                if (columnsAllow) {
                    while (r + height < rows && runWidth[at(r + height, c)] == width &&
                           joinable(r, c, r + height, c)) {
                        ++height;
                    }
                }
                const QRect block(c, r, width, height);
                for (int rr = r; rr < r + height; ++rr) {
                    for (int cc = c; cc < c + width; ++cc) m_blocks[at(rr, cc)] = block;
                    placed[at(rr, c)] = true;
                }
            }
        }
    }

    m_table->clearSpans();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QRect& block = m_blocks[at(r, c)];
            if (block.topLeft() == QPoint(c, r) && (block.width() > 1 || block.height() > 1)) {
                m_table->setSpan(r, c, block.height(), block.width());
            }
        }
    }
    // A block is drawn by its top-left cell, in the block's colours and at
    // a size its text fits; merged texts no longer hold their columns wide.
    if (m_shrinkToFit)
        applySizes();
    else
        renderAll();
}

}  // namespace tessaro::ui
