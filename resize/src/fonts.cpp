// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Fonts: what a pass does to the fonts of a form and its controls.
#include <QWidget>
#include <algorithm>

#include "engine.h"

namespace MorvaneCtl::ResizeFunctions::detail {

void scaleFont(QWidget* control, const ControlRecord& r, int px, int py) {
    const double size = static_cast<double>(r.fontSize) * std::min(px, py) / 100.0;
    set(control, Prop::FontSize, size);
}

PassFonts::PassFonts(QWidget* form, float formFontSize, int px, int py)
    : m_percent(std::min(px, py)) {
    // The form's font first: Qt hands it on to every control that has no
    // font of its own, so those need no font set one by one.
    set(form, Prop::FontSize, static_cast<double>(formFontSize) * m_percent / 100.0);
}

void PassFonts::apply(QWidget* control, float recordedSize) {
    const double size = static_cast<double>(recordedSize) * m_percent / 100.0;
    if (!(size > 0) || size > 4096) return;  // as LateBound refuses such a size
    const QFont current = control->font();
    if (current.pointSizeF() == size) return;
    // Taken from its parent, the font is the parent's, already in place.
    if (!control->testAttribute(Qt::WA_SetFont)) {
        const QWidget* parent = control->parentWidget();
        if (parent && parent->font().pointSizeF() == size) return;
    }
    // Controls of one font share one font of the new size, made once.
    for (const Made& made : m_made)
        if (made.size == size && made.from == current) {
            control->setFont(made.font);
            return;
        }
    QFont font = current;
    font.setPointSizeF(size);
    m_made.push_back({current, size, font});
    control->setFont(font);
}

}  // namespace MorvaneCtl::ResizeFunctions::detail
