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

class QTableWidget;

namespace tessaro::ui {

class MSFlexGrid : public QWidget {
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
    // height follows the grid's font.
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

protected:
    void changeEvent(QEvent* event) override;

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
    void renderCell(int row, int col);
    void renderAll();
    void applyColWidth(int col);
    void applyRowHeight(int row);
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

    QTableWidget* m_table = nullptr;
};

}  // namespace tessaro::ui
