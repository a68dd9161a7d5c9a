// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The pass: every control of a form set to its record times the form's
// size against its design size, in whole percent.
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <algorithm>
#include <cmath>

#include "engine.h"
#include "screenpin.h"

namespace MorvaneCtl::ResizeFunctions {

using namespace detail;

std::optional<int> detail::percentOf(QWidget* form, int index, Prop scaleName,
                                     int FormRecord::*design) {
    if (index < 0) return std::nullopt;
    const int reference = tables().forms[size_t(index)].*design;
    if (reference == 0) return std::nullopt;
    const auto current = get(form, scaleName);
    if (!current) return std::nullopt;
    const double p = current->toDouble() * 100.0 / reference;
    if (!std::isfinite(p) || std::fabs(p) > 2147483647.0) return std::nullopt;
    return static_cast<int>(std::nearbyint(p));  // halves to even
}

std::optional<int> WidthPercent(QWidget* form) {
    return percentOf(form, FindFormRecord(form), Prop::ScaleWidth, &FormRecord::designScaleWidth);
}

std::optional<int> HeightPercent(QWidget* form) {
    return percentOf(form, FindFormRecord(form), Prop::ScaleHeight, &FormRecord::designScaleHeight);
}

namespace {

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

// LateBound::move for a widget that is no form and declares none of the
// names: the same arithmetic, without looking the names up.
bool moveDirectly(QWidget* w, double tppX, double tppY, int left, int top,
                  std::optional<int> width = {}, std::optional<int> height = {}) {
    if (width && *width < 0) return false;
    if (height && *height < 0) return false;
    const auto x = roundedLong(left / tppX);
    const auto y = roundedLong(top / tppY);
    if (!x || !y) return false;
    if (!width && !height) {
        w->move(*x, *y);
        return true;
    }
    const auto pw = width ? roundedLong(*width / tppX) : std::optional<int>{};
    const auto ph = height ? roundedLong(*height / tppY) : std::optional<int>{};
    w->setGeometry(*x, *y, pw ? *pw : w->width(), ph ? *ph : w->height());
    return true;
}

// resizeOne for a control of a kind placed directly: a Qt widget (or a
// class built on one) that holds no dynamic property, declares none of the
// engine's names and is no line. The steps and the numbers are resizeOne's.
void resizeDirectly(QWidget* control, const ClassKind& kind, const Recorded& r, int px, int py,
                    double tppX, double tppY, PassFonts* fonts) {
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

    if (fonts && (kind.listBox || !kind.grid)) fonts->apply(control, rFont);
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
// at the same step, still without dynamic properties and found by its name
// and index alone, is taken to be what it was (name is null: the walk knew
// it and read no name, so a control renamed since keeps its record). Unless
// another widget of this walk found that record first, the entry's record
// is taken; anything else is looked up (recordFor, which records a control
// it does not know at the form's scale now) and the entry made anew.
Recorded cachedRecord(Tables& t, FormDesign& design, size_t step, QWidget* control,
                      const ClassKind& kind, const QString* name, bool plainIdentity,
                      const Place& where, const FormKey& form, unsigned walk, Scale now) {
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
    const WalkEntry entry{control, kind.meta, plainIdentity, recorded, &kind};
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
    // The tables are the thread's; one look-up for the whole pass.
    Tables& t = tables();
    const unsigned walk = ++t.walks;
    const ScreenMetrics metrics = currentScreen(form);
    const double tppX = metrics.twipsPerPixelX, tppY = metrics.twipsPerPixelY;
    const int px = *widthPercent, py = *heightPercent;
    std::optional<PassFonts> passFonts;
    if (copies.resizeFonts) passFonts.emplace(form, t.forms[size_t(index)].fontSize, px, py);
    PassFonts* fonts = passFonts ? &*passFonts : nullptr;
    FormDesign& design = t.designs[size_t(index)];
    if (design.walkedForm != form) {
        design.walkedForm = form;
        design.walked.clear();
    }
    size_t step = 0;
    auto known = [&](const QWidget* w) {
        const std::vector<WalkEntry>& walked = t.designs[size_t(index)].walked;
        if (step >= walked.size()) return false;
        const WalkEntry& e = walked[step];
        return e.widget == w && e.plainIdentity && e.meta == w->metaObject() &&
               w->dynamicPropertyNames().isEmpty();
    };
    auto place = [&](QWidget* control, const Place& where, const QString* name) {
        // A control the walk knew (no name read) is of the class it was.
        const ClassKind& kind =
            !name ? *t.designs[size_t(index)].walked[step].kind : kindOf(t, control->metaObject());
        if (kind.morvane) return;
        // A widget a Qt layout places keeps the geometry its layout gives
        // it; only its font follows the form.
        if (where.laidOut) {
            const int r = recordFor(control, where, formKey, walk, true, Scale{px, py});
            if (fonts && r >= 0 && (kind.listBox || !answersColumnCount(control)))
                fonts->apply(control, t.controls[size_t(r)].fontSize);
            return;
        }
        const bool noDynamic = !name || control->dynamicPropertyNames().isEmpty();
        const Recorded recorded =
            cachedRecord(t, t.designs[size_t(index)], step++, control, kind, name,
                         noDynamic && !kind.declaresIdentity, where, formKey, walk, Scale{px, py});
        if (noDynamic && !kind.byName)
            resizeDirectly(control, kind, recorded, px, py, tppX, tppY, fonts);
        else
            resizeOne(control, recorded.record, px, py);
    };
    forEachControl(LateBound::clientOf(form), known, place);
    if (copies.resizeFormBackground) stretchBackground(form);

    for (QWidget* c : hidden) c->show();
}

}  // namespace MorvaneCtl::ResizeFunctions
