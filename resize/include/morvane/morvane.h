// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Morvane: a control that, placed on a form, scales the form to the screen
// it runs on, keeps it within size limits, centres it, saves and restores its
// geometry, and rescales every control on it in proportion to the form.
//
// Drop it on a form in Qt Designer (the "Morvane" group of the widget box),
// or create it in code on a form before the form is shown:
//
//     auto *resizer = new MorvaneCtl::Morvane(form);
//     resizer->setMaxFormWidth(12000);          // twips
//     resizer->CaptureDesignSize();             // only for forms built in code
//     form->show();                             // scaled to this screen
//
// Sizes are in twips (1440 per logical inch), screen sizes in pixels.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "morvane/morvane_export.h"
#include "morvane/morvaneerror.h"
#include "morvane/propertybag.h"

namespace MorvaneCtl {
Q_NAMESPACE_EXPORT(MORVANE_EXPORT)

// The screen resolution a form was designed on.
enum ScreenResolution {
    Res_640x480 = 0,
    Res_800x600 = 1,
    Res_1024x768 = 2,
    Res_1152x864 = 3,
    Res_1280x1024 = 4,
    Res_1600x1200 = 5,
    Res_Custom = 6,
};
Q_ENUM_NS(ScreenResolution)

// Module-wide state, one copy per thread that hosts controls.
// Ratio of the current screen to the design screen; the control that
// measured the screen last sets it.
MORVANE_EXPORT float ScreenRatioX();
MORVANE_EXPORT float ScreenRatioY();
// "major.minor" of this library, and its product name (the title of every
// message box the control shows); set when a control initialises.
MORVANE_EXPORT QString versionText();
MORVANE_EXPORT QString productName();

class MORVANE_EXPORT Morvane : public QWidget {
    Q_OBJECT
    // Declared in the order the properties are persisted. Qt's property
    // system writes them through the load...() functions below, not through
    // the setters: a loader (QUiLoader, Designer, uic for a form Designer
    // saved) hands the control its saved values that way while it loads.
    Q_PROPERTY(MorvaneCtl::ScreenResolution Resolution READ Resolution WRITE loadResolution)
    Q_PROPERTY(bool ResizeFonts READ ResizeFonts WRITE loadResizeFonts)
    // Always measured, never set: read-only to Qt's property system.
    Q_PROPERTY(int ScreenHeight READ ScreenHeight STORED false)
    Q_PROPERTY(int ScreenWidth READ ScreenWidth STORED false)
    Q_PROPERTY(int ScreenHeightDT READ ScreenHeightDT WRITE loadScreenHeightDT)
    Q_PROPERTY(int ScreenWidthDT READ ScreenWidthDT WRITE loadScreenWidthDT)
    Q_PROPERTY(bool AutoResizeControls READ AutoResizeControls WRITE loadAutoResizeControls)
    Q_PROPERTY(bool AutoResizeOnLoad READ AutoResizeOnLoad WRITE loadAutoResizeOnLoad)
    Q_PROPERTY(int MaxFormHeight READ MaxFormHeight WRITE loadMaxFormHeight)
    Q_PROPERTY(int MaxFormWidth READ MaxFormWidth WRITE loadMaxFormWidth)
    Q_PROPERTY(bool AllowFormMaximized READ AllowFormMaximized WRITE loadAllowFormMaximized)
    Q_PROPERTY(bool AllowFormMinimized READ AllowFormMinimized WRITE loadAllowFormMinimized)
    Q_PROPERTY(int MinFormHeight READ MinFormHeight WRITE loadMinFormHeight)
    Q_PROPERTY(int MinFormWidth READ MinFormWidth WRITE loadMinFormWidth)
    Q_PROPERTY(bool AutoCenterForm READ AutoCenterForm WRITE loadAutoCenterForm)
    // The form's size when it was last saved in the designer, kept up to
    // date by the control itself while the form is designed.
    Q_PROPERTY(int FormHeightDT READ FormHeightDT WRITE loadFormHeightDT)
    Q_PROPERTY(int FormWidthDT READ FormWidthDT WRITE loadFormWidthDT)
    Q_PROPERTY(int FormScaleHeightDT READ FormScaleHeightDT WRITE loadFormScaleHeightDT)
    Q_PROPERTY(int FormScaleWidthDT READ FormScaleWidthDT WRITE loadFormScaleWidthDT)
    Q_PROPERTY(bool ResizeFormBackground READ ResizeFormBackground WRITE loadResizeFormBackground)
    Q_PROPERTY(bool HideControlsOnResize READ HideControlsOnResize WRITE loadHideControlsOnResize)

public:
    explicit Morvane(QWidget* parent = nullptr);
    ~Morvane() override;

