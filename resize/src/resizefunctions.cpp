// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "resizefunctions.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <deque>
#include <typeinfo>
#include <unordered_map>

#include "geometrytext.h"
#include "latebinding.h"
#include "logging.h"
#include "morvane/morvane.h"
#include "onscreen.h"
#include "screenpin.h"

#if defined(__GNUC__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace MorvaneCtl::ResizeFunctions {

namespace {

// A form's name with its hash, worked out once for a whole pass.
struct FormKey {
    QString name;
    size_t hash;
    explicit FormKey(const QString& formName) : name(formName), hash(qHash(formName)) {}
};

struct ControlKey {
    QString formName;
    size_t formHash;
    QString name;
    int index;
    bool operator==(const ControlKey& o) const {
        return index == o.index && formHash == o.formHash && name == o.name &&
               formName == o.formName;
    }
};

struct ControlKeyHash {
    size_t operator()(const ControlKey& k) const noexcept {
        return qHashMulti(k.formHash, k.name, k.index);
    }
};

// The engine's tables. They are ordered and searched first match first;
// the maps beside them hold the first index of every key, so a lookup is
// one hash probe instead of a scan and a pass stays linear.
// What a record holds for placing a control; records never change once
// made, so a pass may keep a copy.
struct Recorded {
    int record = -1;
    int x = 0, y = 0, extentX = 0, extentY = 0, tabHeight = 0;
    float fontSize = 0;
};

// What a pass found at one step of its walk: the widget, its class,
// whether it was found by its Name and Index alone, and its record.
struct WalkEntry {
    const QWidget* widget;
    const QMetaObject* meta;
    bool plainIdentity;
    Recorded recorded;
};

// What the engine keeps beside a form record to notice two different forms
// that share one: the design the record was made from, and the forms that
// have been compared with it.
struct FormDesign {
    QString className;
    QString title;
    size_t signature = 0;
    std::vector<QPointer<QWidget>> compared;
    std::vector<size_t> warnedAbout;
    // The records the last pass over one of the form's instances found,
    // in walk order (see cachedRecord()).
    const QWidget* walkedForm = nullptr;
    std::vector<WalkEntry> walked;
};

// What a pass needs to know of a control's class, worked out once per
// class. byName: the class declares one of the engine's names as a Qt
// property, or may be a line (a plain QFrame), so it is read and written by
// name; the others are placed directly.
struct ClassKind {
    const QMetaObject* meta = nullptr;
    bool morvane = false;
    bool byName = false;
    bool declaresIdentity = false;
    bool label = false;
    bool listBox = false;
    bool grid = false;
    bool tabs = false;
};

// The last walk that found a control record, and by which widget: a second
// widget finding the same record in the same walk shares its name.
struct Stamp {
    unsigned walk = 0;
    const QWidget* widget = nullptr;
};

struct Tables {
    WorkingCopies copies;
    std::vector<FormRecord> forms;
    std::vector<FormDesign> designs;
    std::unordered_map<QString, int> formIndex;
    std::vector<ControlRecord> controls;
    std::vector<Stamp> stamps;
    std::unordered_map<ControlKey, int, ControlKeyHash> controlIndex;
    unsigned walks = 0;
    std::deque<ClassKind> kinds;
    const ClassKind* lastKind = nullptr;
};

Tables& tables() {
    thread_local Tables t;
    return t;
}

// The kind of a class, from a short list: a form holds controls of a few
// classes, and a pass asks for every control.
const ClassKind& kindOf(const QMetaObject* meta) {
    Tables& t = tables();
    if (t.lastKind && t.lastKind->meta == meta) return *t.lastKind;
    for (const ClassKind& k : t.kinds)
        if (k.meta == meta) return *(t.lastKind = &k);
    ClassKind k;
    k.meta = meta;
    k.morvane = meta->inherits(&Morvane::staticMetaObject);
    bool declares = false;
    for (LateBound::Prop p :
         {LateBound::Prop::Name, LateBound::Prop::Index, LateBound::Prop::Left,
          LateBound::Prop::Top, LateBound::Prop::Width, LateBound::Prop::Height,
          LateBound::Prop::ScaleWidth, LateBound::Prop::ScaleHeight, LateBound::Prop::WindowState,
          LateBound::Prop::FontSize, LateBound::Prop::TabHeight, LateBound::Prop::AutoSize,
          LateBound::Prop::X1, LateBound::Prop::Y1, LateBound::Prop::X2, LateBound::Prop::Y2,
          LateBound::Prop::ColsCount, LateBound::Prop::ColumnsCount})
        declares = declares || meta->indexOfProperty(LateBound::nameOf(p)) >= 0;
    k.declaresIdentity = meta->indexOfProperty(LateBound::nameOf(LateBound::Prop::Name)) >= 0 ||
                         meta->indexOfProperty(LateBound::nameOf(LateBound::Prop::Index)) >= 0;
    k.byName = declares || meta == &QFrame::staticMetaObject;
    k.label = meta->inherits(&QLabel::staticMetaObject);
    k.listBox = meta->inherits(&QListView::staticMetaObject);
    k.grid = meta->inherits(&QTableView::staticMetaObject) ||
             meta->inherits(&QTreeView::staticMetaObject);
    k.tabs = meta->inherits(&QTabWidget::staticMetaObject);
    t.kinds.push_back(k);  // a deque: what was handed out stays where it is
    return *(t.lastKind = &t.kinds.back());
}

using LateBound::get;
using LateBound::getLong;
using LateBound::Prop;
using LateBound::set;

QString nameOf(QWidget* w) {
    const auto v = get(w, Prop::Name);
    return v ? v->toString() : QString();
}

std::optional<float> fontSizeOf(QWidget* w) {
    const auto v = get(w, Prop::FontSize);
    if (!v) return std::nullopt;
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok) return std::nullopt;
    return static_cast<float>(d);
}

