// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvane/morvane.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>
#include <QWindowStateChangeEvent>
#include <cmath>
#include <limits>

#include "morvane/latebinding.h"
#include "morvane/messagebox.h"
#include "morvane/resizefunctions.h"
#include "morvane/screen.h"
#include "morvane/version.h"

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

// Resize events a handler's own writes cause are handled re-entrantly; a
// form that keeps answering with new resizes is cut off at this depth.
constexpr int MaxResizeDepth = 16;

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

// A persisted number: Bool as -1/0, numbers rounded half to even, numeric
// text accepted; anything else is no number.
std::optional<int> longValue(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Bool:
            return v.toBool() ? -1 : 0;
        case QMetaType::QString: {
            bool ok = false;
            const double d = v.toString().trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(d) || std::fabs(d) > 2147483647.0) return std::nullopt;
            return roundHalfEven(d);
        }
        default: {
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (!ok || !std::isfinite(d) || std::fabs(d) > 2147483647.0) return std::nullopt;
            return roundHalfEven(d);
        }
    }
}

std::optional<bool> boolValue(const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    }
    const auto n = longValue(v);
    if (!n) return std::nullopt;
    return *n != 0;
}

// The switches among the persisted keys; the rest are numbers.
bool isSwitch(const QString& key) {
    static const QStringList switches{
        QStringLiteral("ResizeFonts"),          QStringLiteral("AutoResizeControls"),
        QStringLiteral("AutoResizeOnLoad"),     QStringLiteral("AllowFormMaximized"),
        QStringLiteral("AllowFormMinimized"),   QStringLiteral("AutoCenterForm"),
        QStringLiteral("ResizeFormBackground"), QStringLiteral("HideControlsOnResize")};
    return switches.contains(key);
}

// The default a key is read and written with: -1 (true) for the switches
// that start on, 0 for everything else.
QVariant defaultOf(const QString& key) {
    static const QStringList onByDefault{
        QStringLiteral("ResizeFonts"), QStringLiteral("AutoResizeControls"),
        QStringLiteral("AutoResizeOnLoad"), QStringLiteral("AllowFormMaximized"),
        QStringLiteral("AllowFormMinimized")};
    return QVariant::fromValue<short>(onByDefault.contains(key) ? -1 : 0);
}

}  // namespace

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

// ---- Life cycle ----------------------------------------------------------

Morvane::Morvane(QWidget* parent) : QWidget(parent) {
    Initialize();
    const ScreenMetrics s = currentScreen();
    resize(roundHalfEven(FaceTwips / s.twipsPerPixelX),
           roundHalfEven(FaceTwips / s.twipsPerPixelY));
    watch(containerParent());
}

Morvane::~Morvane() {
    Terminate();
    if (m_watched) m_watched->removeEventFilter(this);
    if (m_watchedFrame) m_watchedFrame->removeEventFilter(this);
}

void Morvane::Initialize() {
    ModuleState& m = module();
    m.version = QStringLiteral("%1.%2").arg(MORVANE_VERSION_MAJOR).arg(MORVANE_VERSION_MINOR);
    m.product = QStringLiteral(MORVANE_PRODUCT_NAME);
}

void Morvane::Terminate() {
    m_myParent = nullptr;
    m_myParentMDI = nullptr;
}

const QStringList& Morvane::persistedKeys() {
    static const QStringList keys{
        QStringLiteral("Resolution"),          QStringLiteral("ResizeFonts"),
        QStringLiteral("ScreenHeight"),        QStringLiteral("ScreenWidth"),
        QStringLiteral("ScreenHeightDT"),      QStringLiteral("ScreenWidthDT"),
        QStringLiteral("AutoResizeControls"),  QStringLiteral("AutoResizeOnLoad"),
        QStringLiteral("MaxFormHeight"),       QStringLiteral("MaxFormWidth"),
        QStringLiteral("AllowFormMaximized"),  QStringLiteral("AllowFormMinimized"),
        QStringLiteral("MinFormHeight"),       QStringLiteral("MinFormWidth"),
        QStringLiteral("AutoCenterForm"),      QStringLiteral("FormHeightDT"),
        QStringLiteral("FormWidthDT"),         QStringLiteral("FormScaleHeightDT"),
        QStringLiteral("FormScaleWidthDT"),    QStringLiteral("ResizeFormBackground"),
        QStringLiteral("HideControlsOnResize")};
    return keys;
}

