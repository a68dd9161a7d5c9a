// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "form.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>

#include "gamewindows.h"

namespace tessaro::ui {

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

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
    if (qobject_cast<QAbstractButton*>(w)) p.setColor(QPalette::Button, back);
    else if (qobject_cast<QLineEdit*>(w)) p.setColor(QPalette::Base, back);
    else p.setColor(QPalette::Window, back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeColor(QWidget* w, const QColor& fore) {
    // Like the back colour, only the widget's own text: a frame's yellow
    // caption must not colour the button inside it.
    QPalette p = w->palette();
    if (qobject_cast<QAbstractButton*>(w)) p.setColor(QPalette::ButtonText, fore);
    else if (qobject_cast<QLineEdit*>(w)) p.setColor(QPalette::Text, fore);
    else p.setColor(QPalette::WindowText, fore);
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

void FitLabel::paintEvent(QPaintEvent* event) {
    const QString t = text();
    const QRect box = contentsRect();
    QFont f = font();
    const auto fits = [&](const QFont& font) {
        const QFontMetricsF m(font);
        if (wordWrap())
            return m.boundingRect(QRectF(box), Qt::TextWordWrap, t).height() <= box.height() + 1;
        return m.horizontalAdvance(t) <= box.width() && m.height() <= box.height() + 1;
    };
    if (t.isEmpty() || box.width() <= 0 || fits(f)) {
        QLabel::paintEvent(event);
        return;
    }
    while (f.pointSizeF() > 4 && !fits(f)) f.setPointSizeF(f.pointSizeF() * 0.92);
    QPainter painter(this);
    if (autoFillBackground()) painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setFont(f);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(box, static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0), t);
}

Form::Form(const char* name, double clientWidth, double clientHeight) {
    workOutScreenMetrics();
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(pixelsAcross(clientWidth), pixelsDown(clientHeight));
}

QMdiSubWindow* Form::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

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
    if (QMdiSubWindow* sub = subWindow()) sub->showMinimized();
    else showMinimized();
}

void Form::closeShowingBoard() {
    if (QMdiSubWindow* sub = subWindow()) sub->close();
    else close();
}

void Form::closeRebuildingBoard() {
    closeShowingBoard();
    GameWindows::instance().reloadMainWindow();
}

void Form::deactivated() { GameWindows::instance().showBoard(); }

void Form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scaling.resized(*this, QSizeF(twipsAcross(event->size().width()), twipsDown(event->size().height())));
}

void Form::closeEvent(QCloseEvent* event) {
    // Unloading is never refused; the board comes back.
    event->accept();
    GameWindows::instance().showBoard();
}

}  // namespace tessaro::ui
