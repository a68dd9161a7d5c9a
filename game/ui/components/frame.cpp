// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/frame.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

#include "ui/look/palette.h"

namespace tessaro::ui {

QRect Frame::captionRect() const {
    if (title().isEmpty()) return {};
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
}

QMargins Frame::coveredEdges() const {
    QMargins covered;
    const QWidget* parent = parentWidget();
    if (!parent) return covered;
    const QRect own = geometry();
    const QObjectList& siblings = parent->children();
    for (qsizetype i = siblings.indexOf(this) + 1; i < siblings.size(); ++i) {
        const auto* over = qobject_cast<const QWidget*>(siblings[i]);
        if (!over || over->isHidden()) continue;
        const QRect strip = over->geometry().intersected(own);
        // Only a thin strip along an edge counts: a neighbour laid a few
        // twips over it, not a control standing inside the frame.
        if (strip.isEmpty()) continue;
        const bool upright = strip.width() < strip.height();
        if (upright && strip.width() < own.width() / 4) {
            if (strip.left() == own.left())
                covered.setLeft(std::max(covered.left(), strip.width()));
            if (strip.right() == own.right())
                covered.setRight(std::max(covered.right(), strip.width()));
        } else if (!upright && strip.height() < own.height() / 4) {
            if (strip.top() == own.top()) covered.setTop(std::max(covered.top(), strip.height()));
            if (strip.bottom() == own.bottom())
                covered.setBottom(std::max(covered.bottom(), strip.height()));
        }
    }
    return covered;
}

QRect Frame::borderRect() const {
    const QRect caption = captionRect();
    const int top = caption.isEmpty() ? 0 : caption.center().y();
    // One pixel of the frame's own back between the line and a neighbour
    // laid over the edge, so the line shows beside a white chart as well.
    const QMargins edges = coveredEdges();
    const auto clear = [](int strip) { return strip > 0 ? strip + 1 : 0; };
    const QMargins covered(clear(edges.left()), clear(edges.top()), clear(edges.right()),
                           clear(edges.bottom()));
    return rect().adjusted(covered.left(), std::max(top, covered.top()), -1 - covered.right(),
                           -1 - covered.bottom());
}

void Frame::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // The caption as the style draws it, in the frame's text colour ...
    option.subControls = QStyle::SC_GroupBoxLabel;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
    // ... and the one line, which the caption breaks.
    QRegion around(rect());
    const QRect caption = captionRect();
    if (!caption.isEmpty()) around -= caption.adjusted(-2, 0, 2, 0);
    painter.setClipRegion(around);
    painter.setPen(QPen(kFrameBorder, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(borderRect());
}

}  // namespace tessaro::ui