// A grid answers the count of its columns; its font is left alone.
bool answersColumnCount(QWidget* w) {
    return get(w, Prop::ColsCount).has_value() || get(w, Prop::ColumnsCount).has_value();
}

// The widgets a layout places, in its own items and in its nested layouts.
void collectLaidOut(const QLayout* layout, QSet<const QWidget*>& out) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (!item) continue;
        if (const QWidget* w = item->widget())
            out.insert(w);
        else if (const QLayout* inner = item->layout())
            collectLaidOut(inner, out);
    }
}

bool isQtPart(const QString& name) {
    return name.startsWith(QLatin1String("qt_"));
}

// Whether the widgets inside w are controls of the form: they are in the
// widgets forms hold their controls in (plain widgets such as tab pages,
// frames, group boxes, and classes of one's own built on them), not among
// the parts of another control (a table's headers, a tab bar's scroll
// buttons, a spin box's editor), named or not.
bool holdsControls(const QWidget* w) {
    for (const QMetaObject* m = w->metaObject(); m; m = m->superClass()) {
        if (m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject ||
            m == &QGroupBox::staticMetaObject)
            return true;
        // The first of Qt's own classes decides; a class of one's own
        // ("MyPanel") is looked through.
        const char* c = m->className();
        if (c[0] == 'Q' && c[1] >= 'A' && c[1] <= 'Z') return false;
    }
    return false;
}

// One step of a control's place: its name (or class) and its position
// among its parent's widgets; Qt's own parts by their name alone.
QString stepOf(const QWidget* w, const QString& name, int position) {
    if (position < 0) return name;
    return (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name) +
           QLatin1Char('#') + QString::number(position);
}

// Where a widget stands in a walk: its parent's place and its position
// among its parent's widgets (windows and Qt's own parts not counted, so
// the repaint cover and the like shift nothing). The text of a place is
// made only when a control needs it.
struct Place {
    Place(const Place* parent, QWidget* w, int pos, bool inLayout = false)
        : up(parent), widget(w), position(pos), laidOut(inLayout) {}

    const Place* up;  // nullptr: the form's client
    QWidget* widget;
    int position;
    // A Qt layout places the widget: the engine leaves its geometry alone.
    bool laidOut;
    mutable QString text;
    mutable bool made = false;

    const QString& path() const {
        if (!made) {
            if (up)
                text =
                    up->path() + QLatin1Char('/') + stepOf(widget, widget->objectName(), position);
            made = true;
        }
        return text;
    }
};

// Calls visit(control, place, objectName) for every control below parent,
// depth first, in the order of the form's control collection, and for every
// widget a Qt layout places there (place.laidOut). A visitor
// that recognises the next control it expects (known(widget) is true: the
// widget it met at this point of the last walk) gets no name: the walk does
// not read it again (see ResizeForm).
template <typename Known, typename Visit>
void walkControls(const Place& parent, bool holds, Known& known, Visit& visit) {
    // A copy, so that nothing visit does to a control disturbs the walk.
    const QObjectList children = parent.widget->children();
    QSet<const QWidget*> laidOut;
    if (const QLayout* layout = parent.widget->layout()) collectLaidOut(layout, laidOut);
    int position = 0;
    for (QObject* child : children) {
        if (!child->isWidgetType()) continue;
        auto* w = static_cast<QWidget*>(child);
        if (w->isWindow()) continue;  // a dialog owned by the form is no control of it
        const bool inLayout = !laidOut.isEmpty() && laidOut.contains(w);
        if (holds && !inLayout && known(w)) {
            const Place place(&parent, w, position++);
            visit(w, place, nullptr);
            if (!w->children().isEmpty()) walkControls(place, holdsControls(w), known, visit);
            continue;
        }
        const QString name = w->objectName();
        const bool qtPart = isQtPart(name);
        const Place place(&parent, w, qtPart ? -1 : position++, inLayout);
        if (holds && !qtPart) visit(w, place, &name);
        if (!w->children().isEmpty())
            walkControls(place, !qtPart && holdsControls(w), known, visit);
    }
}

template <typename Known, typename Visit>
void forEachControl(QWidget* client, Known& known, Visit& visit) {
    const Place root(nullptr, client, -1);
    walkControls(root, true, known, visit);
}

