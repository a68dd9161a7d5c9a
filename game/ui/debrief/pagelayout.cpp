// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/debrief/pagelayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "model/plaintext.h"
#include "ui/look/textfit.h"

namespace tessaro::ui::debrief {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString whole(double v) {
    return qs(model::numberText(v));
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

namespace {

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

}  // namespace

FittedText fitText(const QString& text, const QFont& base, double width, QPaintDevice* device,
                   int maxLines) {
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

Paint headingPaint(const QString& text, Qt::Alignment align) {
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

void addGrid(Pager& pager, const Grid& grid, QPaintDevice* device, std::size_t headerRows,
             Flow flow) {
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

}  // namespace tessaro::ui::debrief
