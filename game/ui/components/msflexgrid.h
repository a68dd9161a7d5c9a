// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The table grid of the plan report and the performance sheet: a stand-in for
// the old flex grid control, drawn by a QTableWidget. Rows and columns are
// 0-based; widths and heights are in twips. Fixed rows and columns are
// ordinary cells painted in the fixed colour; nothing is editable.
//
//   MSFlexGrid grid;
//   grid.setRows(15);
//   grid.setCols(2);
//   grid.setFixedRows(0);
//   grid.setFixedCols(0);
//   grid.setColWidth(0, 8000);
//   grid.setTextMatrix(6, 0, "4. Manpower Costs :");
//   grid.setFillStyle(MSFlexGrid::FillStyle::Repeat);
//   grid.setRow(0);
//   grid.setCol(0);
//   grid.setRowSel(14);
//   grid.setColSel(1);
//   grid.setCellFontBold(true);  // every cell of rows 0 to 14, columns 0 and 1
//
// Bad indexes and values are ignored by the setters; the getters answer them
// with an empty value (0, an empty text, an invalid colour, an empty rect).
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "ui/look/module2.h"

class QTableWidget;

namespace tessaro::ui {

class MSFlexGrid : public QWidget, public ScalesContent {
    Q_OBJECT

public:
    // Which cells the cell format setters change: the current cell only
    // (Single) or every cell of the selected range (Repeat).
    enum class FillStyle { Single, Repeat };
    Q_ENUM(FillStyle)

    // Free: adjacent cells with equal, non-empty text merge, along the rows
    // and down the columns that allow it (see mergedArea).
    enum class MergeCells { Never, Free };
    Q_ENUM(MergeCells)

    // General puts numbers on the right and other texts on the left, both
    // centred vertically.
    enum class Alignment {
        LeftTop,
        LeftCenter,
        LeftBottom,
        CenterTop,
        CenterCenter,
        CenterBottom,
        RightTop,
        RightCenter,
        RightBottom,
        General
    };
    Q_ENUM(Alignment)

    // Starts as the old control did: 2 rows, 2 columns, 1 fixed row and
    // 1 fixed column, current cell (1, 1), no merging.
    explicit MSFlexGrid(QWidget* parent = nullptr);
    ~MSFlexGrid() override;

    // Changing the size keeps the texts and formats of the cells that remain;
    // cells added later start empty. Fewer rows than fixed rows reduce the
    // fixed rows (likewise for columns).
    void setRows(int rows);
    int rows() const { return m_rows; }
    void setCols(int cols);
    int cols() const { return m_cols; }
    // At most rows() (cols()).
    void setFixedRows(int fixedRows);
    int fixedRows() const { return m_fixedRows; }
    void setFixedCols(int fixedCols);
    int fixedCols() const { return m_fixedCols; }

    // Twips; -1 returns a column or row to the default size. A row's default
    // height follows the grid's font. The sizes are drawn at the grid's zoom.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    void setRowHeight(int row, int twips);
    int rowHeight(int row) const;

    void setTextMatrix(int row, int col, const QString& text);
    QString textMatrix(int row, int col) const;

    // The current cell. Setting Row or Col collapses the selection to it.
    void setRow(int row);
    int row() const { return m_row; }
    void setCol(int col);
    int col() const { return m_col; }
    // The other corner of the selected range.
    void setRowSel(int row);
    int rowSel() const { return m_rowSel; }
    void setColSel(int col);
    int colSel() const { return m_colSel; }

    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    FillStyle fillStyle() const { return m_fillStyle; }

    // Cell formats, applied as fillStyle() says. A size that is not a
    // positive number of points and an invalid colour are ignored.
    void setCellFontBold(bool bold);
    void setCellFontSize(double points);
    void setCellAlignment(Alignment alignment);
    void setCellBackColor(const QColor& color);
    void setCellForeColor(const QColor& color);

    // Formats read back per cell. A cell with no format of its own has the
    // grid's: its font's boldness and size, General alignment, black text on
    // white (on the fixed colour in fixed cells).
    bool cellFontBold(int row, int col) const;
    double cellFontSize(int row, int col) const;
    Alignment cellAlignment(int row, int col) const;
    QColor cellBackColor(int row, int col) const;
    QColor cellForeColor(int row, int col) const;

    // The back colour of fixed cells with no colour of their own.
    void setBackColorFixed(const QColor& color);
    QColor backColorFixed() const { return m_backColorFixed; }

    void setMergeCells(MergeCells mode);
    MergeCells mergeCells() const { return m_mergeCells; }
    // Whether cells may merge along this row / down this column; none may
    // until told.
    void setMergeRow(int row, bool allowed);
    bool mergeRow(int row) const;
    void setMergeCol(int col, bool allowed);
    bool mergeCol(int col) const;