template <typename Visit>
void forEachControl(QWidget* client, Visit& visit) {
    auto unknown = [](const QWidget*) { return false; };
    auto named = [&](QWidget* w, const Place& where, const QString* name) {
        visit(w, where, *name);
    };
    forEachControl(client, unknown, named);
}

std::optional<int> checkedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
    return r;
}

void scaleFont(QWidget* control, const ControlRecord& r, int px, int py) {
    const double size = static_cast<double>(r.fontSize) * std::min(px, py) / 100.0;
    set(control, Prop::FontSize, size);
}

// Keeps the form's background picture stretched over its client area. The
// picture as first found is kept on the widget, so each stretch starts from
// the original and no quality is lost pass after pass.
void stretchBackground(QWidget* form) {
    QWidget* client = LateBound::clientOf(form);
    static const char* const key = "morvaneBackgroundPicture";
    QPixmap original = client->property(key).value<QPixmap>();
    if (original.isNull()) {
        original = client->palette().brush(QPalette::Window).texture();
        if (original.isNull()) return;
        client->setProperty(key, original);
    }
    if (client->width() <= 0 || client->height() <= 0) return;
    QPalette palette = client->palette();
    palette.setBrush(QPalette::Window, QBrush(original.scaled(client->size(), Qt::IgnoreAspectRatio,
                                                              Qt::SmoothTransformation)));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
}

// Moving a shown widget makes Qt add its old and new place to the region of
// the window to repaint; with thousands of moves that region grows rect by
// rect and every move costs more than the one before. Marking the whole
// client for repainting first makes each later move fall inside the marked
// region, so a move costs the same whatever came before, and the form is
// repainted in one piece afterwards, as after any resize. Qt marks a region
// that way when a child widget changes its geometry, so the mark is made by
// growing an empty child to the client's size for the length of a pass: it
// paints nothing, takes no input, lies below every control, and its name
// keeps it out of the form's controls.
class RepaintCover {
public:
    explicit RepaintCover(QWidget* client) {
        if (!client->isVisible()) return;
        static const QString name = QStringLiteral("qt_morvane_repaint_cover");
        const QObjectList& children = client->children();
        QWidget* cover = nullptr;
        // Kept lowest, the cover is normally the client's first child.
        if (!children.isEmpty() && children.first()->objectName() == name)
            cover = qobject_cast<QWidget*>(children.first());
        if (!cover) cover = client->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        if (!cover) {
            cover = new QWidget(client);
            cover->setObjectName(name);
            cover->setAttribute(Qt::WA_TransparentForMouseEvents);
            cover->setFocusPolicy(Qt::NoFocus);
            cover->setGeometry(0, 0, 0, 0);
            cover->lower();
            cover->show();
        }
        cover->setGeometry(client->rect());
        m_cover = cover;
    }
    ~RepaintCover() {
        if (m_cover) m_cover->setGeometry(0, 0, 0, 0);
    }
    RepaintCover(const RepaintCover&) = delete;
    RepaintCover& operator=(const RepaintCover&) = delete;

private:
    QPointer<QWidget> m_cover;
};

// The scale a form is at: its width and height percents.
struct Scale {
    int px = 100, py = 100;
};

void registerNew(QWidget* form, const FormKey& key, Scale now);
void compareWithRecord(QWidget* form, int index);
size_t designSignature(QWidget* form);

// The C++ class of a form, as its developer named it.
QString classNameOf(const QWidget* w) {
    const char* mangled = typeid(*w).name();
#if defined(__GNUC__)
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    if (status == 0 && plain) {
        QString name = QString::fromLatin1(plain);
        std::free(plain);
        return name;
    }
#endif
    return QString::fromLatin1(mangled);
}

// A place's text for a widget outside a walk: the same steps, counted from
// its parents' children.
QString placeFromParents(QWidget* control) {
    QWidget* form = control->parentWidget();
    while (form && !LateBound::isForm(form)) form = form->parentWidget();
    if (!form) return {};
    const QWidget* client = LateBound::clientOf(form);
    QStringList steps;
    for (QWidget* w = control; w != client; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        if (!parent || w->isWindow()) return {};
        const QString name = w->objectName();
        int position = -1;
        if (!isQtPart(name)) {
            position = 0;
            for (QObject* sibling : parent->children()) {
                if (sibling == w) break;
                if (!sibling->isWidgetType() || static_cast<QWidget*>(sibling)->isWindow() ||
                    isQtPart(sibling->objectName()))
                    continue;
                ++position;
            }
        }
        steps.prepend(stepOf(w, name, position));
    }
    return QLatin1Char('/') + steps.join(QLatin1Char('/'));
}

}  // namespace

WorkingCopies& workingCopies() {
    return tables().copies;
}
const std::vector<FormRecord>& formTable() {
    return tables().forms;
}
const std::vector<ControlRecord>& controlTable() {
    return tables().controls;
}

QString formIdentity(QWidget* form) {
    if (!form) return {};
    const QString name = nameOf(form);
    if (form->dynamicPropertyNames().isEmpty()) return name;
    const QVariant key = form->property(StrictIdentityProperty);
    if (!key.isValid()) return name;
    QString identity = name + QLatin1Char('.') + classNameOf(form);
    if (const QString k = key.toString(); !k.isEmpty()) identity += QLatin1Char('.') + k;
    identity.replace(QLatin1Char('/'), QLatin1Char('_'))
        .replace(QLatin1Char('\\'), QLatin1Char('_'));
    return identity;
}