    // ---- Public interface, in member order ------------------------------
    ScreenResolution Resolution() const { return m_resolution; }
    // Asks for confirmation first (Yes/No); only Yes changes the value.
    void setResolution(ScreenResolution value);

    // Stores the form's geometry (in memory, and with savePersistent and an
    // application name also in the per-user settings). Throws MorvaneError
    // TypeMismatch when formObject is not an ordinary form.
    Q_INVOKABLE void SaveForm(QObject* formObject, bool savePersistent = false,
                              const QString& strApplicationName = {});
    // Restores what SaveForm stored; asked for while the form loads, it is
    // carried out after the form's first layout pass. Throws like SaveForm.
    Q_INVOKABLE void RestoreForm(QObject* formObject, bool restoreFromPersistent = false,
                                 const QString& strApplicationName = {});

    bool ResizeFonts() const { return m_resizeFonts; }
    void setResizeFonts(bool value);

    // Runs one layout pass over the form now. Throws MorvaneError
    // TypeMismatch on an MDI frame, which is not laid out as a form.
    Q_INVOKABLE void ResizeControls();

    int ScreenHeight() const { return m_screenHeight; }
    // Always refused: MorvaneError SetNotPermitted at design time,
    // SetNotSupportedAtRunTime at run time.
    void setScreenHeight(int value);
    int ScreenWidth() const { return m_screenWidth; }
    void setScreenWidth(int value);

    int ScreenHeightDT() const { return m_screenHeightDT; }
    void setScreenHeightDT(int value);  // confirmed like setResolution
    int ScreenWidthDT() const { return m_screenWidthDT; }
    void setScreenWidthDT(int value);  // confirmed like setResolution

    bool AutoResizeControls() const { return m_autoResizeControls; }
    void setAutoResizeControls(bool value);
    bool AutoResizeOnLoad() const { return m_autoResizeOnLoad; }
    void setAutoResizeOnLoad(bool value);
    // Limits in twips; 0 or less means no limit.
    int MaxFormHeight() const { return m_maxFormHeight; }
    void setMaxFormHeight(int value);
    int MaxFormWidth() const { return m_maxFormWidth; }
    void setMaxFormWidth(int value);
    bool AllowFormMaximized() const { return m_allowFormMaximized; }
    void setAllowFormMaximized(bool value);
    bool AllowFormMinimized() const { return m_allowFormMinimized; }
    void setAllowFormMinimized(bool value);
    int MinFormHeight() const { return m_minFormHeight; }
    void setMinFormHeight(int value);
    int MinFormWidth() const { return m_minFormWidth; }
    void setMinFormWidth(int value);
    bool AutoCenterForm() const { return m_autoCenterForm; }
    void setAutoCenterForm(bool value);

    // Records the controls of the form the layout engine does not know yet.
    Q_INVOKABLE void Reset();
    // Shows the version in a small modal box.
    Q_INVOKABLE void About();
    // Centres a form in the normal window state on the screen.
    Q_INVOKABLE void CenterForm();

    bool ResizeFormBackground() const { return m_resizeFormBackground; }
    void setResizeFormBackground(bool value);
    bool HideControlsOnResize() const { return m_hideControlsOnResize; }
    void setHideControlsOnResize(bool value);

    // ---- Design record (persisted, not part of the public interface) ----
    int FormHeightDT() const { return m_formHeightDT; }
    void setFormHeightDT(int value);
    int FormWidthDT() const { return m_formWidthDT; }
    void setFormWidthDT(int value);
    int FormScaleHeightDT() const { return m_formScaleHeightDT; }
    void setFormScaleHeightDT(int value);
    int FormScaleWidthDT() const { return m_formScaleWidthDT; }
    void setFormScaleWidthDT(int value);