void Morvane::InitProperties() {
    m_resolution = Res_640x480;
    m_resizeFonts = true;
    m_screenHeight = m_screenWidth = 0;
    m_screenHeightDT = m_screenWidthDT = 0;
    m_autoResizeControls = true;
    m_autoResizeOnLoad = true;
    m_maxFormHeight = m_maxFormWidth = 0;
    m_allowFormMaximized = true;
    m_allowFormMinimized = true;
    m_minFormHeight = m_minFormWidth = 0;
    m_autoCenterForm = false;
    m_formHeightDT = m_formWidthDT = m_formScaleHeightDT = m_formScaleWidthDT = 0;
    m_resizeFormBackground = false;
    m_hideControlsOnResize = false;
    CaptureDesignResolution();
    MeasureScreen();
    ClassifyResolution();
    m_loading = false;
    if (!m_userMode) CaptureDesignSize();
}

void Morvane::ReadProperties(const PropertyBag& bag) {
    // Every value is converted before any is taken, so a bag with one bad
    // value leaves the control as it was.
    std::vector<QVariant> values;
    for (const QString& key : persistedKeys()) {
        const QVariant raw = bag.ReadProperty(key, defaultOf(key));
        if (isSwitch(key)) {
            const auto b = boolValue(raw);
            if (!b)
                throw MorvaneError(
                    MorvaneError::InvalidPropertyValue,
                    QStringLiteral("%1 is not True or False: %2").arg(key, raw.toString()));
            values.emplace_back(*b);
        } else {
            const auto n = longValue(raw);
            if (!n)
                throw MorvaneError(
                    MorvaneError::InvalidPropertyValue,
                    QStringLiteral("%1 is not a whole number: %2").arg(key, raw.toString()));
            values.emplace_back(*n);
        }
    }
    int i = 0;
    auto next = [&] { return values[i++]; };
    m_resolution = static_cast<ScreenResolution>(next().toInt());
    m_resizeFonts = next().toBool();
    m_screenHeight = next().toInt();
    m_screenWidth = next().toInt();
    m_screenHeightDT = next().toInt();
    m_screenWidthDT = next().toInt();
    m_autoResizeControls = next().toBool();
    m_autoResizeOnLoad = next().toBool();
    m_maxFormHeight = next().toInt();
    m_maxFormWidth = next().toInt();
    m_allowFormMaximized = next().toBool();
    m_allowFormMinimized = next().toBool();
    m_minFormHeight = next().toInt();
    m_minFormWidth = next().toInt();
    m_autoCenterForm = next().toBool();
    m_formHeightDT = next().toInt();
    m_formWidthDT = next().toInt();
    m_formScaleHeightDT = next().toInt();
    m_formScaleWidthDT = next().toInt();
    m_resizeFormBackground = next().toBool();
    m_hideControlsOnResize = next().toBool();
    m_receivedValues = true;
    m_loading = true;
    finishLoading();
}

