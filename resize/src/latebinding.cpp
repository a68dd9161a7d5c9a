#include "morvane/latebinding.h"

#include "morvane/screen.h"

#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaProperty>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

namespace MorvaneCtl::LateBound {

namespace {

bool is(const char *name, const char *wanted) { return std::strcmp(name, wanted) == 0; }

struct DeclaredKey {
    const QMetaObject *meta;
    std::string name;
    bool operator==(const DeclaredKey &) const = default;
};
struct DeclaredKeyHash {
    size_t operator()(const DeclaredKey &k) const noexcept {
        return std::hash<const void *>()(k.meta) ^ (std::hash<std::string>()(k.name) << 1);
    }
};

// The index of a property a class declares, or -1. Looking a name up in a
// meta-object compares it with every property of every base class, and a
// layout pass asks a dozen names of every control, so the answers are kept
// per class.
int declaredIndex(const QWidget *w, const char *name) {
    thread_local std::unordered_map<DeclaredKey, int, DeclaredKeyHash> known;
    const QMetaObject *meta = w->metaObject();
    DeclaredKey key{meta, name};
    if (const auto it = known.find(key); it != known.end()) return it->second;
    const int index = meta->indexOfProperty(name);
    known.emplace(std::move(key), index);
    return index;
}

bool hasDynamicProperty(const QWidget *w, const char *name) {
    const QList<QByteArray> names = w->dynamicPropertyNames();
    return !names.isEmpty() && names.contains(name);
}

// A name the widget answers through Qt's property system, declared or dynamic.
bool hasQtProperty(const QWidget *w, const char *name) {
    return declaredIndex(w, name) >= 0 || hasDynamicProperty(w, name);
}

std::optional<int> roundToLong(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v); // the default rounding mode: halves to even
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(r);
}

std::optional<int> toPixels(double twips, double twipsPerPixel) {
    return roundToLong(twips / twipsPerPixel);
}

// The rectangle of a widget in pixels as Left/Top/Width/Height see it.
QRect outerRect(QWidget *w) {
    if (!isForm(w)) return w->geometry();
    QWidget *frame = frameOf(w);
    if (!frame->isWindow()) return frame->geometry();
    // Until a window is first shown, Qt keeps the place given to move() as
    // its frame's place but reports the frame shifted by the frame's width;
    // the place as given is where the frame will be.
    if (!frame->isVisible())
        return QRect(frame->geometry().topLeft(), frame->frameGeometry().size());
    return frame->frameGeometry();
}

// Places a form's outer frame at r (pixels): a top-level window is moved by
// its frame and sized by its client, so the decoration is taken off.
void setOuterRect(QWidget *form, const QRect &r) {
    QWidget *frame = frameOf(form);
    if (!frame->isWindow()) {
        frame->setGeometry(r);
        return;
    }
    const QRect outer = frame->frameGeometry();
    const QRect inner = frame->geometry();
    const int dw = outer.width() - inner.width();
    const int dh = outer.height() - inner.height();
    frame->move(r.topLeft());
    frame->resize(std::max(0, r.width() - dw), std::max(0, r.height() - dh));
}

const QFrame *plainLine(const QWidget *w) {
    if (w->metaObject() != &QFrame::staticMetaObject) return nullptr;
    const auto *frame = static_cast<const QFrame *>(w);
    const auto shape = frame->frameShape();
    return shape == QFrame::HLine || shape == QFrame::VLine ? frame : nullptr;
}

double fontPoints(const QWidget *w) {
    const QFont f = w->font();
    if (f.pointSizeF() > 0) return f.pointSizeF();
    return f.pixelSize() * 72.0 / w->logicalDpiY();
}

std::optional<QVariant> lineEnd(QWidget *w, const char *name) {
    const QFrame *line = plainLine(w);
    if (!line) return std::nullopt;
    const ScreenMetrics s = currentScreen();
    const QRect g = w->geometry();
    const bool horizontal = line->frameShape() == QFrame::HLine;
    // A horizontal frame line runs along its vertical centre from its left
    // to its right edge; a vertical one likewise down its horizontal centre.
    if (horizontal) {
        if (is(name, "X1")) return g.x() * s.twipsPerPixelX;
        if (is(name, "X2")) return (g.x() + g.width()) * s.twipsPerPixelX;
        return (g.y() + g.height() / 2.0) * s.twipsPerPixelY;
    }
    if (is(name, "Y1")) return g.y() * s.twipsPerPixelY;
    if (is(name, "Y2")) return (g.y() + g.height()) * s.twipsPerPixelY;
    return (g.x() + g.width() / 2.0) * s.twipsPerPixelX;
}

bool setLineEnd(QWidget *w, const char *name, double twips) {
    const QFrame *line = plainLine(w);
    if (!line) return false;
    const ScreenMetrics s = currentScreen();
    const bool xName = name[0] == 'X';
    const auto px = toPixels(twips, xName ? s.twipsPerPixelX : s.twipsPerPixelY);
    if (!px) return false;
    QRect g = w->geometry();
    const bool horizontal = line->frameShape() == QFrame::HLine;
    const bool alongLine = horizontal == xName;
    if (alongLine) {
        // One end of the line moves, the other stays.
        const bool first = name[1] == '1';
        int a = horizontal ? g.left() : g.top();
        int b = a + (horizontal ? g.width() : g.height());
        (first ? a : b) = *px;
        if (a > b) std::swap(a, b);
        if (horizontal)
            g = QRect(a, g.y(), b - a, g.height());
        else
            g = QRect(g.x(), a, g.width(), b - a);
    } else {
        // Across the line: its centre moves, its thickness stays.
        if (horizontal)
            g.moveTop(static_cast<int>(std::lround(*px - g.height() / 2.0)));
        else
            g.moveLeft(static_cast<int>(std::lround(*px - g.width() / 2.0)));
    }
    w->setGeometry(g);
    return true;
}

} // namespace