    // The merged block that holds the cell: x = first column, y = first row,
    // width = columns, height = rows; 1 x 1 when the cell stands alone.
    //
    // Free merging works in two passes. First each row that allows merging
    // joins runs of adjacent cells with equal text. Then, down the columns,
    // a block joins the block right below it when both cover the same
    // columns, hold the same text and every one of those columns allows
    // merging; a single cell thus merges down its column, and a row-merged
    // block merges only with an identical row-merged block. So where a cell
    // could merge both ways, its row wins. Empty cells never merge, and no
    // block reaches across the edge between fixed and ordinary cells. A
    // block is drawn with the text and formats of its top-left cell.
    QRect mergedArea(int row, int col) const;

    // The table that draws the grid, with its spans up to date.
    QTableWidget* table() const;

    // The window's scaling: column widths and row heights are drawn
    // multiplied by the horizontal and vertical ratios, cell font sizes by
    // the font ratio, from here on (the sizes read back stay as set).
    void scaleContent(float x, float y, float f) override;

    // Off (as the old control): cells keep their sizes and the grid scrolls
    // where they need more room than its box. On: columns that together are
    // wider than the box are drawn narrower, all in the same proportion, so
    // that they fill it (likewise rows that are taller than the box), and a
    // cell's text wraps between words or, where that is not enough, is
    // drawn smaller, never below the legible size of textfit.h. No column
    // is drawn narrower than its widest word at that size: where that
    // leaves them wider than the box, the grid scrolls sideways. A grid
    // that scrolls either way takes the keyboard focus.
    void setShrinkToFit(bool on);
    bool shrinkToFit() const { return m_shrinkToFit; }
    // With shrink to fit on: rows are drawn no lower than this share of
    // their zoomed heights (0, the default: as low as the box needs). Where
    // they need more room than the box even so, the grid scrolls down to
    // them; the columns still fit the width beside the scroll bar.
    void setLeastRowShrink(double share);
    double leastRowShrink() const { return m_leastRowShrink; }
    // How much narrower (lower) than their zoomed sizes the columns (rows)
    // are drawn: 1 when they fit the box.
    double columnShrink() const;
    double rowShrink() const;

    // The font a cell's text is drawn in (its block's, when it is merged).
    QFont shownCellFont(int row, int col) const;
    // The colours the cell is drawn in. A merged block is drawn in the
    // formats of its top-left cell, except that a colour one of its cells
    // was given (the top-left one first, then row by row) colours the whole
    // block: a shaded cell stays shaded when a neighbour merges with it.
    QColor shownBackColor(int row, int col) const;
    QColor shownForeColor(int row, int col) const;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Cell {
        QString text;
        std::optional<bool> bold;
        std::optional<double> size;
        std::optional<Alignment> alignment;
        std::optional<QColor> back;
        std::optional<QColor> fore;
    };

    bool validRow(int row) const { return row >= 0 && row < m_rows; }
    bool validCol(int col) const { return col >= 0 && col < m_cols; }
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }
    const Cell& cell(int row, int col) const { return m_cells[row][col]; }

    template <typename Change>
    void formatTargets(Change change);

    double defaultPointSize() const;
    int defaultRowHeightPixels() const;
    QFont cellFont(const Cell& c) const;
    QFont fittedFont(int row, int col, const QFont& font) const;
    // The block of the cell as last worked out, without working it out.
    QRect blockAt(int row, int col) const;
    // The back (or text) colour the cell's block is drawn in.
    QColor blockColor(int row, int col, bool back) const;
    void renderCell(int row, int col) const;
    void renderAll() const;
    // Column widths and row heights in pixels, at the zoom and, when asked,
    // shrunk to the box.
    std::vector<double> columnPixels() const;
    std::vector<double> rowPixels() const;
    std::vector<double> zoomedRowPixels() const;
    // Whether the rows, at their least shrink, are still higher than the box.
    bool rowsScroll() const;
    // The width the columns are fitted to, and the height the rows are.
    double columnRoom() const;
    double rowRoom() const;
    // The width each column needs for its widest word at the legible size
    // (cells of merged blocks aside), and whether the columns, at least
    // that wide, need more room than the box.
    std::vector<double> leastColumnPixels() const;
    bool columnsScroll() const;
    void applySizes() const;
    void clampCursor();

    // Merges are worked out lazily: a change marks them stale and posts one
    // update, and every reader brings them up to date first.
    void invalidateMerges();
    void syncMerges() const;

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    FillStyle m_fillStyle = FillStyle::Single;
    MergeCells m_mergeCells = MergeCells::Never;
    QColor m_backColor;
    QColor m_foreColor;
    QColor m_backColorFixed;

    std::vector<std::vector<Cell>> m_cells;  // [row][col]
    std::vector<int> m_colWidths;            // twips, -1 for the default
    std::vector<int> m_rowHeights;           // twips, -1 for the default
    std::vector<bool> m_mergeRows;
    std::vector<bool> m_mergeCols;

    mutable std::vector<QRect> m_blocks;  // row * m_cols + col -> its block
    mutable bool m_mergesStale = false;
    bool m_mergeUpdatePosted = false;

    double m_zoomX = 1;
    double m_zoomY = 1;
    double m_zoomFont = 1;
    bool m_shrinkToFit = false;
    double m_leastRowShrink = 0;

    QTableWidget* m_table = nullptr;
};

}  // namespace tessaro::ui