void Morvane::WriteProperties(PropertyBag& bag) {
    CaptureDesignSize();
    auto number = [&](const char* key, int value) {
        bag.WriteProperty(QLatin1String(key), value, defaultOf(QLatin1String(key)));
    };
    auto flag = [&](const char* key, bool value) {
        bag.WriteProperty(QLatin1String(key), value, defaultOf(QLatin1String(key)));
    };
    number("Resolution", m_resolution);
    flag("ResizeFonts", m_resizeFonts);
    number("ScreenHeight", m_screenHeight);
    number("ScreenWidth", m_screenWidth);
    number("ScreenHeightDT", m_screenHeightDT);
    number("ScreenWidthDT", m_screenWidthDT);
    flag("AutoResizeControls", m_autoResizeControls);
    flag("AutoResizeOnLoad", m_autoResizeOnLoad);
    number("MaxFormHeight", m_maxFormHeight);
    number("MaxFormWidth", m_maxFormWidth);
    flag("AllowFormMaximized", m_allowFormMaximized);
    flag("AllowFormMinimized", m_allowFormMinimized);
    number("MinFormHeight", m_minFormHeight);
    number("MinFormWidth", m_minFormWidth);
    flag("AutoCenterForm", m_autoCenterForm);
    number("FormHeightDT", m_formHeightDT);
    number("FormWidthDT", m_formWidthDT);
    number("FormScaleHeightDT", m_formScaleHeightDT);
    number("FormScaleWidthDT", m_formScaleWidthDT);
    flag("ResizeFormBackground", m_resizeFormBackground);
    flag("HideControlsOnResize", m_hideControlsOnResize);
}

void Morvane::finishLoading() {
    if (m_loading) {
        m_loading = false;
        MeasureScreen();
    }
    // Binding to the form never fails the load. A control placed in code
    // with InitProperties() has loaded already and is bound here too.
    bindToParent();
    if (m_userMode) hide();  // the control has no face at run time
}

void Morvane::setUserMode(bool runTime) {
    m_userMode = runTime;
}

QWidget* Morvane::containerParent() const {
    if (m_hostForm) return m_hostForm;
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
    m_hostForm = form;
    watch(containerParent());
}

void Morvane::bindToParent() {
    QWidget* form = containerParent();
    m_myParent = nullptr;
    m_myParentMDI = nullptr;
    if (!form) return;
    if (LateBound::isMdiForm(form))
        m_myParentMDI = form;
    else
        m_myParent = form;
}

void Morvane::watch(QWidget* form) {
    QWidget* frame = form ? LateBound::frameOf(form) : nullptr;
    if (form == m_watched && frame == m_watchedFrame) return;
    if (m_watched) m_watched->removeEventFilter(this);
    if (m_watchedFrame) m_watchedFrame->removeEventFilter(this);
    m_watched = form;
    m_watchedFrame = frame;
    m_loadSeen = false;
    if (form) form->installEventFilter(this);
    if (frame && frame != form) frame->installEventFilter(this);
    if (m_myParent || m_myParentMDI) bindToParent();
    markFormIdentity();
    // A control put on a form that is on the screen already has missed the
    // form's load. Unless it knows a design, the form as it is now is its
    // design; it binds as soon as the event loop runs again, or before that
    // when the form changes size or a method needs the form.
    if (canBindLate()) {
        if (m_formScaleWidthDT == 0 || m_formScaleHeightDT == 0) CaptureDesignSize();
        if (!m_lateBindAsked) {
            m_lateBindAsked = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_lateBindAsked = false;
                    if (canBindLate()) bindLate();
                },
                Qt::QueuedConnection);
        }
    }
}

bool Morvane::canBindLate() const {
    return m_userMode && !m_loadSeen && m_watched && m_watched->isVisible();
}

// The load of a form shown before the control came: the control binds, and
// the form's next resize is handled as the first after its load, but the
// form is not moved, as it is already where its user sees it.
void Morvane::bindLate() {
    m_loadSeen = true;
    try {
        finishLoading();
    } catch (const MorvaneError&) {
        // A screen that cannot be measured leaves the form as it is.
    }
    m_firstResizePending = true;
}

void Morvane::setStrictFormIdentity(bool strict, const QString& key) {
    const bool was = m_strictIdentity;
    m_strictIdentity = strict;
    m_identityKey = strict ? key : QString();
    if (QWidget* form = containerParent(); form && was && !strict)
        form->setProperty(ResizeFunctions::StrictIdentityProperty, QVariant());
    markFormIdentity();
}

