// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "latebinding.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaProperty>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

#include "morvane/morvane.h"
#include "morvane/screen.h"
#include "onscreen.h"

namespace MorvaneCtl::LateBound {

namespace {

constexpr const char* PropNames[] = {
    "Name",       "Index",       "Left",        "Top",      "Width",     "Height",
    "ScaleWidth", "ScaleHeight", "WindowState", "FontSize", "TabHeight", "AutoSize",
    "X1",         "Y1",          "X2",          "Y2",       "ColsCount", "ColumnsCount",
};
constexpr int PropCount = std::size(PropNames);

std::optional<Prop> propNamed(const char* name) {
    for (int i = 0; i < PropCount; ++i)
        if (std::strcmp(PropNames[i], name) == 0) return static_cast<Prop>(i);
    return std::nullopt;
}

// Which of the names a class declares as Qt properties (their indexes, or
// -1). Looking a name up in a meta-object compares it with every property
// of every base class, and a pass asks a dozen names of every control, so
// the answers are kept per class; a form's controls are mostly of a few
// classes, so the last class asked is kept at hand too.
struct ClassInfo {
    std::array<int, PropCount> declared;
};

struct ClassCache {
    const QMetaObject* lastMeta = nullptr;
    const ClassInfo* lastInfo = nullptr;
    std::unordered_map<const QMetaObject*, ClassInfo> known;
};

const ClassInfo& classInfo(const QWidget* w) {
    // One thread-local object: each one costs a lookup of its own in a
    // shared library, and this is asked several times for every control.
    thread_local ClassCache cache;
    ClassCache& c = cache;
    const QMetaObject* meta = w->metaObject();
    if (meta == c.lastMeta) return *c.lastInfo;
    auto it = c.known.find(meta);
    if (it == c.known.end()) {
        ClassInfo info;
        for (int i = 0; i < PropCount; ++i) info.declared[i] = meta->indexOfProperty(PropNames[i]);
        it = c.known.emplace(meta, info).first;
    }
    c.lastMeta = meta;
    c.lastInfo = &it->second;
    return *c.lastInfo;
}

int declaredIndex(const QWidget* w, Prop p) {
    return classInfo(w).declared[static_cast<int>(p)];
}

bool hasDynamicProperty(const QWidget* w, const char* name) {
    const QList<QByteArray> names = w->dynamicPropertyNames();
    return !names.isEmpty() && names.contains(name);
}

// A name the widget answers through Qt's property system, declared or dynamic.
bool hasQtProperty(const QWidget* w, Prop p) {
    return declaredIndex(w, p) >= 0 || hasDynamicProperty(w, nameOf(p));
}

std::optional<int> roundToLong(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v);  // the default rounding mode: halves to even
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(r);
}

std::optional<int> toPixels(double twips, double twipsPerPixel) {
    return roundToLong(twips / twipsPerPixel);
}

// The rectangle of a widget in pixels as Left/Top/Width/Height see it.
QRect outerRect(QWidget* w) {
    if (!isForm(w)) return w->geometry();
    QWidget* frame = frameOf(w);
    if (!frame->isWindow()) return frame->geometry();
    // Until a window is on the screen (also while its first show is under
    // way), Qt keeps the place given to move() as its frame's place but
    // reports the frame shifted by the frame's width; the place as given is
    // where the frame will be.
    if (!frame->isVisible() || !frame->windowHandle() || !frame->windowHandle()->isVisible())
        return QRect(frame->geometry().topLeft(), frame->frameGeometry().size());
    return frame->frameGeometry();
}

// Places a form's outer frame at r (pixels): a top-level window is moved by
// its frame and sized by its client, so the decoration is taken off.
void setOuterRect(QWidget* form, const QRect& r) {
    QWidget* frame = frameOf(form);
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

// The mark before the rule the control adds to a tab bar's style sheet.
const QLatin1String TabHeightMark("/* Morvane TabHeight */");

}  // namespace

QString withTabHeight(const QString& sheet, int pixels) {
    QString own = sheet;
    if (const qsizetype at = own.indexOf(TabHeightMark); at >= 0) own.truncate(at);
    own = own.trimmed();
    // A sheet of bare declarations ("color: red") is how Qt reads a sheet
    // for the widget itself; it becomes a rule of its own, written the way
    // Qt reads it, so that another rule can follow it.
    if (!own.isEmpty() && !own.contains(QLatin1Char('{')))
        own = QStringLiteral("* { %1 }").arg(own);
    if (!own.isEmpty()) own += QLatin1Char('\n');
    return own + TabHeightMark + QStringLiteral(" QTabBar::tab { height: %1px; }").arg(pixels);
}

namespace {

const QFrame* plainLine(const QWidget* w) {
    if (w->metaObject() != &QFrame::staticMetaObject) return nullptr;
    const auto* frame = static_cast<const QFrame*>(w);
    const auto shape = frame->frameShape();
    return shape == QFrame::HLine || shape == QFrame::VLine ? frame : nullptr;
}

double fontPoints(const QWidget* w) {
    const QFont f = w->font();
    if (f.pointSizeF() > 0) return f.pointSizeF();
    return f.pixelSize() * 72.0 / w->logicalDpiY();
}

std::optional<QVariant> lineEnd(QWidget* w, Prop p) {
    const QFrame* line = plainLine(w);
    if (!line) return std::nullopt;
    const ScreenMetrics s = currentScreen(w);
    const QRect g = w->geometry();
    const bool horizontal = line->frameShape() == QFrame::HLine;
    // A horizontal frame line runs along its vertical centre from its left
    // to its right edge; a vertical one likewise down its horizontal centre.
    if (horizontal) {
        if (p == Prop::X1) return g.x() * s.twipsPerPixelX;
        if (p == Prop::X2) return (g.x() + g.width()) * s.twipsPerPixelX;
        return (g.y() + g.height() / 2.0) * s.twipsPerPixelY;
    }
    if (p == Prop::Y1) return g.y() * s.twipsPerPixelY;
    if (p == Prop::Y2) return (g.y() + g.height()) * s.twipsPerPixelY;
    return (g.x() + g.width() / 2.0) * s.twipsPerPixelX;
}

bool setLineEnd(QWidget* w, Prop p, double twips) {
    const QFrame* line = plainLine(w);
    if (!line) return false;
    const ScreenMetrics s = currentScreen(w);
    const bool xName = p == Prop::X1 || p == Prop::X2;
    const auto px = toPixels(twips, xName ? s.twipsPerPixelX : s.twipsPerPixelY);
    if (!px) return false;
    QRect g = w->geometry();
    const bool horizontal = line->frameShape() == QFrame::HLine;
    const bool alongLine = horizontal == xName;
    if (alongLine) {
        // One end of the line moves, the other stays.
        const bool first = p == Prop::X1 || p == Prop::Y1;
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

}  // namespace

bool isForm(const QWidget* w) {
    if (!w) return false;
    if (w->isWindow()) return true;
    const QWidget* p = w->parentWidget();
    return p && qobject_cast<const QMdiSubWindow*>(p) != nullptr;
}

bool isMdiForm(const QWidget* w) {
    const auto* main = qobject_cast<const QMainWindow*>(w);
    return main && qobject_cast<const QMdiArea*>(main->centralWidget()) != nullptr;
}

bool isLine(const QWidget* w) {
    return declaredIndex(w, Prop::X1) >= 0 || plainLine(w) != nullptr;
}

bool isLabel(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) != nullptr;
}

bool isListBox(const QWidget* w) {
    return qobject_cast<const QListView*>(w) != nullptr;
}

bool isMorvane(const QWidget* w) {
    return qobject_cast<const Morvane*>(w) != nullptr;
}

QWidget* frameOf(QWidget* form) {
    QWidget* p = form->parentWidget();
    if (!form->isWindow() && p && qobject_cast<QMdiSubWindow*>(p)) return p;
    return form;
}

QWidget* clientOf(QWidget* form) {
    if (auto* main = qobject_cast<QMainWindow*>(form); main && main->centralWidget())
        return main->centralWidget();
    return form;
}

const char* nameOf(Prop prop) {
    return PropNames[static_cast<int>(prop)];
}

std::optional<QVariant> get(QWidget* w, Prop p) {
    if (!w) return std::nullopt;
    if (const int i = declaredIndex(w, p); i >= 0) {
        QVariant v = w->metaObject()->property(i).read(w);
        if (!v.isValid()) return std::nullopt;
        return v;
    }
    if (hasDynamicProperty(w, nameOf(p))) return w->property(nameOf(p));
    const ScreenMetrics s = currentScreen(w);
    switch (p) {
        case Prop::Name:
            return w->objectName();
        case Prop::Left:
            return outerRect(w).x() * s.twipsPerPixelX;
        case Prop::Top:
            return outerRect(w).y() * s.twipsPerPixelY;
        case Prop::Width:
            return outerRect(w).width() * s.twipsPerPixelX;
        case Prop::Height:
            return outerRect(w).height() * s.twipsPerPixelY;
        case Prop::ScaleWidth:
            return clientOf(w)->width() * s.twipsPerPixelX;
        case Prop::ScaleHeight:
            return clientOf(w)->height() * s.twipsPerPixelY;
        case Prop::FontSize:
            return fontPoints(w);
        case Prop::WindowState: {
            if (!isForm(w)) return std::nullopt;
            const Qt::WindowStates state = frameOf(w)->windowState();
            if (state & Qt::WindowMinimized) return 1;
            if (state & Qt::WindowMaximized) return 2;
            return 0;
        }
        case Prop::TabHeight: {
            const auto* tabs = qobject_cast<const QTabWidget*>(w);
            if (!tabs) return std::nullopt;
            return tabs->tabBar()->sizeHint().height() * s.twipsPerPixelY;
        }
        case Prop::X1:
        case Prop::Y1:
        case Prop::X2:
        case Prop::Y2:
            return lineEnd(w, p);
        // A view is a grid whether or not it has been given a model yet.
        case Prop::ColsCount: {
            const auto* table = qobject_cast<const QTableView*>(w);
            if (!table) return std::nullopt;
            return table->model() ? table->model()->columnCount() : 0;
        }
        case Prop::ColumnsCount: {
            const auto* tree = qobject_cast<const QTreeView*>(w);
            if (!tree) return std::nullopt;
            return tree->model() ? tree->model()->columnCount() : 0;
        }
        case Prop::Index:     // a control array's index and a label's AutoSize exist
        case Prop::AutoSize:  // only as properties the form gave the widget
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QVariant> get(QWidget* w, const char* name) {
    if (!w) return std::nullopt;
    if (const auto p = propNamed(name)) return get(w, *p);
    QVariant v = w->property(name);
    if (!v.isValid()) return std::nullopt;
    return v;
}

namespace {

std::optional<int> longOf(const std::optional<QVariant>& v) {
    if (!v) return std::nullopt;
    if (v->typeId() == QMetaType::Bool) return v->toBool() ? -1 : 0;
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok) return std::nullopt;
    return roundToLong(d);
}

}  // namespace

std::optional<int> getLong(QWidget* w, Prop p) {
    return longOf(get(w, p));
}

Identity identityOf(QWidget* w) {
    Identity id;
    if (!w) return id;
    // Most controls hold no dynamic property and declare neither name: then
    // the name is the object name and the index 0, found without the
    // general lookup the engine would otherwise make twice per control.
    const ClassInfo& info = classInfo(w);
    const bool plain = info.declared[static_cast<int>(Prop::Name)] < 0 &&
                       info.declared[static_cast<int>(Prop::Index)] < 0 &&
                       w->dynamicPropertyNames().isEmpty();
    if (plain) {
        id.name = w->objectName();
        return id;
    }
    if (const auto name = get(w, Prop::Name)) id.name = name->toString();
    id.index = getLong(w, Prop::Index).value_or(0);
    return id;
}
std::optional<int> getLong(QWidget* w, const char* name) {
    return longOf(get(w, name));
}

bool set(QWidget* w, Prop p, const QVariant& value) {
    if (!w) return false;
    if (const int i = declaredIndex(w, p); i >= 0) {
        const QMetaProperty property = w->metaObject()->property(i);
        return property.isWritable() && property.write(w, value);
    }
    if (hasDynamicProperty(w, nameOf(p))) {
        w->setProperty(nameOf(p), value);
        return true;
    }
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok) return false;
    switch (p) {
        case Prop::WindowState: {
            if (!isForm(w)) return false;
            QWidget* frame = frameOf(w);
            const Qt::WindowStates kept =
                frame->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
            if (v == 0)
                frame->setWindowState(kept);
            else if (v == 1)
                frame->setWindowState(kept | Qt::WindowMinimized);
            else if (v == 2)
                frame->setWindowState(kept | Qt::WindowMaximized);
            else
                return false;
            return true;
        }
        case Prop::FontSize: {
            if (!(v > 0) || !std::isfinite(v) || v > 4096) return false;
            QFont f = w->font();
            f.setPointSizeF(v);
            w->setFont(f);
            // A label that sizes itself follows its new text size.
            if (auto* label = qobject_cast<QLabel*>(w);
                label && label->property("AutoSize").toBool())
                label->adjustSize();
            return true;
        }
        case Prop::TabHeight: {
            auto* tabs = qobject_cast<QTabWidget*>(w);
            if (!tabs) return false;
            const auto px = toPixels(v, currentScreen(w).twipsPerPixelY);
            if (!px || *px < 1) return false;
            // Qt derives a tab's height from its style; a style sheet is the one
            // way to set it. The rule is added to whatever sheet the tab bar
            // has. Parsing a sheet is costly, so an unchanged one is not set
            // again.
            QTabBar* bar = tabs->tabBar();
            const QString sheet = withTabHeight(bar->styleSheet(), *px);
            if (bar->styleSheet() != sheet) bar->setStyleSheet(sheet);
            return true;
        }
        case Prop::X1:
        case Prop::Y1:
        case Prop::X2:
        case Prop::Y2:
            return setLineEnd(w, p, v);
        case Prop::Left:
        case Prop::Top:
        case Prop::Width:
        case Prop::Height: {
            const auto target = roundToLong(v);
            const auto left = getLong(w, Prop::Left), top = getLong(w, Prop::Top);
            const auto width = getLong(w, Prop::Width), height = getLong(w, Prop::Height);
            if (!target || !left || !top || !width || !height) return false;
            if (p == Prop::Left) return move(w, *target, *top);
            if (p == Prop::Top) return move(w, *left, *target);
            if (p == Prop::Width) return move(w, *left, *top, *target, *height);
            return move(w, *left, *top, *width, *target);
        }
        default:
            return false;
    }
}

bool set(QWidget* w, const char* name, const QVariant& value) {
    if (!w) return false;
    if (const auto p = propNamed(name)) return set(w, *p, value);
    if (const int i = w->metaObject()->indexOfProperty(name); i >= 0) {
        const QMetaProperty property = w->metaObject()->property(i);
        return property.isWritable() && property.write(w, value);
    }
    if (hasDynamicProperty(w, name)) {
        w->setProperty(name, value);
        return true;
    }
    return false;
}

bool move(QWidget* w, int left, int top, std::optional<int> width, std::optional<int> height) {
    if (!w) return false;
    if (width && *width < 0) return false;
    if (height && *height < 0) return false;
    if (hasQtProperty(w, Prop::Left)) {
        // A control with its own geometry properties: check that every one
        // this call writes can be written, so the call is all or nothing.
        for (const Prop p : {Prop::Left, Prop::Top, Prop::Width, Prop::Height}) {
            if ((p == Prop::Width && !width) || (p == Prop::Height && !height)) continue;
            const int i = declaredIndex(w, p);
            if (i >= 0 && !w->metaObject()->property(i).isWritable()) return false;
            if (i < 0 && !hasDynamicProperty(w, nameOf(p))) return false;
        }
        set(w, Prop::Left, left);
        set(w, Prop::Top, top);
        if (width) set(w, Prop::Width, *width);
        if (height) set(w, Prop::Height, *height);
        return true;
    }
    const ScreenMetrics s = currentScreen(w);
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

namespace {

// How many pixels apart two ranges [a, a + n) and [b, b + m) lie: 0 when
// they share a pixel, 1 when they only touch. In 64 bits: a window's
// coordinates may be anywhere an int reaches.
std::int64_t gap(std::int64_t a, std::int64_t n, std::int64_t b, std::int64_t m) {
    if (a >= b + m) return a - (b + m) + 1;
    if (b >= a + n) return b - (a + n) + 1;
    return 0;
}

// Where a range of length n that starts at a goes to lie within [b, b + m)
// as far as it fits: its start always inside, its end inside when it fits.
int clampedStart(std::int64_t a, std::int64_t n, std::int64_t b, std::int64_t m) {
    return static_cast<int>(std::max(b, std::min(a, b + m - n)));
}

}  // namespace

namespace {

// Whether some part of r (pixels) lies on the available area of a screen,
// and which screen's area is nearest to it otherwise.
bool onAScreen(const QRect& r, std::optional<QRect>* nearest = nullptr) {
    // A window of no width or height still has its corner somewhere.
    const std::int64_t w = std::max(1, r.width()), h = std::max(1, r.height());
    double nearestDistance = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        if (a.isEmpty()) continue;
        const std::int64_t dx = gap(r.x(), w, a.x(), a.width());
        const std::int64_t dy = gap(r.y(), h, a.y(), a.height());
        if (dx == 0 && dy == 0) return true;
        // Gaps reach 2^32 pixels, whose squares 64-bit integers cannot add.
        const double distance = double(dx) * double(dx) + double(dy) * double(dy);
        if (nearest && (!*nearest || distance < nearestDistance)) {
            *nearest = a;
            nearestDistance = distance;
        }
    }
    return false;
}

}  // namespace

bool onSomeScreen(QWidget* form, const QRect& twips) {
    if (!form || !frameOf(form)->isWindow()) return true;
    const ScreenMetrics s = currentScreen(form);
    const auto x = toPixels(twips.x(), s.twipsPerPixelX), y = toPixels(twips.y(), s.twipsPerPixelY);
    const auto w = toPixels(twips.width(), s.twipsPerPixelX);
    const auto h = toPixels(twips.height(), s.twipsPerPixelY);
    if (!x || !y || !w || !h) return false;
    if (QGuiApplication::screens().isEmpty()) return true;
    return onAScreen(QRect(*x, *y, *w, *h));
}

QRectF screenAreaOf(QWidget* form) {
    const ScreenMetrics s = currentScreen(form);
    QPointF origin;
    if (const QScreen* screen = form ? form->screen() : QGuiApplication::primaryScreen();
        screen && s.widthTwips == screen->size().width() * s.twipsPerPixelX &&
        s.heightTwips == screen->size().height() * s.twipsPerPixelY)
        origin = QPointF(screen->geometry().x() * s.twipsPerPixelX,
                         screen->geometry().y() * s.twipsPerPixelY);
    return {origin, QSizeF(s.widthTwips, s.heightTwips)};
}

void centerOnScreen(QWidget* form) {
    const QRectF area = screenAreaOf(form);
    if (const auto scaleWidth = get(form, Prop::ScaleWidth))
        set(form, Prop::Left, area.x() + (area.width() - scaleWidth->toDouble()) / 2);
    if (const auto scaleHeight = get(form, Prop::ScaleHeight))
        set(form, Prop::Top, area.y() + (area.height() - scaleHeight->toDouble()) / 2);
}

bool bringOntoScreen(QWidget* form) {
    if (!form) return false;
    QWidget* frame = frameOf(form);
    if (!frame->isWindow()) return false;
    const QRect r = outerRect(form);
    std::optional<QRect> nearest;
    if (onAScreen(r, &nearest)) return false;
    if (!nearest) return false;
    const QPoint place(clampedStart(r.x(), r.width(), nearest->x(), nearest->width()),
                       clampedStart(r.y(), r.height(), nearest->y(), nearest->height()));
    // As setOuterRect does: a window is moved by its frame.
    frame->move(place);
    return true;
}

}  // namespace MorvaneCtl::LateBound
