#include "morvane/resizefunctions.h"

#include "morvane/geometrytext.h"
#include "morvane/latebinding.h"

#include <QLayout>
#include <QPalette>
#include <QPixmap>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace MorvaneCtl::ResizeFunctions {

namespace {

struct ControlKey {
    QString formName;
    QString name;
    int index;
    bool operator==(const ControlKey &) const = default;
};

struct ControlKeyHash {
    size_t operator()(const ControlKey &k) const noexcept {
        return qHashMulti(0, k.formName, k.name, k.index);
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

QString nameOf(QWidget *w) {
    const auto v = get(w, "Name");
    return v ? v->toString() : QString();
}

// A control's index in its control array; 0 when it is not in one.
int indexOf(QWidget *w) { return getLong(w, "Index").value_or(0); }

std::optional<float> fontSizeOf(QWidget *w) {
    const auto v = get(w, "FontSize");
    if (!v) return std::nullopt;
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok) return std::nullopt;
    return static_cast<float>(d);
}

// A grid answers the count of its columns; its font is left alone.
bool answersColumnCount(QWidget *w) {
    return get(w, "ColsCount").has_value() || get(w, "ColumnsCount").has_value();
}

bool managedByLayout(QWidget *w) {
    QWidget *parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
}

void collect(QWidget *parent, QList<QWidget *> &out) {
    for (QObject *child : parent->children()) {
        if (!child->isWidgetType()) continue;
        auto *w = static_cast<QWidget *>(child);
        if (w->isWindow()) continue; // a dialog owned by the form is no control of it
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !managedByLayout(w))
            out.append(w);
        collect(w, out);
    }
}

std::optional<int> checkedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
    return r;
}

void scaleFont(QWidget *control, const ControlRecord &r, int px, int py) {
    const double size = static_cast<double>(r.fontSize) * std::min(px, py) / 100.0;
    set(control, "FontSize", size);
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

} // namespace

WorkingCopies &workingCopies() { return tables().copies; }
const std::vector<FormRecord> &formTable() { return tables().forms; }
const std::vector<ControlRecord> &controlTable() { return tables().controls; }

QList<QWidget *> formControls(QWidget *form) {
    QList<QWidget *> out;
    if (form) collect(LateBound::clientOf(form), out);
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
    r.top = getLong(form, "Top").value_or(0);
    r.left = getLong(form, "Left").value_or(0);
    r.designHeight = t.copies.formHeightDT;
    r.designWidth = t.copies.formWidthDT;
    r.designScaleHeight = t.copies.formScaleHeightDT;
    r.designScaleWidth = t.copies.formScaleWidthDT;
    r.fontSize = fontSizeOf(form).value_or(0);
    const int index = static_cast<int>(t.forms.size());
    t.forms.push_back(r);
    t.formIndex.emplace(r.name, index);
    for (QWidget *control : formControls(form))
        if (FindControlRecord(control, r.name) == -1) AddControlRecord(control, r.name);
    return index;
}

int FindControlRecord(QWidget *control, const QString &formName) {
    const auto &index = tables().controlIndex;
    const auto it = index.find(ControlKey{formName, nameOf(control), indexOf(control)});
    return it == index.end() ? -1 : it->second;
}