// The tables read a form's identity from the form itself, so that every
// way of reaching the form (a pass, SaveForm, RestoreForm) agrees on it.
void Morvane::markFormIdentity() {
    QWidget* form = containerParent();
    if (!form || !m_strictIdentity) return;
    if (form->property(ResizeFunctions::StrictIdentityProperty) != QVariant(m_identityKey))
        form->setProperty(ResizeFunctions::StrictIdentityProperty, m_identityKey);
}

// ---- Screen --------------------------------------------------------------

void Morvane::CaptureDesignResolution() {
    const ScreenMetrics s = currentScreen();
    m_screenHeightDT = roundHalfEven(s.heightTwips / s.twipsPerPixelY);
    m_screenWidthDT = roundHalfEven(s.widthTwips / s.twipsPerPixelX);
}

void Morvane::MeasureScreen() {
    const ScreenMetrics s = currentScreen();
    m_screenHeight = roundHalfEven(s.heightTwips / s.twipsPerPixelY);
    m_screenWidth = roundHalfEven(s.widthTwips / s.twipsPerPixelX);
    // A control read from a bag without its design screen counts as
    // designed at 1024 by 768.
    if (m_screenHeightDT == 0) m_screenHeightDT = 768;
    if (m_screenWidthDT == 0) m_screenWidthDT = 1024;
    const double y = static_cast<double>(m_screenHeight) / m_screenHeightDT;
    const double x = static_cast<double>(m_screenWidth) / m_screenWidthDT;
    if (!std::isfinite(y) || !std::isfinite(x) ||
        std::fabs(y) > std::numeric_limits<float>::max() ||
        std::fabs(x) > std::numeric_limits<float>::max())
        throw MorvaneError(MorvaneError::Overflow, QStringLiteral("screen ratio"));
    module().ratioY = static_cast<float>(y);
    module().ratioX = static_cast<float>(x);
}

void Morvane::ClassifyResolution() {
    const ScreenMetrics s = currentScreen();
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
    m_resolution = Res_Custom;
    for (const Known& k : known)
        if (width == k.width && height == k.height) {
            m_resolution = k.resolution;
            break;
        }
}

// ---- Setters ---------------------------------------------------------------

template <typename T>
void Morvane::storeAndNotify(T& field, T value, const char* name) {
    field = value;
    emit PropertyChanged(QLatin1String(name));
}

