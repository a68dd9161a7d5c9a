// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/look/textfit.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <cmath>

#include "ui/look/module2.h"

namespace tessaro::ui {
namespace {

// Room enough for any text: a box this tall or wide never limits it.
constexpr double kUnlimited = 1e7;
// Marks a label that keeps its text off its sides (keepTextOffSides).
const char* const kSideRoomProperty = "tessaroSideRoom";
// The search stops when the sizes that fit and fail are this close.
constexpr double kSizeStep = 0.05;

QString withoutMnemonics(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

bool labelFits(const QLabel* label, const QFont& font) {
    const QString text = shownText(label->text());
    if (text.trimmed().isEmpty()) return true;
    const QRectF box = label->contentsRect();
    if (box.width() <= 0 || box.height() <= 0) return false;
    const QFontMetricsF metrics(font);
    if (label->wordWrap()) {
        // Lines break between words: every word must fit across, and the
        // lines together down the box.
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        for (const QString& word : text.split(blanks, Qt::SkipEmptyParts))
            if (metrics.horizontalAdvance(word) > box.width()) return false;
        const QRectF need =
            metrics.boundingRect(QRectF(0, 0, box.width(), kUnlimited), Qt::TextWordWrap, text);
        return need.height() <= box.height() + 1;
    }
    const QRectF need = metrics.boundingRect(QRectF(0, 0, kUnlimited, kUnlimited), 0, text);
    return need.width() <= box.width() && need.height() <= box.height() + 1;
}

bool buttonFits(const QAbstractButton* button, const QFont& font) {
    const QString text = shownText(withoutMnemonics(button->text()));
    if (text.isEmpty()) return true;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.fontMetrics = QFontMetrics(font);
    // Inside the style's frame, and never nearer the edge than the two
    // pixels of a graphical button's rim.
    const QRect room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .intersected(button->rect().adjusted(2, 2, -2, -2));
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height() + 1;
}

bool groupBoxFits(const QGroupBox* box, const QFont& font) {
    const QString text = shownText(withoutMnemonics(box->title()));
    if (text.isEmpty()) return true;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.fontMetrics = QFontMetrics(font);
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = box->alignment();
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    // The title starts where the style puts it and must end inside the
    // frame, as far from its right edge as it starts from the left.
    const double indent = std::max(0, label.left());
    return indent + QFontMetricsF(font).horizontalAdvance(text) <= box->width() - indent;
}

bool lineEditFits(const QLineEdit* edit, const QFont& font) {
    // The typed text is the player's; the box must hold one line of it.
    const int frame =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const double room = edit->contentsRect().height() - 2.0 * frame - 2;
    return QFontMetricsF(font).height() <= room + 1;
}

// The windows' designs let neighbours overlap a label by a few twips (a
// rule across the foot of a heading, a box starting just before another
// ends). The neighbour is drawn over the label, so the label keeps its text
// out of the strips along its edges that a neighbour covers.
void keepClearOfNeighbours(QLabel* label) {
    const QWidget* parent = label->parentWidget();
    if (!parent) return;
    const int side = sideRoom(label);
    QMargins clear(side, 0, side, 0);
    const QRect own = label->geometry();
    const QObjectList& siblings = parent->children();
    for (qsizetype i = siblings.indexOf(label) + 1; i < siblings.size(); ++i) {
        const auto* over = qobject_cast<const QWidget*>(siblings[i]);
        if (!over || over->isHidden()) continue;
        const QRect covered = over->geometry().intersected(own);
        if (covered.isEmpty()) continue;
        if (covered.width() >= own.width()) {
            // A strip across the label: at its head or at its foot.
            if (covered.top() == own.top())
                clear.setTop(std::max(clear.top(), covered.height()));
            else if (covered.bottom() == own.bottom())
                clear.setBottom(std::max(clear.bottom(), covered.height()));
        } else if (covered.height() >= own.height()) {
            if (covered.left() == own.left())
                clear.setLeft(std::max(clear.left(), covered.width()));
            else if (covered.right() == own.right())
                clear.setRight(std::max(clear.right(), covered.width()));
        }
    }
    if (label->contentsMargins() != clear) label->setContentsMargins(clear);
}

}  // namespace

FittedSize largestFittingSize(double points, double smallest,
                              const std::function<bool(double)>& fits) {
    if (points <= smallest) return {points, fits(points)};
    if (fits(points)) return {points, true};
    if (!fits(smallest)) return {smallest, false};
    double fitting = smallest;
    double failing = points;
    while (failing - fitting > kSizeStep) {
        const double middle = (fitting + failing) / 2;
        (fits(middle) ? fitting : failing) = middle;
    }
    // Sizes in twentieths of a point, as the fonts are given elsewhere.
    return {std::max(smallest, std::floor(fitting * 20) / 20), true};
}

void keepTextOffSides(QLabel* label) {
    if (label) label->setProperty(kSideRoomProperty, true);
}

int sideRoom(const QLabel* label) {
    if (!label || !label->property(kSideRoomProperty).toBool()) return 0;
    return std::max(kLeastSideRoom, label->width() / 24);
}

QString shownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    QStringList lines = shown.split(u'\n');
    for (QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1).isSpace()) --end;
        line.truncate(end);
    }
    return lines.join(u'\n');
}

bool textFits(const QWidget* control, const QFont& font) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) return labelFits(label, font);
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return buttonFits(button, font);
    if (const auto* box = qobject_cast<const QGroupBox*>(control)) return groupBoxFits(box, font);
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return lineEditFits(edit, font);
    return true;
}

void fitText(QWidget* control) {
    if (!control) return;
    if (auto* label = qobject_cast<QLabel*>(control)) keepClearOfNeighbours(label);
    const double points = controlPoints(control);
    if (points <= 0) return;
    QFont font = control->font();
    // Not even the legible size may hold it all: a label then shows what
    // fits (FitLabel), the rest stays in its tooltip.
    const FittedSize fitted = largestFittingSize(points, kLegiblePoints, [&](double size) {
        font.setPointSizeF(size);
        return textFits(control, font);
    });
    setFittedFont(control, points, fitted.points);
}

void fitTexts(const ScalableWindow& window) {
    for (QWidget* control : window.controls()) fitText(control);
}

}  // namespace tessaro::ui