bool isForm(const QWidget *w) {
    if (!w) return false;
    if (w->isWindow()) return true;
    const QWidget *p = w->parentWidget();
    return p && qobject_cast<const QMdiSubWindow *>(p) != nullptr;
}

bool isMdiForm(const QWidget *w) {
    const auto *main = qobject_cast<const QMainWindow *>(w);
    return main && qobject_cast<const QMdiArea *>(main->centralWidget()) != nullptr;
}

bool isLine(const QWidget *w) {
    return declaredIndex(w, "X1") >= 0 || plainLine(w) != nullptr;
}

bool isLabel(const QWidget *w) { return qobject_cast<const QLabel *>(w) != nullptr; }

bool isListBox(const QWidget *w) { return qobject_cast<const QListView *>(w) != nullptr; }

bool isMorvane(const QWidget *w) { return w->inherits("MorvaneCtl::Morvane"); }

QWidget *frameOf(QWidget *form) {
    QWidget *p = form->parentWidget();
    if (!form->isWindow() && p && qobject_cast<QMdiSubWindow *>(p)) return p;
    return form;
}

QWidget *clientOf(QWidget *form) {
    if (auto *main = qobject_cast<QMainWindow *>(form); main && main->centralWidget())
        return main->centralWidget();
    return form;
}

std::optional<QVariant> get(QWidget *w, const char *name) {
    if (!w) return std::nullopt;
    if (hasQtProperty(w, name)) {
        QVariant v = w->property(name);
        if (!v.isValid()) return std::nullopt;
        return v;
    }
    const ScreenMetrics s = currentScreen();
    if (is(name, "Name")) return w->objectName();
    if (is(name, "Left")) return outerRect(w).x() * s.twipsPerPixelX;
    if (is(name, "Top")) return outerRect(w).y() * s.twipsPerPixelY;
    if (is(name, "Width")) return outerRect(w).width() * s.twipsPerPixelX;
    if (is(name, "Height")) return outerRect(w).height() * s.twipsPerPixelY;
    if (is(name, "ScaleWidth")) return clientOf(w)->width() * s.twipsPerPixelX;
    if (is(name, "ScaleHeight")) return clientOf(w)->height() * s.twipsPerPixelY;
    if (is(name, "FontSize")) return fontPoints(w);
    if (is(name, "WindowState")) {
        if (!isForm(w)) return std::nullopt;
        const Qt::WindowStates state = frameOf(w)->windowState();
        if (state & Qt::WindowMinimized) return 1;
        if (state & Qt::WindowMaximized) return 2;
        return 0;
    }
    if (is(name, "TabHeight")) {
        const auto *tabs = qobject_cast<const QTabWidget *>(w);
        if (!tabs) return std::nullopt;
        return tabs->tabBar()->sizeHint().height() * s.twipsPerPixelY;
    }
    if (is(name, "X1") || is(name, "Y1") || is(name, "X2") || is(name, "Y2"))
        return lineEnd(w, name);
    if (is(name, "ColsCount")) {
        const auto *table = qobject_cast<const QTableView *>(w);
        if (!table || !table->model()) return std::nullopt;
        return table->model()->columnCount();
    }
    if (is(name, "ColumnsCount")) {
        const auto *tree = qobject_cast<const QTreeView *>(w);
        if (!tree || !tree->model()) return std::nullopt;
        return tree->model()->columnCount();
    }
    // Index and AutoSize exist only as properties the form gave the widget.
    return std::nullopt;
}

