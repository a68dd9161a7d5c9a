// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Measures, with the metrics of the font each text is drawn in, whether the
// texts of a window show whole in their boxes, and whether the window with
// its controls lies on the screen.
#pragma once

#include <QAbstractButton>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <string>
#include <vector>

#include "ui/components/mschart.h"
#include "ui/components/msflexgrid.h"
#include "ui/windows/form.h"

namespace tessaro::ui {

// Lines as drawn: CR LF as a break, the blanks that end a line dropped.
inline QStringList drawnLines(QString text) {
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    for (QString& line : lines) {
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
    }
    return lines;
}

// Whether the text, broken between words at `width`, fits `height` (with
// `slack` pixels to spare).
inline bool wraps(const QString& text, const QFont& font, double width, double height,
                  double slack = 1) {
    const QFontMetricsF m(font);
    for (const QString& word : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        if (m.horizontalAdvance(word) > width) return false;
    return m.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height() <=
           height + slack;
}

// Whether the lines fit side by side in a box, one below the other.
inline bool fitsLines(const QStringList& lines, const QFont& font, double width, double height) {
    const QFontMetricsF m(font);
    double widest = 0;
    for (const QString& line : lines) widest = std::max(widest, m.horizontalAdvance(line));
    return widest <= width && m.height() + (lines.size() - 1) * m.lineSpacing() <= height + 1;
}

// The texts of these controls that do not show whole, each with the reason.
// A label whose text is a value too long even at the legible size may show
// in part, when its tooltip and accessible description hold it whole.
inline std::vector<std::string> unreadableTexts(const std::vector<QWidget*>& controls) {
    std::vector<std::string> bad;
    const auto report = [&](const QWidget* w, const QString& text, const char* why) {
        bad.push_back(w->window()->objectName().toStdString() + "/" +
                      w->objectName().toStdString() + " \"" + text.toStdString() + "\": " + why +
                      " at " + QString::number(w->font().pointSizeF()).toStdString() + " pt in " +
                      std::to_string(w->width()) + "x" + std::to_string(w->height()));
    };
    for (QWidget* w : controls) {
        if (!w || w->isHidden()) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QStringList lines = drawnLines(label->text());
            const QString text = lines.join('\n');
            if (text.trimmed().isEmpty()) continue;
            const QRect box = label->contentsRect();
            // A sibling drawn over the label must leave its text free.
            const int flags =
                static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            auto* drawn = dynamic_cast<FitLabel*>(label);
            // Where the text is drawn, in the label's contents (the fit
            // lets a line's box be a pixel taller than they are).
            const QRect inked = QFontMetrics(label->font())
                                    .boundingRect(box, flags, drawn ? drawn->displayedText() : text)
                                    .intersected(box)
                                    .translated(label->pos());
            const QObjectList& siblings = label->parentWidget()->children();
            for (qsizetype i = siblings.indexOf(label) + 1; i < siblings.size(); ++i) {
                const auto* over = qobject_cast<const QWidget*>(siblings[i]);
                if (over && !over->isHidden() && over->geometry().intersects(inked))
                    report(w, text, ("covered by " + over->objectName().toStdString()).c_str());
            }
            const bool whole = label->wordWrap()
                                   ? wraps(text, label->font(), box.width(), box.height())
                                   : fitsLines(lines, label->font(), box.width(), box.height());
            if (whole) continue;
            auto* fit = dynamic_cast<FitLabel*>(label);
            const bool shownInPart =
                fit && fit->displayedText().endsWith(QChar(0x2026)) &&
                label->toolTip() == label->text() &&
                label->accessibleDescription() == label->text() &&
                label->font().pointSizeF() >= 8 &&
                fitsLines({fit->displayedText()}, label->font(), box.width(), box.height());
            if (!shownInPart) report(w, text, "wider or taller than its box");
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // Inside a two-pixel rim on every side.
            if (!fitsLines(drawnLines(button->text()), button->font(), button->width() - 4,
                           button->height() - 4))
                report(w, button->text(), "wider than its button");
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            if (QFontMetricsF(box->font()).horizontalAdvance(box->title()) + 12 > box->width())
                report(w, box->title(), "wider than its frame");
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (QFontMetricsF(edit->font()).height() > edit->height() - 5)
                report(w, "<a line>", "taller than its box");
        } else if (auto* grid = dynamic_cast<MSFlexGrid*>(w)) {
            QTableWidget* t = grid->table();
            for (int r = 0; r < grid->rows(); ++r) {
                for (int c = 0; c < grid->cols(); ++c) {
                    const QRect block = grid->mergedArea(r, c);
                    if (block.topLeft() != QPoint(c, r)) continue;
                    const QString text = drawnLines(grid->textMatrix(r, c)).join(' ');
                    if (text.trimmed().isEmpty()) continue;
                    double width = -6, height = 0;
                    for (int k = block.left(); k <= block.right(); ++k) width += t->columnWidth(k);
                    for (int k = block.top(); k <= block.bottom(); ++k) height += t->rowHeight(k);
                    // The grid's lines take a pixel of the cell, and the
                    // view cuts off a text that needs more than the rest.
                    if (!wraps(text, t->item(r, c)->font(), width - 1, height - 1, 0))
                        report(w, text, "wider or taller than its cell");
                }
            }
        } else if (auto* chart = dynamic_cast<MSChart*>(w)) {
            for (QGraphicsItem* item : chart->chart()->scene()->items()) {
                auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                if (!text || !text->isVisible() || text->toPlainText().isEmpty()) continue;
                const QString plain = text->toPlainText();
                if (plain.contains(QChar(0x2026)) || plain.contains("..."))
                    report(w, plain, "cut short");
                if (!QRectF(chart->rect())
                         .adjusted(-1, -1, 1, 1)
                         .contains(text->sceneBoundingRect()))
                    report(w, plain, "outside the chart");
            }
        }
    }
    return bad;
}

}  // namespace tessaro::ui