QList<QWidget*> formControls(QWidget* form) {
    QList<QWidget*> out;
    auto append = [&](QWidget* w, const Place& where, const QString&) {
        if (!where.laidOut) out.append(w);
    };
    if (form) forEachControl(LateBound::clientOf(form), append);
    return out;
}

QString placeOf(QWidget* control) {
    if (!control) return {};
    const LateBound::Identity id = LateBound::identityOf(control);
    return id.name.isEmpty() ? placeFromParents(control) : id.name;
}

int UnparkCoordinate(int x) {
    return x < ParkThreshold ? x + ParkOffset : x;
}

std::optional<int> scale(int v, int p) {
    int product = 0;
    if (__builtin_mul_overflow(v, p, &product)) return std::nullopt;
    return product / 100;  // C++ division truncates toward zero
}

namespace {

int findForm(const QString& identity) {
    const auto& index = tables().formIndex;
    const auto it = index.find(identity);
    return it == index.end() ? -1 : it->second;
}

}  // namespace

int FindFormRecord(QWidget* form) {
    return findForm(formIdentity(form));
}

int RegisterForm(QWidget* form) {
    Tables& t = tables();
    FormRecord r;
    r.name = nameOf(form);
    r.identity = formIdentity(form);
    r.top = getLong(form, Prop::Top).value_or(0);
    r.left = getLong(form, Prop::Left).value_or(0);
    r.designHeight = t.copies.formHeightDT;
    r.designWidth = t.copies.formWidthDT;
    r.designScaleHeight = t.copies.formScaleHeightDT;
    r.designScaleWidth = t.copies.formScaleWidthDT;
    r.fontSize = fontSizeOf(form).value_or(0);
    FormDesign design;
    design.className = classNameOf(form);
    design.title = form->windowTitle();
    design.signature = designSignature(form);
    design.compared.emplace_back(form);
    const int index = static_cast<int>(t.forms.size());
    t.forms.push_back(r);
    t.designs.push_back(std::move(design));
    t.formIndex.emplace(r.identity, index);
    registerNew(form, FormKey(r.identity), Scale{});
    return index;
}