template <typename T>
void Morvane::storeConfirmed(T& field, T value, const char* name) {
    const auto answer = showMessageBox(this, QMessageBox::Warning, productName(), warningText(),
                                       QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        storeAndNotify(field, value, name);
    else
        emit PropertyChangeDeclined(QLatin1String(name));
}

void Morvane::refuse(const char* name) {
    throw MorvaneError(
        m_userMode ? MorvaneError::SetNotSupportedAtRunTime : MorvaneError::SetNotPermitted,
        QLatin1String(name));
}

void Morvane::setResolution(ScreenResolution value) {
    storeConfirmed(m_resolution, value, "Resolution");
}
void Morvane::setResizeFonts(bool value) {
    storeAndNotify(m_resizeFonts, value, "ResizeFonts");
}

// The screen is measured, never set; a saved screen size reaches the
// control only through ReadProperties, and is replaced there at once.
void Morvane::setScreenHeight(int) {
    refuse("ScreenHeight");
}
void Morvane::setScreenWidth(int) {
    refuse("ScreenWidth");
}

void Morvane::setScreenHeightDT(int value) {
    storeConfirmed(m_screenHeightDT, value, "ScreenHeightDT");
}
void Morvane::setScreenWidthDT(int value) {
    storeConfirmed(m_screenWidthDT, value, "ScreenWidthDT");
}
void Morvane::setAutoResizeControls(bool value) {
    storeAndNotify(m_autoResizeControls, value, "AutoResizeControls");
}
void Morvane::setAutoResizeOnLoad(bool value) {
    storeAndNotify(m_autoResizeOnLoad, value, "AutoResizeOnLoad");
}
void Morvane::setMaxFormHeight(int value) {
    storeAndNotify(m_maxFormHeight, value, "MaxFormHeight");
}
void Morvane::setMaxFormWidth(int value) {
    storeAndNotify(m_maxFormWidth, value, "MaxFormWidth");
}
void Morvane::setAllowFormMaximized(bool value) {
    storeAndNotify(m_allowFormMaximized, value, "AllowFormMaximized");
}
void Morvane::setAllowFormMinimized(bool value) {
    storeAndNotify(m_allowFormMinimized, value, "AllowFormMinimized");
}
void Morvane::setMinFormHeight(int value) {
    storeAndNotify(m_minFormHeight, value, "MinFormHeight");
}
void Morvane::setMinFormWidth(int value) {
    storeAndNotify(m_minFormWidth, value, "MinFormWidth");
}
void Morvane::setAutoCenterForm(bool value) {
    storeAndNotify(m_autoCenterForm, value, "AutoCenterForm");
}
void Morvane::setResizeFormBackground(bool value) {
    storeAndNotify(m_resizeFormBackground, value, "ResizeFormBackground");
}
void Morvane::setHideControlsOnResize(bool value) {
    storeAndNotify(m_hideControlsOnResize, value, "HideControlsOnResize");
}
void Morvane::setFormHeightDT(int value) {
    storeAndNotify(m_formHeightDT, value, "FormHeightDT");
}
void Morvane::setFormWidthDT(int value) {
    storeAndNotify(m_formWidthDT, value, "FormWidthDT");
}
void Morvane::setFormScaleHeightDT(int value) {
    storeAndNotify(m_formScaleHeightDT, value, "FormScaleHeightDT");
}
void Morvane::setFormScaleWidthDT(int value) {
    storeAndNotify(m_formScaleWidthDT, value, "FormScaleWidthDT");
}

void Morvane::CaptureDesignSize() {
    QWidget* form = containerParent();
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
        if (m_loading)
            field = *value;
        else
            storeAndNotify(field, *value, name);
    };
    update(m_formWidthDT, width, "FormWidthDT");
    update(m_formHeightDT, height, "FormHeightDT");
    update(m_formScaleWidthDT, scaleWidth, "FormScaleWidthDT");
    update(m_formScaleHeightDT, scaleHeight, "FormScaleHeightDT");
}

// ---- Methods ---------------------------------------------------------------

namespace {

QWidget* ordinaryForm(QObject* formObject, const char* method) {
    auto* form = qobject_cast<QWidget*>(formObject);
    if (!form || !LateBound::isForm(form) || LateBound::isMdiForm(form) ||
        LateBound::isMorvane(form))
        throw MorvaneError(MorvaneError::TypeMismatch,
                           QStringLiteral("%1 needs an ordinary form").arg(QLatin1String(method)));
    return form;
}

}  // namespace

void Morvane::SaveForm(QObject* formObject, bool savePersistent,
                       const QString& strApplicationName) {
    QWidget* form = ordinaryForm(formObject, "SaveForm");
    ResizeFunctions::SaveFormState(form, savePersistent, strApplicationName);
}

void Morvane::RestoreForm(QObject* formObject, bool restoreFromPersistent,
                          const QString& strApplicationName) {
    m_restorePending = true;
    m_restorePersistent = restoreFromPersistent;
    m_restoreAppName = strApplicationName;
    QWidget* form = ordinaryForm(formObject, "RestoreForm");
    ResizeFunctions::RestoreFormState(form, restoreFromPersistent, strApplicationName);
}

