// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// How the control follows its form: it binds to the form, scales it to its
// screen when it is first shown, holds it to its limits and lays it out on
// every resize, and follows it from screen to screen.
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <cmath>
#include <limits>

#include "latebinding.h"
#include "logging.h"
#include "morvane_p.h"
#include "onscreen.h"

namespace MorvaneCtl {

using LateBound::Prop;

namespace {

// Resize events a handler's own writes cause are handled re-entrantly; a
// form that keeps answering with new resizes is cut off at this depth.
constexpr int MaxResizeDepth = 16;

int roundHalfEven(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(r);
}

}  // namespace

void MorvanePrivate::bindToParent() {
    QWidget* form = q->containerParent();
    myParent = nullptr;
    myParentMDI = nullptr;
    if (!form) return;
    if (LateBound::isMdiForm(form))
        myParentMDI = form;
    else
        myParent = form;
}

void MorvanePrivate::watch(QWidget* form) {
    QWidget* frame = form ? LateBound::frameOf(form) : nullptr;
    if (form == watched && frame == watchedFrame) return;
    if (watched) watched->removeEventFilter(q);
    if (watchedFrame) watchedFrame->removeEventFilter(q);
    watched = form;
    watchedFrame = frame;
    loadSeen = false;
    if (form) form->installEventFilter(q);
    if (frame && frame != form) frame->installEventFilter(q);
    if (myParent || myParentMDI) bindToParent();
    markFormIdentity();
    // A control put on a form that is on the screen already has missed the
    // form's load. Unless it knows a design, the form as it is now is its
    // design; it binds as soon as the event loop runs again, or before that
    // when the form changes size or a method needs the form.
    if (canBindLate()) {
        if (FormScaleWidthDT == 0 || FormScaleHeightDT == 0) captureDesignSizeNow();
        if (!lateBindAsked) {
            lateBindAsked = true;
            QMetaObject::invokeMethod(
                q,
                [this] {
                    lateBindAsked = false;
                    if (canBindLate()) bindLate();
                },
                Qt::QueuedConnection);
        }
    }
}

bool MorvanePrivate::canBindLate() const {
    return userMode && !loadSeen && watched && watched->isVisible();
}

// The load of a form shown before the control came: the control binds, and
// the form's next resize is handled as the first after its load, but the
// form is not moved, as it is already where its user sees it.
void MorvanePrivate::bindLate() {
    loadSeen = true;
    q->finishLoading();
    followScreen(watchedFrame ? watchedFrame->screen() : nullptr);
    firstResizePending = true;
}

QSize MorvanePrivate::scaledDesignSize() const {
    const double width = FormWidthDT > 0 ? ScreenRatioX() * static_cast<double>(FormWidthDT) : 0;
    const double height = FormHeightDT > 0 ? ScreenRatioY() * static_cast<double>(FormHeightDT) : 0;
    return {roundHalfEven(width), roundHalfEven(height)};
}

ResizeFunctions::RestoreBounds MorvanePrivate::restoreBounds() const {
    ResizeFunctions::RestoreBounds bounds;
    bounds.minWidth = MinFormWidth;
    bounds.minHeight = MinFormHeight;
    bounds.designSize = scaledDesignSize();
    return bounds;
}

// The form's first show, once Qt has polished it, activated its layout and
// given it the size it opens with: the form's load. A form that brought no
// design size (one built in code, or a control placed without one) takes
// the size it has now as its design; one built in code also takes the
// screen it is on now as its design screen, unless it was given one.
void MorvanePrivate::parentLoad() {
    QWidget* form = boundForm();
    if (!form) return;
    const bool builtInCode = !receivedValues && !initialized;
    if (builtInCode && (designScreenAssumed || captureAtLoad)) {
        captureDesignResolution();
        classifyResolution();
    }
    if (captureAtLoad || FormScaleWidthDT == 0 || FormScaleHeightDT == 0) captureDesignSizeNow();
    captureAtLoad = false;
    if (!measureScreen()) return;  // a screen that cannot be measured leaves the form as designed
    followScreen(watchedFrame ? watchedFrame->screen() : nullptr);
    firstResizePending = true;
    double top = 0, left = 0;
    const QSize design = scaledDesignSize();
    if (AutoCenterForm) {
        const QRectF area = LateBound::screenAreaOf(form);
        top = area.y() + (area.height() - ScreenRatioY() * FormScaleHeightDT) / 2;
        left = area.x() + (area.width() - ScreenRatioX() * FormScaleWidthDT) / 2;
    } else {
        top = LateBound::getLong(form, Prop::Top).value_or(0);
        left = LateBound::getLong(form, Prop::Left).value_or(0);
    }
    // A control whose design size was never captured keeps the form's size
    // rather than shrinking it to nothing.
    const int height =
        design.height() > 0 ? design.height() : LateBound::getLong(form, Prop::Height).value_or(0);
    const int width =
        design.width() > 0 ? design.width() : LateBound::getLong(form, Prop::Width).value_or(0);
    suppressResize = true;
    LateBound::move(form, roundHalfEven(left), roundHalfEven(top), width, height);
    suppressResize = false;
}

// Writes to the form from inside its resize handling. A resize they cause
// is handled at once, nested in the current one; Qt does not deliver that
// resize while the form is still being shown (it only marks it pending and
// then drops the mark), so then it is handled here instead.
template <typename Write>
void MorvanePrivate::writeToForm(QWidget* form, Write write) {
    const unsigned handled = resizesHandled;
    const QSize before = LateBound::clientOf(form)->size();
    const auto stateBefore = LateBound::getLong(form, Prop::WindowState);
    write();
    if (resizesHandled == handled && (LateBound::clientOf(form)->size() != before ||
                                      LateBound::getLong(form, Prop::WindowState) != stateBefore))
        parentResize();
}

void MorvanePrivate::parentResize() {
    if (suppressResize) return;
    QWidget* form = boundForm();
    if (!form || resizeDepth >= MaxResizeDepth) return;
    ++resizeDepth;
    ++resizesHandled;
    auto state = [&] { return LateBound::getLong(form, Prop::WindowState); };
    auto size = [&](LateBound::Prop prop) { return LateBound::getLong(form, prop); };
    auto setForm = [&](LateBound::Prop prop, int value) {
        writeToForm(form, [&] { LateBound::set(form, prop, value); });
    };

    if (state() == 2 && !AllowFormMaximized) setForm(Prop::WindowState, 0);
    if (state() == 1 && !AllowFormMinimized) setForm(Prop::WindowState, 0);
    // Each limit is its own write; the resizes they cause run through here too.
    if (MaxFormHeight > 0 && size(Prop::Height) > MaxFormHeight)
        setForm(Prop::Height, MaxFormHeight);
    if (MaxFormWidth > 0 && size(Prop::Width) > MaxFormWidth) setForm(Prop::Width, MaxFormWidth);
    if (MinFormHeight > 0 && size(Prop::Height) < MinFormHeight)
        setForm(Prop::Height, MinFormHeight);
    if (MinFormWidth > 0 && size(Prop::Width) < MinFormWidth) setForm(Prop::Width, MinFormWidth);

    bool cancelled = false;
    if ((AutoResizeOnLoad && firstResizePending) || AutoResizeControls) {
        bool cancel = false;
        emit q->BeforeResize(cancel);
        cancelled = cancel;
        if (!cancel) {
            // An MDI frame is held to its limits but not laid out.
            if (state() != 1 && myParent) q->ResizeControls();
            emit q->ResizeComplete();
        }
    }
    // An MDI frame cannot be restored; the handler goes on.
    if (!cancelled && firstResizePending && restorePending && myParent)
        writeToForm(form, [&] { q->RestoreForm(form, restorePersistent, restoreAppName); });
    firstResizePending = false;
    --resizeDepth;
}

// The form moved to another screen: the control measures that one, so the
// ratios and the twips are the new screen's from the next pass on.
void MorvanePrivate::followScreen(QScreen* screen) {
    QObject::disconnect(screenChanged);
    QObject::disconnect(screenGone);
    QWindow* window = watchedFrame ? watchedFrame->windowHandle() : nullptr;
    formScreen = screen;
    if (window)
        screenChanged = QObject::connect(window, &QWindow::screenChanged, q, [this](QScreen* now) {
            if (now == formScreen) return;
            followScreen(now);
            if (!loading) measureScreen();
        });
    screenGone = QObject::connect(qApp, &QGuiApplication::screenRemoved, q,
                                  [this](QScreen* gone) { screenRemoved(gone); });
}

// A monitor was unplugged. Qt moves the windows of a screen that goes to
// another one, but not necessarily onto its visible area: a form that is no
// longer on any screen is brought back onto the nearest one.
void MorvanePrivate::screenRemoved(QScreen* gone) {
    QWidget* form = boundForm();
    if (!form || !watchedFrame || !watchedFrame->isWindow()) return;
    if (gone != formScreen && formScreen) return;
    QMetaObject::invokeMethod(
        q,
        [this] {
            QWidget* form = boundForm();
            if (!form) return;
            if (LateBound::bringOntoScreen(form))
                qCInfo(lcMorvane, "the form %s was brought back onto a screen",
                       qPrintable(form->objectName()));
            followScreen(watchedFrame ? watchedFrame->screen() : nullptr);
            if (!loading) measureScreen();
        },
        Qt::QueuedConnection);
}

bool MorvanePrivate::filter(QObject* object, QEvent* event) {
    if (object != watched && object != watchedFrame) return false;
    const bool bound = myParent || myParentMDI;
    switch (event->type()) {
        case QEvent::Polish:
            // Loading ends at the form's first polish; its load is its show.
            if (object == watched && userMode && loading) q->finishLoading();
            break;
        case QEvent::Show:
            if (object == watched && userMode && !loadSeen) {
                loadSeen = true;
                q->finishLoading();
                parentLoad();
                // The resize the form gets when it is first shown.
                if (boundForm()) parentResize();
            }
            break;
        case QEvent::Resize:
            if (object != watched) break;
            if (!userMode && !loading) {
                captureDesignSizeNow();  // the designer saves the form at the size it has
            } else if (userMode) {
                if (!bound && canBindLate()) bindLate();
                // Resizes before the form's load are Qt's own, while it
                // prepares to show the form.
                if ((myParent || myParentMDI) && loadSeen) parentResize();
            }
            break;
        case QEvent::WindowStateChange: {
            if (!userMode || !bound || object != watchedFrame || !loadSeen) break;
            // Becoming or leaving minimised changes no size, and a refused
            // maximise must be undone at once; other changes of state come
            // with a resize of their own.
            const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
            const Qt::WindowStates now = watchedFrame->windowState();
            if ((now & Qt::WindowMinimized) || (old & Qt::WindowMinimized) ||
                ((now & Qt::WindowMaximized) && !AllowFormMaximized))
                parentResize();
            break;
        }
        case QEvent::ParentChange:
            if (object == watched && !hostForm) watch(q->containerParent());
            break;
        default:
            break;
    }
    return false;
}

bool Morvane::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && !d->hostForm) d->watch(containerParent());
    return QWidget::event(event);
}

bool Morvane::eventFilter(QObject* watched, QEvent* event) {
    return d->filter(watched, event);
}

}  // namespace MorvaneCtl
