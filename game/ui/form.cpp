#include "form.h"

#include <QCloseEvent>
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
    QPalette p = w->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::Button, back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeColor(QWidget* w, const QColor& fore) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, fore);
    p.setColor(QPalette::Text, fore);
    p.setColor(QPalette::ButtonText, fore);
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
    if (t.isEmpty() || box.width() <= 0 || QFontMetricsF(f).horizontalAdvance(t) <= box.width()) {
        QLabel::paintEvent(event);
        return;
    }
    while (f.pointSizeF() > 4 && QFontMetricsF(f).horizontalAdvance(t) > box.width())
        f.setPointSizeF(f.pointSizeF() * 0.92);
    QPainter painter(this);
    if (autoFillBackground()) painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setFont(f);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(box, static_cast<int>(alignment()), t);
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