namespace {

int findControl(const LateBound::Identity& id, const FormKey& form) {
    const auto& index = tables().controlIndex;
    const auto it = index.find(ControlKey{form.name, form.hash, id.name, id.index});
    return it == index.end() ? -1 : it->second;
}

// A value of a control at scale p, back at the design scale.
int unscaled(int v, int p) {
    if (p == 100 || p <= 0) return v;
    const double r = std::nearbyint(v * 100.0 / p);
    return static_cast<int>(std::clamp(r, -2147483648.0, 2147483647.0));
}

// Records a control as it is now, at the form's scale now: a control added
// to a form already laid out counts as placed at the form's scale, so the
// next pass leaves it where it was put.
int addControl(QWidget* control, const LateBound::Identity& id, const FormKey& form,
               Scale now = {}) {
    Tables& t = tables();
    ControlRecord r;
    r.name = id.name;
    r.index = id.index;
    r.formName = form.name;
    if (LateBound::isLine(control)) {
        r.y = getLong(control, Prop::Y1).value_or(0);
        r.x = UnparkCoordinate(getLong(control, Prop::X1).value_or(0));
        r.extentY = getLong(control, Prop::Y2).value_or(0);
        r.extentX = UnparkCoordinate(getLong(control, Prop::X2).value_or(0));
    } else {
        r.y = getLong(control, Prop::Top).value_or(0);
        r.x = UnparkCoordinate(getLong(control, Prop::Left).value_or(0));
        r.extentY = getLong(control, Prop::Height).value_or(0);
        r.extentX = getLong(control, Prop::Width).value_or(0);
        r.fontSize = fontSizeOf(control).value_or(0);
        r.tabHeight = getLong(control, Prop::TabHeight).value_or(0);
        // A grid keeps its font: give it a font of its own now, so that a
        // later change of the form's font does not reach it either.
        if (!LateBound::isListBox(control) && answersColumnCount(control)) {
            QFont own = control->font();
            own.setPointSizeF(own.pointSizeF() > 0 ? own.pointSizeF() : r.fontSize);
            control->setFont(own);
        }
        const int p = std::min(now.px, now.py);
        if (p > 0 && p != 100) r.fontSize = static_cast<float>(r.fontSize * 100.0 / p);
        r.tabHeight = unscaled(r.tabHeight, now.py);
    }
    r.x = unscaled(r.x, now.px);
    r.extentX = unscaled(r.extentX, now.px);
    r.y = unscaled(r.y, now.py);
    r.extentY = unscaled(r.extentY, now.py);
    const int index = static_cast<int>(t.controls.size());
    t.controls.push_back(r);
    t.stamps.emplace_back();
    t.controlIndex.emplace(ControlKey{form.name, form.hash, r.name, r.index}, index);
    return index;
}

// The record of a control met in a walk, made when there is none and
// makeMissing is set: found by the control's Name and Index, or by its
// place when it has no name or when another widget of this walk already
// found the record under that Name and Index. -1 when there is none.
int recordFor(QWidget* control, const Place& where, const FormKey& form, unsigned walk,
              bool makeMissing, Scale now = {}) {
    Tables& t = tables();
    LateBound::Identity id = LateBound::identityOf(control);
    bool byPlace = id.name.isEmpty();
    if (byPlace) id.name = where.path();
    int index = findControl(id, form);
    if (index >= 0 && !byPlace) {
        const Stamp& stamp = t.stamps[size_t(index)];
        if (stamp.walk == walk && stamp.widget != control) {
            id.name = where.path();
            index = findControl(id, form);
        }
    }
    if (index < 0 && makeMissing) index = addControl(control, id, form, now);
    if (index >= 0) t.stamps[size_t(index)] = Stamp{walk, control};
    return index;
}

void registerNew(QWidget* form, const FormKey& key, Scale now) {
    const unsigned walk = ++tables().walks;
    auto record = [&](QWidget* control, const Place& where, const QString&) {
        recordFor(control, where, key, walk, true, now);
    };
    forEachControl(LateBound::clientOf(form), record);
}

// A hash of what a form is made of: its class and, in walk order, every
// control's record name, class and geometry. Two instances of one form
// class agree on it until their first pass; two different forms do not.
size_t designSignature(QWidget* form) {
    size_t hash = qHash(classNameOf(form));
    auto add = [&](QWidget* control, const Place& where, const QString&) {
        if (where.laidOut) return;
        const LateBound::Identity id = LateBound::identityOf(control);
        const QRect g = control->geometry();
        hash = qHashMulti(hash, id.name.isEmpty() ? where.path() : id.name, id.index,
                          QLatin1String(control->metaObject()->className()), g.x(), g.y(),
                          g.width(), g.height());
    };
    forEachControl(LateBound::clientOf(form), add);
    return hash;
}

// Forms are found by name, so a form that merely shares the name of an
// earlier one is laid out from that one's record. Each form that finds a
// record it did not make is compared with the design the record was made
// from, once; a different design is reported once per record and design.
void compareWithRecord(QWidget* form, int index) {
    FormDesign& design = tables().designs[size_t(index)];
    for (const QPointer<QWidget>& seen : design.compared)
        if (seen == form) return;
    std::erase_if(design.compared, [](const QPointer<QWidget>& p) { return p.isNull(); });
    design.compared.emplace_back(form);
    const size_t signature = designSignature(form);
    if (signature == design.signature) return;
    if (std::find(design.warnedAbout.begin(), design.warnedAbout.end(), signature) !=
        design.warnedAbout.end())
        return;
    design.warnedAbout.push_back(signature);
    const FormRecord& record = tables().forms[size_t(index)];
    const QString className = classNameOf(form);
    const bool strict = record.identity != record.name;
    const QString text =
        QStringLiteral(
            "Morvane: the form \"%1\" (class %2, title \"%3\") has the identity \"%4\" of the form "
            "\"%1\" (class %5, title \"%6\") laid out before it, but other controls; it is laid "
            "out "
            "from that form's design. %7")
            .arg(record.name, className, form->windowTitle(), record.identity, design.className,
                 design.title,
                 strict ? QStringLiteral(
                              "Give the forms names of their own, or their Morvane controls "
                              "keys of their own with setStrictFormIdentity(true, key).")
                        : QStringLiteral("Give the forms names of their own, or call "
                                         "setStrictFormIdentity(true) on their Morvane controls."));
    qWarning("%s", qPrintable(text));
}

}  // namespace

int FindControlRecord(QWidget* control, const QString& formName) {
    LateBound::Identity id = LateBound::identityOf(control);
    if (id.name.isEmpty()) id.name = placeFromParents(control);
    return findControl(id, FormKey(formName));
}

namespace {

std::optional<int> percentOf(QWidget* form, int index, Prop scaleName, int FormRecord::*design) {
    if (index < 0) return std::nullopt;
    const int reference = tables().forms[size_t(index)].*design;
    if (reference == 0) return std::nullopt;
    const auto current = get(form, scaleName);
    if (!current) return std::nullopt;
    const double p = current->toDouble() * 100.0 / reference;
    if (!std::isfinite(p) || std::fabs(p) > 2147483647.0) return std::nullopt;
    return static_cast<int>(std::nearbyint(p));  // halves to even
}

}  // namespace

std::optional<int> WidthPercent(QWidget* form) {
    return percentOf(form, FindFormRecord(form), Prop::ScaleWidth, &FormRecord::designScaleWidth);
}

std::optional<int> HeightPercent(QWidget* form) {
    return percentOf(form, FindFormRecord(form), Prop::ScaleHeight, &FormRecord::designScaleHeight);
}

