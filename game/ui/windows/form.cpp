// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcut>

#include "ui/look/textfit.h"
#include "ui/windows/gamewindows.h"

namespace tessaro::ui {

QFont gameFont(const QString& family, double points, bool bold, bool underline) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

void setBackColor(QWidget* w, const QColor& back) {
    // Only the widget's own surface: a form's colour must not reach the text
    // boxes and buttons on it.
    QPalette p = w->palette();
    if (qobject_cast<QAbstractButton*>(w))
        p.setColor(QPalette::Button, back);
    else if (qobject_cast<QLineEdit*>(w))
        p.setColor(QPalette::Base, back);
    else
        p.setColor(QPalette::Window, back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeColor(QWidget* w, const QColor& fore) {
    // Like the back colour, only the widget's own text: a frame's yellow
    // caption must not colour the button inside it.
    QPalette p = w->palette();
    if (qobject_cast<QAbstractButton*>(w))
        p.setColor(QPalette::ButtonText, fore);
    else if (qobject_cast<QLineEdit*>(w))
        p.setColor(QPalette::Text, fore);
    else
        p.setColor(QPalette::WindowText, fore);
    w->setPalette(p);
}

void setColors(QWidget* w, const QColor& back, const QColor& fore) {
    setBackColor(w, back);
    setForeColor(w, fore);
}

std::vector<QWidget*> ControlCollection::controlList() const {
    std::vector<QWidget*> out;
    out.reserve(m_controls.size());
    for (const auto& c : m_controls) out.push_back(c.data());
    return out;
}

QString FitLabel::displayedText() const {
    const QString text = shownText(this->text());
    if (wordWrap() || text.contains(u'\n')) return text;
    const QFontMetrics metrics(font());
    const int room = contentsRect().width();
    return metrics.horizontalAdvance(text) <= room ? text
                                                   : metrics.elidedText(text, Qt::ElideRight, room);
}

void FitLabel::paintEvent(QPaintEvent*) {
    // The background, where the label has one, is filled before this.
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    painter.drawText(contentsRect(), flags, displayedText());
}

void GraphicalButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(r, face);
    const bool down = isDown() || isChecked();
    // A one-pixel rim, light above and left, dark below and right; the other
    // way round while pressed.
    const QColor light = face.lighter(160);
    const QColor dark = face.darker(220);
    painter.setPen(down ? dark : light);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(down ? light : dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());

    QRect text = r.adjusted(2, 2, -2, -2);
    if (down) text.translate(1, 1);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(text, Qt::AlignCenter | Qt::TextShowMnemonic, this->text());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

void setAccessibleText(QWidget* control, const QString& name, const QString& description) {
    if (!control) return;
    control->setAccessibleName(name);
    if (!description.isEmpty()) control->setAccessibleDescription(description);
}

void nameDecorations(const std::vector<QWidget*>& controls, const QString& what) {
    for (QWidget* control : controls) {
        if (!control || !control->accessibleName().isEmpty()) continue;
        if (const auto* label = qobject_cast<QLabel*>(control);
            label && !label->text().trimmed().isEmpty())
            continue;
        if (const auto* button = qobject_cast<QAbstractButton*>(control);
            button && !button->text().isEmpty())
            continue;
        if (const auto* box = qobject_cast<QGroupBox*>(control); box && !box->title().isEmpty())
            continue;
        control->setAccessibleName(what);
    }
}

Form::Form(const char* name, double clientWidth, double clientHeight) {
    workOutScreenMetrics();
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(pixelsAcross(clientWidth), pixelsDown(clientHeight));
    // Esc leaves the window as its Close button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { closeCommand(); });
}

QMdiSubWindow* Form::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

QRectF Form::windowTwips() const {
    const QWidget* frame = subWindow() ? static_cast<const QWidget*>(subWindow()) : this;
    return QRectF(twipsAcross(frame->x()), twipsDown(frame->y()), twipsAcross(width()),
                  twipsDown(height()));
}

void Form::moveWindowTwips(const QRectF& t) {
    const QSize client(pixelsAcross(t.width()), pixelsDown(t.height()));
    const QPoint at(pixelsAcross(t.left()), pixelsDown(t.top()));
    if (QMdiSubWindow* sub = subWindow()) {
        const QSize frame = sub->size() - size();
        sub->setGeometry(QRect(at, client + frame));
    } else {
        setGeometry(QRect(at, client));
    }
}

void Form::minimizeCommand() {
    scaling.minimizeCommand(*this);
    if (QMdiSubWindow* sub = subWindow())
        sub->showMinimized();
    else
        showMinimized();
    scaling.minimized();
}

void Form::closeShowingBoard() {
    if (QMdiSubWindow* sub = subWindow())
        sub->close();
    else
        close();
}

void Form::closeRebuildingBoard() {
    closeShowingBoard();
    GameWindows::instance().reloadMainWindow();
}

void Form::deactivated(QMdiSubWindow* next) {
    // The board comes back, unless the window that took over is shown: the
    // board would cover it.
    if (!next || next->isMinimized()) GameWindows::instance().showBoard();
}

QWidget* Form::firstFocus() const {
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        // A widget that passes its focus on (a chart's drawing area) is not
        // one that takes it.
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
            w->isEnabled() && w->isVisibleTo(this))
            return w;
    }
    return nullptr;
}

void Form::fitTextsToBoxes() {
    fitTexts(*this);
}

void Form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // An icon has no layout to follow.
    if (subWindow() && subWindow()->isMinimized()) return;
    scaling.resized(*this,
                    QSizeF(twipsAcross(event->size().width()), twipsDown(event->size().height())));
}

void Form::closeEvent(QCloseEvent* event) {
    // Unloading is never refused; the board comes back, unless another
    // child window is shown, which the board would cover.
    event->accept();
    GameWindows::instance().showBoardUnlessAChildIsShown(subWindow());
}

}  // namespace tessaro::ui