int AddControlRecord(QWidget *control, const QString &formName) {
    Tables &t = tables();
    ControlRecord r;
    r.name = nameOf(control);
    r.index = indexOf(control);
    r.formName = formName;
    if (LateBound::isLine(control)) {
        r.y = getLong(control, "Y1").value_or(0);
        r.x = UnparkCoordinate(getLong(control, "X1").value_or(0));
        r.extentY = getLong(control, "Y2").value_or(0);
        r.extentX = UnparkCoordinate(getLong(control, "X2").value_or(0));
    } else {
        r.y = getLong(control, "Top").value_or(0);
        r.x = UnparkCoordinate(getLong(control, "Left").value_or(0));
        r.extentY = getLong(control, "Height").value_or(0);
        r.extentX = getLong(control, "Width").value_or(0);
        r.fontSize = fontSizeOf(control).value_or(0);
        r.tabHeight = getLong(control, "TabHeight").value_or(0);
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
    t.controlIndex.emplace(ControlKey{formName, r.name, r.index}, index);
    return index;
}

namespace {

std::optional<int> percent(QWidget *form, const char *scaleName, int FormRecord::*design) {
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
    return percent(form, "ScaleWidth", &FormRecord::designScaleWidth);
}

std::optional<int> HeightPercent(QWidget *form) {
    return percent(form, "ScaleHeight", &FormRecord::designScaleHeight);
}

void ResizeOneControl(QWidget *control, const QString &formName, int px, int py) {
    int recordIndex = FindControlRecord(control, formName);
    // A control added after the form was registered is taken as it stands
    // now rather than sent to (0, 0) with no size.
    if (recordIndex < 0) recordIndex = AddControlRecord(control, formName);
    const ControlRecord r = tables().controls[recordIndex];

    // A coordinate left of the threshold belongs to a hidden tab page and
    // stays parked by the page's offset.
    auto placed = [](std::optional<int> scaled, std::optional<int> current) -> std::optional<int> {
        if (!scaled) return std::nullopt;
        if (!current || *current < ParkThreshold) return checkedSub(*scaled, ParkOffset);
        return scaled;
    };

    if (LateBound::isLine(control)) {
        if (auto v = placed(scale(r.x, px), getLong(control, "X1"))) set(control, "X1", *v);
        if (auto v = scale(r.y, py)) set(control, "Y1", *v);
        if (auto v = placed(scale(r.extentX, px), getLong(control, "X2"))) set(control, "X2", *v);
        if (auto v = scale(r.extentY, py)) set(control, "Y2", *v);
        return;
    }

    const int left = placed(scale(r.x, px), getLong(control, "Left")).value_or(0);
    const int top = scale(r.y, py).value_or(0);
    const int width = scale(r.extentX, px).value_or(0);
    const int height = scale(r.extentY, py).value_or(0);

    if (workingCopies().resizeFonts) {
        if (LateBound::isListBox(control) || !answersColumnCount(control))
            scaleFont(control, r, px, py);
    }
    if (auto v = scale(r.tabHeight, py)) set(control, "TabHeight", *v);

    if (LateBound::isLabel(control)) {
        if (get(control, "AutoSize").value_or(false).toBool())
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

    const QString formName = nameOf(form);
    const QList<QWidget *> controls = formControls(form);

    // Moving shown widgets one by one makes Qt redo its regions per move;
    // with updates off the form is repainted once, after the pass.
    QWidget *window = form->window();
    const bool updates = window->updatesEnabled();
    if (updates) window->setUpdatesEnabled(false);

    QList<QWidget *> hidden;
    if (copies.hideControlsOnResize) {
        for (QWidget *c : controls)
            if (!c->isHidden() && !LateBound::isMorvane(c)) hidden.append(c);
        for (QWidget *c : hidden) c->hide();
    }

    for (QWidget *control : controls) {
        if (LateBound::isMorvane(control)) continue;
        ResizeOneControl(control, formName, *widthPercent, *heightPercent);
    }
    if (copies.resizeFonts) {
        const double size = static_cast<double>(tables().forms[index].fontSize) *
                            std::min(*widthPercent, *heightPercent) / 100.0;
        set(form, "FontSize", size);
    }
    if (copies.resizeFormBackground) stretchBackground(form);

    for (QWidget *c : hidden) c->show();
    if (updates) window->setUpdatesEnabled(true);
}

void RegisterNewControls(QWidget *form) {
    if (!form) return;
    const QString formName = nameOf(form);
    for (QWidget *control : formControls(form))
        if (FindControlRecord(control, formName) == -1) AddControlRecord(control, formName);
}

void SaveFormState(QWidget *form, bool persist, const QString &applicationName) {
    const int index = FindFormRecord(form);
    if (index < 0) return;
    const auto left = get(form, "Left"), top = get(form, "Top");
    const auto width = get(form, "Width"), height = get(form, "Height");
    const auto state = getLong(form, "WindowState");
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
        set(form, "WindowState", 2);
    } else if (*fields.state == 0) {
        set(form, "WindowState", 0);
        // Fields that are no numbers leave that part of the geometry as it is.
        auto twips = [](std::optional<float> v, std::optional<int> now) -> std::optional<int> {
            if (!v) return now;
            const double r = std::nearbyint(static_cast<double>(*v));
            if (std::fabs(r) > 2147483647.0) return now;
            return static_cast<int>(r);
        };
        const auto left = twips(fields.left, getLong(form, "Left"));
        const auto top = twips(fields.top, getLong(form, "Top"));
        const auto width = twips(fields.width, getLong(form, "Width"));
        const auto height = twips(fields.height, getLong(form, "Height"));
        if (left && top && width && height) LateBound::move(form, *left, *top, *width, *height);
    } else {
        set(form, "WindowState", 1);
    }
}

} // namespace MorvaneCtl::ResizeFunctions
