// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Capture: the tables, how a form and its controls are recorded and found,
// and how a form's controls are told.
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "engine.h"
#include "logging.h"
#include "morvane/morvane.h"

#if defined(__GNUC__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace MorvaneCtl::ResizeFunctions {

namespace detail {

Tables& tables() {
    thread_local Tables t;
    return t;
}

// The kind of a class, from a short list: a form holds controls of a few
// classes, and a pass asks for every control.
const ClassKind& kindOf(const QMetaObject* meta) {
    return kindOf(tables(), meta);
}

const ClassKind& kindOf(Tables& t, const QMetaObject* meta) {
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

int findForm(const QString& identity) {
    const auto& index = tables().formIndex;
    const auto it = index.find(identity);
    return it == index.end() ? -1 : it->second;
}

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
int addControl(QWidget* control, const LateBound::Identity& id, const FormKey& form, Scale now) {
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
              bool makeMissing, Scale now) {
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

}  // namespace detail

using namespace detail;

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
    QString name = nameOf(form);
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

int FindControlRecord(QWidget* control, const QString& formName) {
    LateBound::Identity id = LateBound::identityOf(control);
    if (id.name.isEmpty()) id.name = placeFromParents(control);
    return findControl(id, FormKey(formName));
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

}  // namespace MorvaneCtl::ResizeFunctions