namespace {

void resizeOne(QWidget* control, int recordIndex, int px, int py) {
    // A copy: a control's own handlers may record further controls while
    // it is being placed, and the table may move.
    const ControlRecord r = tables().controls[size_t(recordIndex)];

    // A coordinate left of the threshold belongs to a hidden tab page and
    // stays parked by the page's offset.
    auto placed = [](std::optional<int> scaled, std::optional<int> current) -> std::optional<int> {
        if (!scaled) return std::nullopt;
        if (!current || *current < ParkThreshold) return checkedSub(*scaled, ParkOffset);
        return scaled;
    };

    if (LateBound::isLine(control)) {
        if (auto v = placed(scale(r.x, px), getLong(control, Prop::X1))) set(control, Prop::X1, *v);
        if (auto v = scale(r.y, py)) set(control, Prop::Y1, *v);
        if (auto v = placed(scale(r.extentX, px), getLong(control, Prop::X2)))
            set(control, Prop::X2, *v);
        if (auto v = scale(r.extentY, py)) set(control, Prop::Y2, *v);
        return;
    }

    const int left = placed(scale(r.x, px), getLong(control, Prop::Left)).value_or(0);
    const int top = scale(r.y, py).value_or(0);
    const int width = scale(r.extentX, px).value_or(0);
    const int height = scale(r.extentY, py).value_or(0);

    if (workingCopies().resizeFonts) {
        if (LateBound::isListBox(control) || !answersColumnCount(control))
            scaleFont(control, r, px, py);
    }
    if (auto v = scale(r.tabHeight, py)) set(control, Prop::TabHeight, *v);

    if (LateBound::isLabel(control)) {
        if (get(control, Prop::AutoSize).value_or(false).toBool())
            LateBound::move(control, left, top);
        else
            LateBound::move(control, left, top, width, height);
        return;
    }
    // Size and place in one call; a control that refuses the full call
    // still gets its width and its place. When the full call succeeds the
    // two narrower calls would write the same values again, so they are
    // skipped.
    if (LateBound::move(control, left, top, width, height)) return;
    if (LateBound::move(control, left, top, width)) return;
    LateBound::move(control, left, top);
}

}  // namespace

namespace {

std::optional<int> roundedLong(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v);  // halves to even
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<int>(r);
}

// LateBound::move for a widget that is no form and declares none of the
// names: the same arithmetic, without looking the names up.
bool moveDirectly(QWidget* w, double tppX, double tppY, int left, int top,
                  std::optional<int> width = {}, std::optional<int> height = {}) {
    if (width && *width < 0) return false;
    if (height && *height < 0) return false;
    const auto x = roundedLong(left / tppX);
    const auto y = roundedLong(top / tppY);
    if (!x || !y) return false;
    const auto pw = width ? roundedLong(*width / tppX) : std::optional<int>{};
    const auto ph = height ? roundedLong(*height / tppY) : std::optional<int>{};
    const QRect now = w->geometry();
    const QRect target(*x, *y, pw ? *pw : now.width(), ph ? *ph : now.height());
    if (!width && !height)
        w->move(target.topLeft());
    else
        w->setGeometry(target);
    return true;
}

// resizeOne for a control of a kind placed directly: a Qt widget (or a
// class built on one) that holds no dynamic property, declares none of the
// engine's names and is no line. The steps and the numbers are resizeOne's.
void resizeDirectly(QWidget* control, const ClassKind& kind, const Recorded& r, int px, int py,
                    double tppX, double tppY, bool fonts) {
    const int rx = r.x, ry = r.y, rw = r.extentX, rh = r.extentY;
    const int rTab = r.tabHeight;
    const float rFont = r.fontSize;

    const auto currentLeft = roundedLong(control->geometry().x() * tppX);
    const auto scaledLeft = scale(rx, px);
    std::optional<int> leftValue = scaledLeft;
    if (scaledLeft && (!currentLeft || *currentLeft < ParkThreshold))
        leftValue = checkedSub(*scaledLeft, ParkOffset);
    const int left = leftValue.value_or(0);
    const int top = scale(ry, py).value_or(0);
    const int width = scale(rw, px).value_or(0);
    const int height = scale(rh, py).value_or(0);

    if (fonts && (kind.listBox || !kind.grid))
        set(control, Prop::FontSize, static_cast<double>(rFont) * std::min(px, py) / 100.0);
    if (kind.tabs)
        if (auto v = scale(rTab, py)) set(control, Prop::TabHeight, *v);

    if (kind.label) {  // no AutoSize, which would be a dynamic property
        moveDirectly(control, tppX, tppY, left, top, width, height);
        return;
    }
    if (moveDirectly(control, tppX, tppY, left, top, width, height)) return;
    if (moveDirectly(control, tppX, tppY, left, top, width)) return;
    moveDirectly(control, tppX, tppY, left, top);
}