    // Sets the four design sizes above from the form as it is now (outer
    // size, and client size or, for an MDI form, outer size). The designer
    // plugin keeps them current; a form built in code calls it before show.
    void CaptureDesignSize();

    // ---- Host interface: what a form designer or loader calls -----------
    // The persisted keys, in the order they are read and written.
    static const QStringList& persistedKeys();

    // First placement on a form: defaults, then the design screen is
    // measured and classified.
    void InitProperties();
    // A later load from a property bag. Throws MorvaneError
    // InvalidPropertyValue (changing nothing) when a value is of the wrong kind.
    void ReadProperties(const PropertyBag& bag);
    // The designer saves the form: design sizes captured, then every key.
    void WriteProperties(PropertyBag& bag);

    // A control is loading from its construction until its form is first
    // polished or shown (or, on a form shown already, until the event loop
    // next runs or the form next changes size). While it loads, values
    // written through Qt's property system are its saved values and are
    // taken as they are: no confirmation, no notification. The setters
    // follow their rules from the start. Loading ends with finishLoading():
    // the screen is measured and the control binds to its form; a designer
    // host calls it once it has applied the saved properties.
    bool isLoading() const { return m_loading; }
    void finishLoading();
    // True when a loader handed the control at least one persisted value
    // while it was loading, i.e. it was loaded rather than newly placed.
    bool receivedPersistedValues() const { return m_receivedValues; }

    // How the layout tables and the per-user settings tell this control's
    // form from other forms. By default a form is known by its objectName
    // alone, so all instances of a form share one record, and so would two
    // unrelated forms left with Designer's default name "Form" (the control
    // warns when it meets such a pair). A strict identity adds the form's
    // C++ class and key: forms of different classes, or of different keys
    // (for example the .ui resource QUiLoader read them from, as such forms
    // are all plain QWidgets), get records and settings of their own.
    void setStrictFormIdentity(bool strict, const QString& key = {});
    bool strictFormIdentity() const { return m_strictIdentity; }
    QString formIdentityKey() const { return m_identityKey; }

    // The ambient user mode: true at run time, false while a form designer
    // shows the control. Defaults to run time.
    bool UserMode() const { return m_userMode; }
    void setUserMode(bool runTime);

    // The form the control sits on. By default the control's top-level
    // window (or the form inside an MDI sub-window); a designer host points
    // it at the form under design.
    QWidget* containerParent() const;
    void setContainerParent(QWidget* form);

    // The bound form after loading: MyParent for an ordinary form,
    // MyParentMDI for an MDI frame (a QMainWindow around a QMdiArea).
    QWidget* MyParent() const { return m_myParent; }
    QWidget* MyParentMDI() const { return m_myParentMDI; }

    // Load and restore bookkeeping, readable for hosts and tests.
    bool FirstResizePending() const { return m_firstResizePending; }
    bool SuppressResize() const { return m_suppressResize; }
    bool RestorePending() const { return m_restorePending; }

signals:
    // Before a layout pass; set cancel to true to skip it.
    void BeforeResize(bool& cancel);
    // After a layout pass (also when the form was minimised).
    void ResizeComplete();
    // A property changed through its setter; carries the property's name.
    void PropertyChanged(const QString& propertyName);
    // A confirmed property kept its value because the warning was answered
    // No; a designer host takes the edit back off its undo stack.
    void PropertyChangeDeclined(const QString& propertyName);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Initialize();
    void Terminate();
    void MeasureScreen();
    void CaptureDesignResolution();
    void ClassifyResolution();
    void bindToParent();
    void watch(QWidget* form);
    void markFormIdentity();
    bool canBindLate() const;
    void bindLate();

    void parentLoad();
    void parentResize();
    template <typename Write>
    void writeToForm(QWidget* form, Write write);

    template <typename T>
    void storeAndNotify(T& field, T value, const char* name);
    template <typename T>
    void storeConfirmed(T& field, T value, const char* name);
    void refuse(const char* name);

