// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/captionroom.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <algorithm>
#include <cmath>

#include "ui/look/module2.h"
#include "ui/look/textfit.h"
#include "ui/windows/form.h"

namespace tessaro::ui {
namespace {

// Pixels a control keeps round its text: a label's margins and frame, a
// button's rim and padding, a group box's indent on both sides.
QSizeF roomAroundText(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QRect inside = label->contentsRect();
        return QSizeF(label->width() - inside.width() + 2, label->height() - inside.height());
    }
    if (qobject_cast<const QAbstractButton*>(control)) return QSizeF(12, 4);
    return QSizeF(20, 0);
}

QString captionOf(const QWidget* control, bool* wraps) {
    *wraps = false;
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        *wraps = label->wordWrap();
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return QString(button->text()).remove(u'&');
    if (const auto* box = qobject_cast<const QGroupBox*>(control))
        return QString(box->title()).remove(u'&');
    return {};
}

// The share of its present size below which the control's caption would be
// cut or drawn smaller than legible, across and down.
QSizeF shareNeeded(const QWidget* control) {
    bool wraps = false;
    const QString text = shownText(captionOf(control, &wraps));
    const double points = controlPoints(control);
    if (text.trimmed().isEmpty() || points <= 0 || control->width() <= 0 || control->height() <= 0)
        return {0, 0};
    // The font shrinks with the window: below this share it falls under the
    // legible size (a design font already smaller stays as it is).
    const double legible = std::min(points, kLegiblePoints);
    const double fontShare = legible / points;
    QFont font = control->font();
    font.setPointSizeF(legible);
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(u'\n');
    double across = 0;
    for (const QString& line : lines) across = std::max(across, metrics.horizontalAdvance(line));
    const QSizeF around = roomAroundText(control);
    if (wraps) {
        // A wrapped text grows taller as its box narrows: the least share
        // at which it still has the lines it needs.
        for (double share = fontShare; share < 1; share += 0.02) {
            const QRectF box(0, 0, share * control->width() - around.width(), 1e6);
            if (box.width() <= 0) continue;
            const double tall = metrics.boundingRect(box, Qt::TextWordWrap, text).height();
            if (tall + around.height() <= share * control->height()) return {share, share};
        }
        return {1, 1};
    }
    const double wide = (across + around.width()) / control->width();
    const double high =
        qobject_cast<const QGroupBox*>(control)
            ? 0
            : (lines.size() * metrics.lineSpacing() + around.height()) / control->height();
    return {std::max(fontShare, wide), std::max(fontShare, high)};
}

}  // namespace

QSize smallestWholeSize(const Form& form) {
    double across = 0;
    double down = 0;
    for (const QWidget* control : form.controls()) {
        if (!control || !control->isVisibleTo(&form)) continue;
        const QSizeF share = shareNeeded(control);
        across = std::max(across, share.width());
        down = std::max(down, share.height());
    }
    const auto part = [](int now, double share) {
        return std::min(now, static_cast<int>(std::ceil(now * std::min(share, 1.0))));
    };
    return {part(form.width(), across), part(form.height(), down)};
}

void keepCaptionsWhole(Form& form) {
    const QSize least = smallestWholeSize(form);
    form.setMinimumSize(least);
    if (QMdiSubWindow* sub = form.subWindow())
        sub->setMinimumSize(least + (sub->size() - form.size()));
}

}  // namespace tessaro::ui