// The record of a control met at step `step` of a pass's walk. A form's
// controls come in the same order pass after pass, so the step's entry of
// the last pass usually names the record: the same widget of the same class
// under the same name text (an untouched name keeps its text's storage) at
// the same step finds what a lookup would find. Anything else is looked up
// (recordFor) and the entry made anew.
// The record of a control met at step `step` of a pass's walk. A form's
// controls come in the same order pass after pass, so the step's entry of
// the last pass usually names the record: the same widget of the same
// class at the same step, still without dynamic properties, is taken to be
// what it was (name is null: the walk knew it and read no name). Anything
// else is looked up (recordFor) and the entry made anew.
Recorded cachedRecord(FormDesign& design, size_t step, QWidget* control, const ClassKind& kind,
                      const QString* name, bool plainIdentity, const Place& where,
                      const FormKey& form, unsigned walk, Scale now) {
    Tables& t = tables();
    if (!name && step < design.walked.size()) {
        const WalkEntry& e = design.walked[step];
        Stamp& stamp = t.stamps[size_t(e.recorded.record)];
        // A widget earlier in this walk found the record: this one shares
        // its name and goes by its place, as recordFor decides.
        if (stamp.walk != walk) {
            stamp = Stamp{walk, control};
            return e.recorded;
        }
    }
    Recorded recorded;
    recorded.record = recordFor(control, where, form, walk, true, now);
    const ControlRecord& r = t.controls[size_t(recorded.record)];
    recorded.x = r.x;
    recorded.y = r.y;
    recorded.extentX = r.extentX;
    recorded.extentY = r.extentY;
    recorded.tabHeight = r.tabHeight;
    recorded.fontSize = r.fontSize;
    const WalkEntry entry{control, kind.meta, plainIdentity, recorded};
    if (step < design.walked.size())
        design.walked[step] = entry;
    else
        design.walked.push_back(entry);
    return recorded;
}

}  // namespace

void ResizeForm(QWidget* form) {
    if (!form) return;
    const WorkingCopies& copies = workingCopies();
    const QString identity = formIdentity(form);
    int index = findForm(identity);
    if (index < 0) {
        // Without a design client size every control would collapse; the
        // form is registered once the control knows its design size.
        if (copies.formScaleWidthDT == 0 || copies.formScaleHeightDT == 0) return;
        index = RegisterForm(form);
    } else {
        compareWithRecord(form, index);
    }
    const auto heightPercent =
        percentOf(form, index, Prop::ScaleHeight, &FormRecord::designScaleHeight);
    const auto widthPercent =
        percentOf(form, index, Prop::ScaleWidth, &FormRecord::designScaleWidth);
    if (!heightPercent || !widthPercent) return;

    const FormKey formKey(identity);
    const RepaintCover cover(LateBound::clientOf(form));
    const ScreenPin screen(form);

    QList<QWidget*> hidden;
    if (copies.hideControlsOnResize) {
        for (QWidget* c : formControls(form))
            if (!c->isHidden() && !LateBound::isMorvane(c)) hidden.append(c);
        for (QWidget* c : hidden) c->hide();
    }

    // Each control is placed as the walk reaches it, while what the walk
    // read of it is still at hand. A control added after the form was
    // registered is taken as it stands now rather than sent to (0, 0) with
    // no size.
    const unsigned walk = ++tables().walks;
    const ScreenMetrics metrics = currentScreen(form);
    const double tppX = metrics.twipsPerPixelX, tppY = metrics.twipsPerPixelY;
    const int px = *widthPercent, py = *heightPercent;
    const bool fonts = copies.resizeFonts;
    FormDesign& design = tables().designs[size_t(index)];
    if (design.walkedForm != form) {
        design.walkedForm = form;
        design.walked.clear();
    }
    size_t step = 0;
    auto known = [&](const QWidget* w) {
        const std::vector<WalkEntry>& walked = tables().designs[size_t(index)].walked;
        if (step >= walked.size()) return false;
        const WalkEntry& e = walked[step];
        return e.widget == w && e.plainIdentity && e.meta == w->metaObject() &&
               w->dynamicPropertyNames().isEmpty();
    };
    auto place = [&](QWidget* control, const Place& where, const QString* name) {
        const ClassKind& kind = kindOf(control->metaObject());
        if (kind.morvane) return;
        // A widget a Qt layout places keeps the geometry its layout gives
        // it; only its font follows the form.
        if (where.laidOut) {
            const int r = recordFor(control, where, formKey, walk, true, Scale{px, py});
            if (fonts && r >= 0 && (kind.listBox || !answersColumnCount(control)))
                scaleFont(control, tables().controls[size_t(r)], px, py);
            return;
        }
        const bool noDynamic = !name || control->dynamicPropertyNames().isEmpty();
        const Recorded recorded =
            cachedRecord(tables().designs[size_t(index)], step++, control, kind, name,
                         noDynamic && !kind.declaresIdentity, where, formKey, walk, Scale{px, py});
        if (noDynamic && !kind.byName)
            resizeDirectly(control, kind, recorded, px, py, tppX, tppY, fonts);
        else
            resizeOne(control, recorded.record, px, py);
    };
    forEachControl(LateBound::clientOf(form), known, place);
    if (copies.resizeFonts) {
        const double size = static_cast<double>(tables().forms[size_t(index)].fontSize) *
                            std::min(*widthPercent, *heightPercent) / 100.0;
        set(form, Prop::FontSize, size);
    }
    if (copies.resizeFormBackground) stretchBackground(form);

    for (QWidget* c : hidden) c->show();
}