    // What Qt's property system writes: a saved value while the control
    // loads, otherwise the same as the setter.
    template <typename T>
    void loadOrSet(T& field, T value, void (Morvane::*setter)(T)) {
        if (!m_loading) {
            (this->*setter)(value);
            return;
        }
        field = value;
        m_receivedValues = true;
    }
    void loadResolution(ScreenResolution v) { loadOrSet(m_resolution, v, &Morvane::setResolution); }
    void loadResizeFonts(bool v) { loadOrSet(m_resizeFonts, v, &Morvane::setResizeFonts); }
    void loadScreenHeightDT(int v) { loadOrSet(m_screenHeightDT, v, &Morvane::setScreenHeightDT); }
    void loadScreenWidthDT(int v) { loadOrSet(m_screenWidthDT, v, &Morvane::setScreenWidthDT); }
    void loadAutoResizeControls(bool v) {
        loadOrSet(m_autoResizeControls, v, &Morvane::setAutoResizeControls);
    }
    void loadAutoResizeOnLoad(bool v) {
        loadOrSet(m_autoResizeOnLoad, v, &Morvane::setAutoResizeOnLoad);
    }
    void loadMaxFormHeight(int v) { loadOrSet(m_maxFormHeight, v, &Morvane::setMaxFormHeight); }
    void loadMaxFormWidth(int v) { loadOrSet(m_maxFormWidth, v, &Morvane::setMaxFormWidth); }
    void loadAllowFormMaximized(bool v) {
        loadOrSet(m_allowFormMaximized, v, &Morvane::setAllowFormMaximized);
    }
    void loadAllowFormMinimized(bool v) {
        loadOrSet(m_allowFormMinimized, v, &Morvane::setAllowFormMinimized);
    }
    void loadMinFormHeight(int v) { loadOrSet(m_minFormHeight, v, &Morvane::setMinFormHeight); }
    void loadMinFormWidth(int v) { loadOrSet(m_minFormWidth, v, &Morvane::setMinFormWidth); }
    void loadAutoCenterForm(bool v) { loadOrSet(m_autoCenterForm, v, &Morvane::setAutoCenterForm); }
    void loadFormHeightDT(int v) { loadOrSet(m_formHeightDT, v, &Morvane::setFormHeightDT); }
    void loadFormWidthDT(int v) { loadOrSet(m_formWidthDT, v, &Morvane::setFormWidthDT); }
    void loadFormScaleHeightDT(int v) {
        loadOrSet(m_formScaleHeightDT, v, &Morvane::setFormScaleHeightDT);
    }
    void loadFormScaleWidthDT(int v) {
        loadOrSet(m_formScaleWidthDT, v, &Morvane::setFormScaleWidthDT);
    }
    void loadResizeFormBackground(bool v) {
        loadOrSet(m_resizeFormBackground, v, &Morvane::setResizeFormBackground);
    }
    void loadHideControlsOnResize(bool v) {
        loadOrSet(m_hideControlsOnResize, v, &Morvane::setHideControlsOnResize);
    }

    ScreenResolution m_resolution = Res_640x480;
    bool m_resizeFonts = true;
    int m_screenHeight = 0;
    int m_screenWidth = 0;
    int m_screenHeightDT = 0;
    int m_screenWidthDT = 0;
    bool m_autoResizeControls = true;
    bool m_autoResizeOnLoad = true;
    int m_maxFormHeight = 0;
    int m_maxFormWidth = 0;
    bool m_allowFormMaximized = true;
    bool m_allowFormMinimized = true;
    int m_minFormHeight = 0;
    int m_minFormWidth = 0;
    bool m_autoCenterForm = false;
    int m_formHeightDT = 0;
    int m_formWidthDT = 0;
    int m_formScaleHeightDT = 0;
    int m_formScaleWidthDT = 0;
    bool m_resizeFormBackground = false;
    bool m_hideControlsOnResize = false;

    bool m_userMode = true;
    bool m_loading = true;
    bool m_receivedValues = false;
    QPointer<QWidget> m_hostForm;
    QPointer<QWidget> m_watched;
    QPointer<QWidget> m_watchedFrame;
    QPointer<QWidget> m_myParent;
    QPointer<QWidget> m_myParentMDI;

    bool m_strictIdentity = false;
    QString m_identityKey;

    bool m_loadSeen = false;
    bool m_lateBindAsked = false;
    int m_resizeDepth = 0;
    unsigned m_resizesHandled = 0;
    bool m_firstResizePending = false;
    bool m_suppressResize = false;
    bool m_restorePending = false;
    bool m_restorePersistent = false;
    QString m_restoreAppName;
};

}  // namespace MorvaneCtl