void Morvane::ResizeControls() {
    ResizeFunctions::WorkingCopies& copies = ResizeFunctions::workingCopies();
    copies.resizeFonts = m_resizeFonts;
    copies.autoCenterForm = m_autoCenterForm;
    copies.formHeightDT = m_formHeightDT;
    copies.formWidthDT = m_formWidthDT;
    copies.formScaleHeightDT = m_formScaleHeightDT;
    copies.formScaleWidthDT = m_formScaleWidthDT;
    copies.resizeFormBackground = m_resizeFormBackground;
    copies.hideControlsOnResize = m_hideControlsOnResize;
    if (canBindLate()) bindLate();
    // An MDI frame cannot be laid out as an ordinary form.
    if (m_myParentMDI)
        throw MorvaneError(
            MorvaneError::TypeMismatch,
            QStringLiteral("ResizeControls lays out ordinary forms, not the MDI frame %1")
                .arg(m_myParentMDI->objectName()));
    if (m_myParent) ResizeFunctions::ResizeForm(m_myParent);
}

void Morvane::Reset() {
    if (canBindLate()) bindLate();
    if (m_myParent) ResizeFunctions::RegisterNewControls(m_myParent);
}

void Morvane::About() {
    showMessageBox(this, QMessageBox::Information, productName(),
                   QStringLiteral("%1\nVersion %2").arg(productName(), versionText()),
                   QMessageBox::Ok);
}

void Morvane::CenterForm() {
    if (canBindLate()) bindLate();
    QWidget* form = m_myParent;
    if (!form || LateBound::getLong(form, Prop::WindowState) != 0) return;
    const ScreenMetrics s = currentScreen();
    if (const auto scaleWidth = LateBound::get(form, Prop::ScaleWidth))
        LateBound::set(form, Prop::Left, (s.widthTwips - scaleWidth->toDouble()) / 2);
    if (const auto scaleHeight = LateBound::get(form, Prop::ScaleHeight))
        LateBound::set(form, Prop::Top, (s.heightTwips - scaleHeight->toDouble()) / 2);
}

// ---- The form's events -----------------------------------------------------

void Morvane::parentLoad() {
    QWidget* form = m_myParent ? m_myParent.data() : m_myParentMDI.data();
    if (!form) return;
    m_firstResizePending = true;
    const ScreenMetrics s = currentScreen();
    const double ratioY = ScreenRatioY(), ratioX = ScreenRatioX();
    double top = 0, left = 0;
    if (m_autoCenterForm) {
        top = (s.heightTwips - ratioY * m_formScaleHeightDT) / 2;
        left = (s.widthTwips - ratioX * m_formScaleWidthDT) / 2;
    } else {
        top = LateBound::getLong(form, Prop::Top).value_or(0);
        left = LateBound::getLong(form, Prop::Left).value_or(0);
    }
    // A control whose design size was never captured keeps the form's size
    // rather than shrinking it to nothing.
    const double height = m_formHeightDT > 0 ? ratioY * static_cast<double>(m_formHeightDT)
                                             : LateBound::getLong(form, Prop::Height).value_or(0);
    const double width = m_formWidthDT > 0 ? ratioX * static_cast<double>(m_formWidthDT)
                                           : LateBound::getLong(form, Prop::Width).value_or(0);
    m_suppressResize = true;
    LateBound::move(form, roundHalfEven(left), roundHalfEven(top), roundHalfEven(width),
                    roundHalfEven(height));
    m_suppressResize = false;
}

// Writes to the form from inside its resize handling. A resize they cause
// is handled at once, nested in the current one; Qt does not deliver that
// resize while the form is still being shown (it only marks it pending and
// then drops the mark), so then it is handled here instead.
template <typename Write>
void Morvane::writeToForm(QWidget* form, Write write) {
    const unsigned handled = m_resizesHandled;
    const QSize before = LateBound::clientOf(form)->size();
    const auto stateBefore = LateBound::getLong(form, Prop::WindowState);
    write();
    if (m_resizesHandled == handled && (LateBound::clientOf(form)->size() != before ||
                                        LateBound::getLong(form, Prop::WindowState) != stateBefore))
        parentResize();
}