std::optional<int> getLong(QWidget *w, const char *name) {
    const auto v = get(w, name);
    if (!v) return std::nullopt;
    if (v->typeId() == QMetaType::Bool) return v->toBool() ? -1 : 0;
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok) return std::nullopt;
    return roundToLong(d);
}

bool set(QWidget *w, const char *name, const QVariant &value) {
    if (!w) return false;
    if (const int i = declaredIndex(w, name); i >= 0) {
        const QMetaProperty p = w->metaObject()->property(i);
        return p.isWritable() && p.write(w, value);
    }
    if (hasDynamicProperty(w, name)) {
        w->setProperty(name, value);
        return true;
    }
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (is(name, "WindowState")) {
        if (!isForm(w) || !ok) return false;
        QWidget *frame = frameOf(w);
        const Qt::WindowStates kept = frame->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        if (v == 0) frame->setWindowState(kept);
        else if (v == 1) frame->setWindowState(kept | Qt::WindowMinimized);
        else if (v == 2) frame->setWindowState(kept | Qt::WindowMaximized);
        else return false;
        return true;
    }
    if (!ok) return false;
    if (is(name, "FontSize")) {
        if (!(v > 0) || !std::isfinite(v) || v > 4096) return false;
        QFont f = w->font();
        f.setPointSizeF(v);
        w->setFont(f);
        // A label that sizes itself follows its new text size.
        if (auto *label = qobject_cast<QLabel *>(w); label && label->property("AutoSize").toBool())
            label->adjustSize();
        return true;
    }
    const ScreenMetrics s = currentScreen();
    if (is(name, "TabHeight")) {
        auto *tabs = qobject_cast<QTabWidget *>(w);
        const auto px = toPixels(v, s.twipsPerPixelY);
        if (!tabs || !px || *px < 1) return false;
        // Qt derives a tab's height from its style; a style sheet is the one
        // way to set it. Parsing one is costly, so an unchanged height is
        // not set again.
        const QString sheet = QStringLiteral("QTabBar::tab { height: %1px; }").arg(*px);
        if (tabs->tabBar()->styleSheet() != sheet) tabs->tabBar()->setStyleSheet(sheet);
        return true;
    }
    if (is(name, "X1") || is(name, "Y1") || is(name, "X2") || is(name, "Y2"))
        return setLineEnd(w, name, v);
    const auto target = roundToLong(v);
    const auto left = getLong(w, "Left"), top = getLong(w, "Top");
    const auto width = getLong(w, "Width"), height = getLong(w, "Height");
    if (!target || !left || !top || !width || !height) return false;
    if (is(name, "Left")) return move(w, *target, *top);
    if (is(name, "Top")) return move(w, *left, *target);
    if (is(name, "Width")) return move(w, *left, *top, *target, *height);
    if (is(name, "Height")) return move(w, *left, *top, *width, *target);
    return false;
}

bool move(QWidget *w, int left, int top, std::optional<int> width, std::optional<int> height) {
    if (!w) return false;
    if (width && *width < 0) return false;
    if (height && *height < 0) return false;
    if (hasQtProperty(w, "Left")) {
        // A control with its own geometry properties: check that every one
        // this call writes can be written, so the call is all or nothing.
        for (const char *name : {"Left", "Top", "Width", "Height"}) {
            if ((is(name, "Width") && !width) || (is(name, "Height") && !height)) continue;
            const int i = declaredIndex(w, name);
            if (i >= 0 && !w->metaObject()->property(i).isWritable()) return false;
            if (i < 0 && !hasDynamicProperty(w, name)) return false;
        }
        set(w, "Left", left);
        set(w, "Top", top);
        if (width) set(w, "Width", *width);
        if (height) set(w, "Height", *height);
        return true;
    }
    const ScreenMetrics s = currentScreen();
    const auto x = toPixels(left, s.twipsPerPixelX);
    const auto y = toPixels(top, s.twipsPerPixelY);
    const auto pw = width ? toPixels(*width, s.twipsPerPixelX) : std::optional<int>{};
    const auto ph = height ? toPixels(*height, s.twipsPerPixelY) : std::optional<int>{};
    if (!x || !y) return false;
    const QRect now = outerRect(w);
    const QRect target(*x, *y, pw ? *pw : now.width(), ph ? *ph : now.height());
    if (isForm(w)) {
        setOuterRect(w, target);
        return true;
    }
    if (!width && !height)
        w->move(target.topLeft());
    else
        w->setGeometry(target);
    return true;
}

} // namespace MorvaneCtl::LateBound
