// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control: its properties and their rules, the screen it measures, the
// host interface and the methods. How it follows its form is in
// parenttracking.cpp.
#include "morvane/morvane.h"

#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>
#include <limits>

#include "latebinding.h"
#include "logging.h"
#include "morvane/messagebox.h"
#include "morvane/screen.h"
#include "morvane/version.h"
#include "morvane_p.h"
#include "morvaneerror.h"
#include "onscreen.h"
#include "propertytable.h"
#include "resizefunctions.h"

namespace MorvaneCtl {

using LateBound::Prop;

namespace {

// State shared by every control on one thread.
struct ModuleState {
    float ratioX = 1;
    float ratioY = 1;
    QString version;
    QString product;
};

ModuleState& module() {
    thread_local ModuleState state;
    return state;
}

// The control's face is a square of 480 twips.
constexpr int FaceTwips = 480;

int roundHalfEven(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(r);
}

const QString& warningText() {
    static const QString text = QStringLiteral(
        "Warning: Changine the auto-detected design time screen resolution value to an "
        "incorrect value will cause Morvane to function incorrectly on other systems!\n"
        "Are you sure you want change resolution?");
    return text;
}

QSize faceSize(const ScreenMetrics& s) {
    return {roundHalfEven(FaceTwips / s.twipsPerPixelX),
            roundHalfEven(FaceTwips / s.twipsPerPixelY)};
}

}  // namespace

QString errorText(int code) {
    return MorvaneError::textOf(code);
}

float ScreenRatioX() {
    return module().ratioX;
}
float ScreenRatioY() {
    return module().ratioY;
}
QString versionText() {
    return module().version;
}
QString productName() {
    return module().product;
}

// ---- Errors --------------------------------------------------------------

void MorvanePrivate::report(int code, const QString& detail) const {
    const MorvaneError error(code, detail);
    qCWarning(lcMorvane, "%s", error.what());
    emit q->errorOccurred(code, MorvaneError::textOf(code));
}

// ---- Life cycle ----------------------------------------------------------

Morvane::Morvane(QWidget* parent) : QWidget(parent), d(std::make_unique<MorvanePrivate>(this)) {
    d->initialize();
    resize(faceSize(d->screen()));
    d->watch(containerParent());
}

Morvane::~Morvane() {
    d->terminate();
    if (d->watched) d->watched->removeEventFilter(this);
    if (d->watchedFrame) d->watchedFrame->removeEventFilter(this);
}

void MorvanePrivate::initialize() {
    ModuleState& m = module();
    m.version = QStringLiteral("%1.%2").arg(MORVANE_VERSION_MAJOR).arg(MORVANE_VERSION_MINOR);
    m.product = QStringLiteral(MORVANE_PRODUCT_NAME);
}

void MorvanePrivate::terminate() {
    myParent = nullptr;
    myParentMDI = nullptr;
    QObject::disconnect(screenChanged);
    QObject::disconnect(screenGone);
}

QStringList Morvane::persistedKeys() {
    QStringList keys;
    for (const PropertyInfo& p : propertyTable()) keys.append(QLatin1String(p.key));
    return keys;
}

void Morvane::InitProperties() {
    for (const PropertyInfo& p : propertyTable()) p.reset(*d);
    d->captureDesignResolution();
    d->measureScreen();
    d->classifyResolution();
    d->loading = false;
    d->initialized = true;
    if (!d->userMode) d->captureDesignSizeNow();
}

bool Morvane::isLoading() const {
    return d->loading;
}

bool Morvane::receivedPersistedValues() const {
    return d->receivedValues;
}

void Morvane::finishLoading() {
    if (d->loading) {
        d->loading = false;
        d->measureScreen();
    }
    // Binding to the form never fails the load. A control placed in code
    // with InitProperties() has loaded already and is bound here too.
    d->bindToParent();
    if (d->userMode) hide();  // the control has no face at run time
}

bool Morvane::UserMode() const {
    return d->userMode;
}

void Morvane::setUserMode(bool runTime) {
    d->userMode = runTime;
}

QWidget* Morvane::containerParent() const {
    if (d->hostForm) return d->hostForm;
    QWidget* w = parentWidget();
    if (!w) return nullptr;
    while (!w->isWindow()) {
        QWidget* p = w->parentWidget();
        if (!p || qobject_cast<QMdiSubWindow*>(p) || p->inherits("QDesignerFormWindowInterface"))
            break;
        w = p;
    }
    return w;
}

void Morvane::setContainerParent(QWidget* form) {
    d->hostForm = form;
    d->watch(containerParent());
}

QWidget* Morvane::MyParent() const {
    return d->myParent;
}
QWidget* Morvane::MyParentMDI() const {
    return d->myParentMDI;
}
bool Morvane::FirstResizePending() const {
    return d->firstResizePending;
}
bool Morvane::SuppressResize() const {
    return d->suppressResize;
}
bool Morvane::RestorePending() const {
    return d->restorePending;
}

void Morvane::setStrictFormIdentity(bool strict, const QString& key) {
    const bool was = d->strictIdentity;
    d->strictIdentity = strict;
    d->identityKey = strict ? key : QString();
    if (QWidget* form = containerParent(); form && was && !strict)
        form->setProperty(ResizeFunctions::StrictIdentityProperty, QVariant());
    d->markFormIdentity();
}

bool Morvane::strictFormIdentity() const {
    return d->strictIdentity;
}
QString Morvane::formIdentityKey() const {
    return d->identityKey;
}

// The tables read a form's identity from the form itself, so that every
// way of reaching the form (a pass, SaveForm, RestoreForm) agrees on it.
void MorvanePrivate::markFormIdentity() {
    QWidget* form = q->containerParent();
    if (!form || !strictIdentity) return;
    if (form->property(ResizeFunctions::StrictIdentityProperty) != QVariant(identityKey))
        form->setProperty(ResizeFunctions::StrictIdentityProperty, identityKey);
}

// ---- Screen --------------------------------------------------------------

ScreenMetrics MorvanePrivate::screen() const {
    QWidget* form = q->containerParent();
    return currentScreen(form ? form : q);
}

void MorvanePrivate::captureDesignResolution() {
    const ScreenMetrics s = screen();
    ScreenHeightDT = roundHalfEven(s.heightTwips / s.twipsPerPixelY);
    ScreenWidthDT = roundHalfEven(s.widthTwips / s.twipsPerPixelX);
}

bool MorvanePrivate::measureScreen() {
    const ScreenMetrics s = screen();
    ScreenHeight = roundHalfEven(s.heightTwips / s.twipsPerPixelY);
    ScreenWidth = roundHalfEven(s.widthTwips / s.twipsPerPixelX);
    // A control read from a bag without its design screen counts as
    // designed at 1024 by 768.
    if (ScreenHeightDT == 0 || ScreenWidthDT == 0) designScreenAssumed = true;
    if (ScreenHeightDT == 0) ScreenHeightDT = 768;
    if (ScreenWidthDT == 0) ScreenWidthDT = 1024;
    const double y = static_cast<double>(ScreenHeight) / ScreenHeightDT;
    const double x = static_cast<double>(ScreenWidth) / ScreenWidthDT;
    if (!std::isfinite(y) || !std::isfinite(x) ||
        std::fabs(y) > std::numeric_limits<float>::max() ||
        std::fabs(x) > std::numeric_limits<float>::max()) {
        report(Overflow, QStringLiteral("screen ratio"));
        return false;
    }
    module().ratioY = static_cast<float>(y);
    module().ratioX = static_cast<float>(x);
    return true;
}

void MorvanePrivate::classifyResolution() {
    const ScreenMetrics s = screen();
    const double width = s.widthTwips / s.twipsPerPixelX;
    const double height = s.heightTwips / s.twipsPerPixelY;
    struct Known {
        double width, height;
        ScreenResolution resolution;
    };
    static constexpr Known known[] = {
        {640, 480, Res_640x480},   {800, 600, Res_800x600},     {1024, 768, Res_1024x768},
        {1152, 864, Res_1152x864}, {1280, 1024, Res_1280x1024}, {1600, 1200, Res_1600x1200},
    };
    Resolution = Res_Custom;
    for (const Known& k : known)
        if (width == k.width && height == k.height) {
            Resolution = k.resolution;
            break;
        }
}

// ---- Properties --------------------------------------------------------------

template <typename T>
void MorvanePrivate::storeAndNotify(T& field, T value, const char* name) {
    field = value;
    emit q->PropertyChanged(QLatin1String(name));
}

template <typename T>
void MorvanePrivate::storeConfirmed(T& field, T value, const char* name) {
    const auto answer = showMessageBox(q, QMessageBox::Warning, productName(), warningText(),
                                       QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        storeAndNotify(field, value, name);
    else
        emit q->PropertyChangeDeclined(QLatin1String(name));
}

void MorvanePrivate::refuse(const char* name) const {
    report(userMode ? SetNotSupportedAtRunTime : SetNotPermitted, QLatin1String(name));
}

template <typename T>
void MorvanePrivate::load(T& field, T value, SetterRule rule, const char* name) {
    if (loading) {
        field = value;
        receivedValues = true;
        return;
    }
    switch (rule) {
        case SetterRule::Store:
            storeAndNotify(field, value, name);
            break;
        case SetterRule::Confirm:
            storeConfirmed(field, value, name);
            break;
        case SetterRule::Refuse:
            refuse(name);
            break;
    }
}

// Every property's getter, setter and loader, each following its rule.
#define MORVANE_DEFINE_ACCESSORS(Name, Type, Default, Key, Setter, Scope, Help) \
    Type Morvane::Name() const {                                                \
        return d->Name;                                                         \
    }                                                                           \
    void Morvane::set##Name(Type value) {                                       \
        if (SetterRule::Setter == SetterRule::Refuse)                           \
            d->refuse(#Name);                                                   \
        else if (SetterRule::Setter == SetterRule::Confirm)                     \
            d->storeConfirmed(d->Name, value, #Name);                           \
        else                                                                    \
            d->storeAndNotify(d->Name, value, #Name);                           \
    }                                                                           \
    void Morvane::load##Name(Type value) {                                      \
        d->load(d->Name, value, SetterRule::Setter, #Name);                     \
    }
MORVANE_PROPERTIES(MORVANE_DEFINE_ACCESSORS)
#undef MORVANE_DEFINE_ACCESSORS

void Morvane::CaptureDesignSize() {
    // A form not shown yet has not been laid out: its size now is not the
    // one it will have.
    if (d->userMode && !d->loadSeen && !d->canBindLate()) {
        d->captureAtLoad = true;
        return;
    }
    d->captureDesignSizeNow();
}

void MorvanePrivate::captureDesignSizeNow() {
    QWidget* form = q->containerParent();
    if (!form) return;
    const auto width = LateBound::getLong(form, Prop::Width);
    const auto height = LateBound::getLong(form, Prop::Height);
    const bool mdi = LateBound::isMdiForm(form);
    const auto scaleWidth = mdi ? width : LateBound::getLong(form, Prop::ScaleWidth);
    const auto scaleHeight = mdi ? height : LateBound::getLong(form, Prop::ScaleHeight);
    // While the control loads nobody is told: the values are part of what
    // it loads with, not a change to them.
    auto update = [&](int& field, std::optional<int> value, const char* name) {
        if (!value || *value == field) return;
        if (loading)
            field = *value;
        else
            storeAndNotify(field, *value, name);
    };
    update(FormWidthDT, width, "FormWidthDT");
    update(FormHeightDT, height, "FormHeightDT");
    update(FormScaleWidthDT, scaleWidth, "FormScaleWidthDT");
    update(FormScaleHeightDT, scaleHeight, "FormScaleHeightDT");
}

// ---- Methods ---------------------------------------------------------------

namespace {

QWidget* ordinaryForm(QObject* formObject) {
    auto* form = qobject_cast<QWidget*>(formObject);
    if (!form || !LateBound::isForm(form) || LateBound::isMdiForm(form) ||
        LateBound::isMorvane(form))
        return nullptr;
    return form;
}

}  // namespace

bool Morvane::SaveForm(QObject* formObject, bool savePersistent,
                       const QString& strApplicationName) {
    QWidget* form = ordinaryForm(formObject);
    if (!form) {
        d->report(TypeMismatch, QStringLiteral("SaveForm needs an ordinary form"));
        return false;
    }
    ResizeFunctions::SaveFormState(form, savePersistent, strApplicationName);
    return true;
}

bool Morvane::RestoreForm(QObject* formObject, bool restoreFromPersistent,
                          const QString& strApplicationName) {
    d->restorePending = true;
    d->restorePersistent = restoreFromPersistent;
    d->restoreAppName = strApplicationName;
    QWidget* form = ordinaryForm(formObject);
    if (!form) {
        d->report(TypeMismatch, QStringLiteral("RestoreForm needs an ordinary form"));
        return false;
    }
    ResizeFunctions::RestoreFormState(form, restoreFromPersistent, strApplicationName,
                                      d->restoreBounds());
    return true;
}

bool Morvane::ResizeControls() {
    ResizeFunctions::WorkingCopies& copies = ResizeFunctions::workingCopies();
    copies.resizeFonts = d->ResizeFonts;
    copies.autoCenterForm = d->AutoCenterForm;
    copies.formHeightDT = d->FormHeightDT;
    copies.formWidthDT = d->FormWidthDT;
    copies.formScaleHeightDT = d->FormScaleHeightDT;
    copies.formScaleWidthDT = d->FormScaleWidthDT;
    copies.resizeFormBackground = d->ResizeFormBackground;
    copies.hideControlsOnResize = d->HideControlsOnResize;
    if (d->canBindLate()) d->bindLate();
    // An MDI frame cannot be laid out as an ordinary form.
    if (d->myParentMDI) {
        d->report(TypeMismatch,
                  QStringLiteral("ResizeControls lays out ordinary forms, not the MDI frame %1")
                      .arg(d->myParentMDI->objectName()));
        return false;
    }
    if (d->myParent) ResizeFunctions::ResizeForm(d->myParent);
    return true;
}

void Morvane::Reset() {
    if (d->canBindLate()) d->bindLate();
    if (d->myParent) ResizeFunctions::RegisterNewControls(d->myParent);
}

void Morvane::About() {
    showMessageBox(this, QMessageBox::Information, productName(),
                   QStringLiteral("%1\nVersion %2").arg(productName(), versionText()),
                   QMessageBox::Ok);
}

void Morvane::CenterForm() {
    if (d->canBindLate()) d->bindLate();
    QWidget* form = d->myParent;
    if (!form || LateBound::getLong(form, Prop::WindowState) != 0) return;
    LateBound::centerOnScreen(form);
}

// ---- The control's face ------------------------------------------------------

void Morvane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize face = faceSize(d->screen());
    if (size() != face) {
        resize(width(), face.height());
        resize(face.width(), face.height());
    }
}

void Morvane::paintEvent(QPaintEvent*) {
    // Four arrows pointing out of a frame: a form that grows and shrinks.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.fillRect(r, QColor(236, 240, 248));
    p.setPen(QPen(QColor(40, 70, 140), 1.5));
    p.drawRect(r);
    const QPointF c = r.center();
    const double a = r.width() * 0.32;
    for (const QPointF dir : {QPointF(1, 1), QPointF(-1, 1), QPointF(1, -1), QPointF(-1, -1)}) {
        const QPointF tip = c + dir * a;
        p.drawLine(c + dir * (a * 0.3), tip);
        p.drawLine(tip, tip - QPointF(dir.x() * a * 0.4, 0));
        p.drawLine(tip, tip - QPointF(0, dir.y() * a * 0.4));
    }
}

}  // namespace MorvaneCtl
