// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvane/resizefunctions.h"

#include "morvane/geometrytext.h"
#include "morvane/latebinding.h"

#include "screenpin.h"

#include <QLayout>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace MorvaneCtl::ResizeFunctions {

namespace {

// A form's name with its hash, worked out once for a whole pass.
struct FormKey {
    QString name;
    size_t hash;
    explicit FormKey(const QString &formName) : name(formName), hash(qHash(formName)) {}
};

struct ControlKey {
    QString formName;
    size_t formHash;
    QString name;
    int index;
    bool operator==(const ControlKey &o) const {
        return index == o.index && formHash == o.formHash && name == o.name &&
               formName == o.formName;
    }
};

struct ControlKeyHash {
    size_t operator()(const ControlKey &k) const noexcept {
        return qHashMulti(k.formHash, k.name, k.index);
    }
};

// The engine's tables. They are ordered and searched first match first;
// the maps beside them hold the first index of every key, so a lookup is
// one hash probe instead of a scan and a pass stays linear.
struct Tables {
    WorkingCopies copies;
    std::vector<FormRecord> forms;
    std::unordered_map<QString, int> formIndex;
    std::vector<ControlRecord> controls;
    std::unordered_map<ControlKey, int, ControlKeyHash> controlIndex;
};

Tables &tables() {
    thread_local Tables t;
    return t;
}

using LateBound::get;
using LateBound::getLong;
using LateBound::set;
using LateBound::Prop;

QString nameOf(QWidget *w) {
    const auto v = get(w, Prop::Name);
    return v ? v->toString() : QString();
}


std::optional<float> fontSizeOf(QWidget *w) {
    const auto v = get(w, Prop::FontSize);
    if (!v) return std::nullopt;
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok) return std::nullopt;
    return static_cast<float>(d);
}

// A grid answers the count of its columns; its font is left alone.
bool answersColumnCount(QWidget *w) {
    return get(w, Prop::ColsCount).has_value() || get(w, Prop::ColumnsCount).has_value();
}

bool managedByLayout(QWidget *w) {
    QWidget *parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
}

// Calls visit for every control below parent, depth first, in the order of
// the form's control collection.
template <typename Visit> void forEachControl(QWidget *parent, Visit &visit) {
    // A copy, so that nothing visit does to a control disturbs the walk.
    const QObjectList children = parent->children();
    for (QObject *child : children) {
        if (!child->isWidgetType()) continue;
        auto *w = static_cast<QWidget *>(child);
        if (w->isWindow()) continue; // a dialog owned by the form is no control of it
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !managedByLayout(w))
            visit(w);
        forEachControl(w, visit);
    }
}

std::optional<int> checkedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
    return r;
}

void scaleFont(QWidget *control, const ControlRecord &r, int px, int py) {
    const double size = static_cast<double>(r.fontSize) * std::min(px, py) / 100.0;
    set(control, Prop::FontSize, size);
}

