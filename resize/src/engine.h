// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The layout engine's own parts, shared by its files: the tables behind
// resizefunctions.h, how a form's controls are walked, and the steps the
// capture (capture.cpp), the pass (pass.cpp), the fonts (fonts.cpp) and the
// saved geometry (formstate.cpp) share.
#pragma once

#include <QFont>
#include <QMetaObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <deque>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <optional>
#include <unordered_map>
#include <vector>

#include "latebinding.h"
#include "resizefunctions.h"

class QLayout;

namespace MorvaneCtl::ResizeFunctions::detail {

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
struct ClassKind;
struct WalkEntry {
    const QWidget* widget;
    const QMetaObject* meta;
    bool plainIdentity;
    Recorded recorded;
    // The kind of its class (kinds stay where they are: a deque holds them).
    const ClassKind* kind = nullptr;
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

Tables& tables();

// What a pass needs to know of a class, worked out once per class.
const ClassKind& kindOf(const QMetaObject* meta);
const ClassKind& kindOf(Tables& t, const QMetaObject* meta);

using LateBound::get;
using LateBound::getLong;
using LateBound::Prop;
using LateBound::set;

QString nameOf(QWidget* w);
std::optional<float> fontSizeOf(QWidget* w);
// A grid answers the count of its columns; its font is left alone.
bool answersColumnCount(QWidget* w);
// The widgets a layout places, in its own items and in its nested layouts.
void collectLaidOut(const QLayout* layout, QSet<const QWidget*>& out);
bool isQtPart(const QString& name);
// Whether the widgets inside w are controls of the form (see capture.cpp).
bool holdsControls(const QWidget* w);
// One step of a control's place: its name (or class) and its position
// among its parent's widgets; Qt's own parts by their name alone.
QString stepOf(const QWidget* w, const QString& name, int position);

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

inline std::optional<int> checkedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
    return r;
}

// The scale a form is at: its width and height percents.
struct Scale {
    int px = 100, py = 100;
};

// The C++ class of a form, as its developer named it.
QString classNameOf(const QWidget* w);
// A place's text for a widget outside a walk.
QString placeFromParents(QWidget* control);

int findForm(const QString& identity);
int findControl(const LateBound::Identity& id, const FormKey& form);
// Records a control as it is now, at the form's scale now (see capture.cpp).
int addControl(QWidget* control, const LateBound::Identity& id, const FormKey& form,
               Scale now = {});
// The record of a control met in a walk (see capture.cpp).
int recordFor(QWidget* control, const Place& where, const FormKey& form, unsigned walk,
              bool makeMissing, Scale now = {});
void registerNew(QWidget* form, const FormKey& key, Scale now);
size_t designSignature(QWidget* form);
void compareWithRecord(QWidget* form, int index);
std::optional<int> percentOf(QWidget* form, int index, Prop scaleName, int FormRecord::*design);

// v rounded to the nearest Long, halves to even, as std::nearbyint rounds
// in the default rounding mode, without its call into the maths library,
// which saves and restores the floating-point state each time: a pass rounds
// five numbers for every control.
inline std::optional<int> roundedLong(double v) {
    if (!(v >= -2147483648.5 && v <= 2147483647.5)) return std::nullopt;  // NaN too
#if defined(__SSE2__)
    // One instruction that rounds as the rounding mode says, halves to even.
    const long long r = _mm_cvtsd_si64(_mm_set_sd(v));
#else
    const auto whole = static_cast<long long>(v);  // toward zero
    const double fraction = v - static_cast<double>(whole);
    long long r = whole;
    if (fraction > 0.5 || (fraction == 0.5 && (whole & 1)))
        ++r;
    else if (fraction < -0.5 || (fraction == -0.5 && (whole & 1)))
        --r;
#endif
    if (r < -2147483648LL || r > 2147483647LL) return std::nullopt;
    return static_cast<int>(r);
}

// A control's font at the smaller of the two percents of its recorded size.
void scaleFont(QWidget* control, const ControlRecord& r, int px, int py);

// The fonts of one pass over a form: the form's font is set first, at its
// recorded size times the smaller percent; then each control placed
// directly gets its recorded size times the same percent, unless it takes
// that font from its parent already. Controls that shared a font before
// share the new one, made once per pass.
class PassFonts {
public:
    PassFonts(QWidget* form, float formFontSize, int px, int py);
    void apply(QWidget* control, float recordedSize);

private:
    struct Made {
        QFont from;
        double size;
        QFont font;
    };
    int m_percent;
    std::vector<Made> m_made;
};

}  // namespace MorvaneCtl::ResizeFunctions::detail