void RegisterNewControls(QWidget* form) {
    if (!form) return;
    const QString identity = formIdentity(form);
    const int index = findForm(identity);
    Scale now;
    if (index >= 0) {
        now.px =
            percentOf(form, index, Prop::ScaleWidth, &FormRecord::designScaleWidth).value_or(100);
        now.py =
            percentOf(form, index, Prop::ScaleHeight, &FormRecord::designScaleHeight).value_or(100);
    }
    registerNew(form, FormKey(identity), now);
}

void SaveFormState(QWidget* form, bool persist, const QString& applicationName) {
    const int index = FindFormRecord(form);
    if (index < 0) return;
    const auto left = get(form, Prop::Left), top = get(form, Prop::Top);
    const auto width = get(form, Prop::Width), height = get(form, Prop::Height);
    const auto state = getLong(form, Prop::WindowState);
    if (!left || !top || !width || !height || !state) return;
    FormRecord& record = tables().forms[index];
    record.SavedState =
        geometryText(left->toFloat(), top->toFloat(), width->toFloat(), height->toFloat(), *state);
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.identity);
        settings.setValue(QStringLiteral("LastSavedState"), record.SavedState);
    }
}

namespace {

// Why a stored geometry cannot be used, or nothing when it can.
QString refusal(QWidget* form, const QRect& twips, const RestoreBounds& bounds) {
    const ScreenMetrics s = currentScreen(form);
    const double minWidth = bounds.minWidth > 0 ? bounds.minWidth : s.twipsPerPixelX;
    const double minHeight = bounds.minHeight > 0 ? bounds.minHeight : s.twipsPerPixelY;
    if (twips.width() < minWidth || twips.height() < minHeight)
        return QStringLiteral("a window of %1 x %2 twips is below its minimum size of %3 x %4")
            .arg(twips.width())
            .arg(twips.height())
            .arg(minWidth)
            .arg(minHeight);
    if (!LateBound::onSomeScreen(form, twips))
        return QStringLiteral("no part of the window would be on any screen");
    return {};
}

// In place of a refused geometry: the form in the normal state at its design
// size, where it is if that lies on a screen, otherwise centred on its screen.
void useDesignGeometry(QWidget* form, const RestoreBounds& bounds) {
    const auto left = getLong(form, Prop::Left), top = getLong(form, Prop::Top);
    const auto width = getLong(form, Prop::Width), height = getLong(form, Prop::Height);
    if (!left || !top || !width || !height) return;
    QRect twips(*left, *top, *width, *height);
    if (bounds.designSize.width() > 0) twips.setWidth(bounds.designSize.width());
    if (bounds.designSize.height() > 0) twips.setHeight(bounds.designSize.height());
    set(form, Prop::WindowState, 0);
    LateBound::move(form, twips.x(), twips.y(), twips.width(), twips.height());
    if (!LateBound::onSomeScreen(form, twips)) LateBound::centerOnScreen(form);
}

}  // namespace

bool RestoreFormState(QWidget* form, bool persist, const QString& applicationName,
                      const RestoreBounds& bounds) {
    const int index = FindFormRecord(form);
    if (index < 0) return true;
    FormRecord& record = tables().forms[index];
    QString text;
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.identity);
        record.SavedState = settings.value(QStringLiteral("LastSavedState"), QString()).toString();
        text = record.SavedState;
    } else if (!record.SavedState.isEmpty() && !persist) {
        text = record.SavedState;
    }
    if (text.isEmpty()) return true;

    const GeometryFields fields = parseGeometryText(text);
    // Without a readable window state there is no telling what to apply.
    if (!fields.state) return true;
    if (*fields.state == 2) {
        set(form, Prop::WindowState, 2);
    } else if (*fields.state == 0) {
        // Fields that are no numbers leave that part of the geometry as it is.
        auto twips = [](std::optional<float> v, std::optional<int> now) -> std::optional<int> {
            if (!v) return now;
            const double r = std::nearbyint(static_cast<double>(*v));
            if (std::fabs(r) > 2147483647.0) return now;
            return static_cast<int>(r);
        };
        const auto left = twips(fields.left, getLong(form, Prop::Left));
        const auto top = twips(fields.top, getLong(form, Prop::Top));
        const auto width = twips(fields.width, getLong(form, Prop::Width));
        const auto height = twips(fields.height, getLong(form, Prop::Height));
        if (!left || !top || !width || !height) return true;
        // A text saved on another desktop, or damaged, may leave no window
        // to see: it is refused, and the form keeps a window its user has.
        const QRect target(*left, *top, *width, *height);
        if (const QString why = refusal(form, target, bounds); !why.isEmpty()) {
            qCWarning(lcMorvane,
                      "the stored geometry \"%s\" of the form %s is refused (%s); the form "
                      "gets its design geometry instead",
                      qPrintable(text), qPrintable(record.identity), qPrintable(why));
            useDesignGeometry(form, bounds);
            return false;
        }
        set(form, Prop::WindowState, 0);
        LateBound::move(form, *left, *top, *width, *height);
    } else {
        set(form, Prop::WindowState, 1);
    }
    return true;
}

}  // namespace MorvaneCtl::ResizeFunctions