// Keeps the form's background picture stretched over its client area. The
// picture as first found is kept on the widget, so each stretch starts from
// the original and no quality is lost pass after pass.
void stretchBackground(QWidget *form) {
    QWidget *client = LateBound::clientOf(form);
    static const char *const key = "morvaneBackgroundPicture";
    QPixmap original = client->property(key).value<QPixmap>();
    if (original.isNull()) {
        original = client->palette().brush(QPalette::Window).texture();
        if (original.isNull()) return;
        client->setProperty(key, original);
    }
    if (client->width() <= 0 || client->height() <= 0) return;
    QPalette palette = client->palette();
    palette.setBrush(QPalette::Window,
                     QBrush(original.scaled(client->size(), Qt::IgnoreAspectRatio,
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
    explicit RepaintCover(QWidget *client) {
        if (!client->isVisible()) return;
        static const QString name = QStringLiteral("qt_morvane_repaint_cover");
        const QObjectList &children = client->children();
        QWidget *cover = nullptr;
        // Kept lowest, the cover is normally the client's first child.
        if (!children.isEmpty() && children.first()->objectName() == name)
            cover = qobject_cast<QWidget *>(children.first());
        if (!cover) cover = client->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
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
    RepaintCover(const RepaintCover &) = delete;
    RepaintCover &operator=(const RepaintCover &) = delete;

private:
    QPointer<QWidget> m_cover;
};

void registerNew(QWidget *form, const FormKey &key);

} // namespace

WorkingCopies &workingCopies() { return tables().copies; }
const std::vector<FormRecord> &formTable() { return tables().forms; }
const std::vector<ControlRecord> &controlTable() { return tables().controls; }

QList<QWidget *> formControls(QWidget *form) {
    QList<QWidget *> out;
    auto append = [&](QWidget *w) { out.append(w); };
    if (form) forEachControl(LateBound::clientOf(form), append);
    return out;
}

int UnparkCoordinate(int x) { return x < ParkThreshold ? x + ParkOffset : x; }

std::optional<int> scale(int v, int p) {
    int product = 0;
    if (__builtin_mul_overflow(v, p, &product)) return std::nullopt;
    return product / 100; // C++ division truncates toward zero
}

int FindFormRecord(QWidget *form) {
    const auto &index = tables().formIndex;
    const auto it = index.find(nameOf(form));
    return it == index.end() ? -1 : it->second;
}

int RegisterForm(QWidget *form) {
    Tables &t = tables();
    FormRecord r;
    r.name = nameOf(form);
    r.top = getLong(form, Prop::Top).value_or(0);
    r.left = getLong(form, Prop::Left).value_or(0);
    r.designHeight = t.copies.formHeightDT;
    r.designWidth = t.copies.formWidthDT;
    r.designScaleHeight = t.copies.formScaleHeightDT;
    r.designScaleWidth = t.copies.formScaleWidthDT;
    r.fontSize = fontSizeOf(form).value_or(0);
    const int index = static_cast<int>(t.forms.size());
    t.forms.push_back(r);
    t.formIndex.emplace(r.name, index);
    registerNew(form, FormKey(r.name));
    return index;
}

namespace {

int findControl(const LateBound::Identity &id, const FormKey &form) {
    const auto &index = tables().controlIndex;
    const auto it = index.find(ControlKey{form.name, form.hash, id.name, id.index});
    return it == index.end() ? -1 : it->second;
}

int addControl(QWidget *control, const LateBound::Identity &id, const FormKey &form) {
    Tables &t = tables();
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
    }
    const int index = static_cast<int>(t.controls.size());
    t.controls.push_back(r);
    t.controlIndex.emplace(ControlKey{form.name, form.hash, r.name, r.index}, index);
    return index;
}

void registerNew(QWidget *form, const FormKey &key) {
    for (QWidget *control : formControls(form)) {
        const LateBound::Identity id = LateBound::identityOf(control);
        if (findControl(id, key) == -1) addControl(control, id, key);
    }
}

} // namespace

int FindControlRecord(QWidget *control, const QString &formName) {
    return findControl(LateBound::identityOf(control), FormKey(formName));
}

int AddControlRecord(QWidget *control, const QString &formName) {
    return addControl(control, LateBound::identityOf(control), FormKey(formName));
}

namespace {

std::optional<int> percent(QWidget *form, Prop scaleName, int FormRecord::*design) {
    const int index = FindFormRecord(form);
    if (index < 0) return std::nullopt;
    const int reference = tables().forms[index].*design;
    if (reference == 0) return std::nullopt;
    const auto current = get(form, scaleName);
    if (!current) return std::nullopt;
    const double p = current->toDouble() * 100.0 / reference;
    if (!std::isfinite(p) || std::fabs(p) > 2147483647.0) return std::nullopt;
    return static_cast<int>(std::nearbyint(p)); // halves to even
}

} // namespace

std::optional<int> WidthPercent(QWidget *form) {
    return percent(form, Prop::ScaleWidth, &FormRecord::designScaleWidth);
}

std::optional<int> HeightPercent(QWidget *form) {
    return percent(form, Prop::ScaleHeight, &FormRecord::designScaleHeight);
}

namespace {

void resizeOne(QWidget *control, const FormKey &form, int px, int py) {
    const LateBound::Identity id = LateBound::identityOf(control);
    int recordIndex = findControl(id, form);
    // A control added after the form was registered is taken as it stands
    // now rather than sent to (0, 0) with no size.
    if (recordIndex < 0) recordIndex = addControl(control, id, form);
    // A copy: a control's own handlers may record further controls while
    // it is being placed, and the table may move.
    const ControlRecord r = tables().controls[recordIndex];

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
        if (auto v = placed(scale(r.extentX, px), getLong(control, Prop::X2))) set(control, Prop::X2, *v);
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

} // namespace

void ResizeOneControl(QWidget *control, const QString &formName, int px, int py) {
    resizeOne(control, FormKey(formName), px, py);
}

void ResizeForm(QWidget *form) {
    if (!form) return;
    const WorkingCopies &copies = workingCopies();
    int index = FindFormRecord(form);
    if (index < 0) {
        // Without a design client size every control would collapse; the
        // form is registered once the control knows its design size.
        if (copies.formScaleWidthDT == 0 || copies.formScaleHeightDT == 0) return;
        index = RegisterForm(form);
    }
    const auto heightPercent = HeightPercent(form);
    const auto widthPercent = WidthPercent(form);
    if (!heightPercent || !widthPercent) return;

    const FormKey formKey(nameOf(form));
    const RepaintCover cover(LateBound::clientOf(form));
    const ScreenPin screen;

    QList<QWidget *> hidden;
    if (copies.hideControlsOnResize) {
        for (QWidget *c : formControls(form))
            if (!c->isHidden() && !LateBound::isMorvane(c)) hidden.append(c);
        for (QWidget *c : hidden) c->hide();
    }

    // Each control is placed as the walk reaches it, while what the walk
    // read of it is still at hand.
    auto place = [&](QWidget *control) {
        if (!LateBound::isMorvane(control))
            resizeOne(control, formKey, *widthPercent, *heightPercent);
    };
    forEachControl(LateBound::clientOf(form), place);
    if (copies.resizeFonts) {
        const double size = static_cast<double>(tables().forms[index].fontSize) *
                            std::min(*widthPercent, *heightPercent) / 100.0;
        set(form, Prop::FontSize, size);
    }
    if (copies.resizeFormBackground) stretchBackground(form);

    for (QWidget *c : hidden) c->show();
}

void RegisterNewControls(QWidget *form) {
    if (!form) return;
    registerNew(form, FormKey(nameOf(form)));
}

void SaveFormState(QWidget *form, bool persist, const QString &applicationName) {
    const int index = FindFormRecord(form);
    if (index < 0) return;
    const auto left = get(form, Prop::Left), top = get(form, Prop::Top);
    const auto width = get(form, Prop::Width), height = get(form, Prop::Height);
    const auto state = getLong(form, Prop::WindowState);
    if (!left || !top || !width || !height || !state) return;
    FormRecord &record = tables().forms[index];
    record.SavedState = geometryText(left->toFloat(), top->toFloat(), width->toFloat(),
                                     height->toFloat(), *state);
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.name);
        settings.setValue(QStringLiteral("LastSavedState"), record.SavedState);
    }
}

void RestoreFormState(QWidget *form, bool persist, const QString &applicationName) {
    const int index = FindFormRecord(form);
    if (index < 0) return;
    FormRecord &record = tables().forms[index];
    QString text;
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.name);
        record.SavedState = settings.value(QStringLiteral("LastSavedState"), QString()).toString();
        text = record.SavedState;
    } else if (!record.SavedState.isEmpty() && !persist) {
        text = record.SavedState;
    }
    if (text.isEmpty()) return;

    const GeometryFields fields = parseGeometryText(text);
    // Without a readable window state there is no telling what to apply.
    if (!fields.state) return;
    if (*fields.state == 2) {
        set(form, Prop::WindowState, 2);
    } else if (*fields.state == 0) {
        set(form, Prop::WindowState, 0);
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
        if (left && top && width && height) LateBound::move(form, *left, *top, *width, *height);
    } else {
        set(form, Prop::WindowState, 1);
    }
}

} // namespace MorvaneCtl::ResizeFunctions