void Morvane::parentResize() {
    if (m_suppressResize) return;
    QWidget* form = m_myParent ? m_myParent.data() : m_myParentMDI.data();
    if (!form || m_resizeDepth >= MaxResizeDepth) return;
    ++m_resizeDepth;
    ++m_resizesHandled;
    auto state = [&] { return LateBound::getLong(form, Prop::WindowState); };
    auto size = [&](LateBound::Prop prop) { return LateBound::getLong(form, prop); };
    auto setForm = [&](LateBound::Prop prop, int value) {
        writeToForm(form, [&] { LateBound::set(form, prop, value); });
    };

    if (state() == 2 && !m_allowFormMaximized) setForm(Prop::WindowState, 0);
    if (state() == 1 && !m_allowFormMinimized) setForm(Prop::WindowState, 0);
    // Each limit is its own write; the resizes they cause run through here too.
    if (m_maxFormHeight > 0 && size(Prop::Height) > m_maxFormHeight)
        setForm(Prop::Height, m_maxFormHeight);
    if (m_maxFormWidth > 0 && size(Prop::Width) > m_maxFormWidth)
        setForm(Prop::Width, m_maxFormWidth);
    if (m_minFormHeight > 0 && size(Prop::Height) < m_minFormHeight)
        setForm(Prop::Height, m_minFormHeight);
    if (m_minFormWidth > 0 && size(Prop::Width) < m_minFormWidth)
        setForm(Prop::Width, m_minFormWidth);

    bool cancelled = false;
    if ((m_autoResizeOnLoad && m_firstResizePending) || m_autoResizeControls) {
        bool cancel = false;
        emit BeforeResize(cancel);
        cancelled = cancel;
        if (!cancel) {
            try {
                if (state() != 1) ResizeControls();
            } catch (const MorvaneError&) {
                // An MDI frame is held to its limits but not laid out.
            }
            emit ResizeComplete();
        }
    }
    if (!cancelled && m_firstResizePending && m_restorePending) {
        writeToForm(form, [&] {
            try {
                RestoreForm(form, m_restorePersistent, m_restoreAppName);
            } catch (const MorvaneError&) {
                // An MDI frame cannot be restored; the handler goes on.
            }
        });
    }
    m_firstResizePending = false;
    --m_resizeDepth;
}

bool Morvane::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && !m_hostForm) watch(containerParent());
    return QWidget::event(event);
}

bool Morvane::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_watched && watched != m_watchedFrame) return false;
    const bool bound = m_myParent || m_myParentMDI;
    switch (event->type()) {
        case QEvent::Polish:
        case QEvent::Show:
            // The form's first polish (or show) is its load.
            if (watched == m_watched && m_userMode && !m_loadSeen) {
                m_loadSeen = true;
                try {
                    finishLoading();
                    parentLoad();
                } catch (const MorvaneError&) {
                    // A screen that cannot be measured leaves the form as designed.
                }
            }
            break;
        case QEvent::Resize:
            if (watched != m_watched) break;
            if (!m_userMode && !m_loading) {
                CaptureDesignSize();  // the designer saves the form at the size it has
            } else if (m_userMode) {
                if (!bound && canBindLate()) bindLate();
                if (m_myParent || m_myParentMDI) parentResize();
            }
            break;
        case QEvent::WindowStateChange: {
            if (!m_userMode || !bound || watched != m_watchedFrame) break;
            // Becoming or leaving minimised changes no size, and a refused
            // maximise must be undone at once; other changes of state come
            // with a resize of their own.
            const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
            const Qt::WindowStates now = m_watchedFrame->windowState();
            if ((now & Qt::WindowMinimized) || (old & Qt::WindowMinimized) ||
                ((now & Qt::WindowMaximized) && !m_allowFormMaximized))
                parentResize();
            break;
        }
        case QEvent::ParentChange:
            if (watched == m_watched && !m_hostForm) watch(containerParent());
            break;
        default:
            break;
    }
    return false;
}

// ---- The control's face ------------------------------------------------------

void Morvane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const ScreenMetrics s = currentScreen();
    const QSize face(roundHalfEven(FaceTwips / s.twipsPerPixelX),
                     roundHalfEven(FaceTwips / s.twipsPerPixelY));
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
