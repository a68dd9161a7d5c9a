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
//     form->show();                             // the form as first shown is its design
//
// Sizes are in twips (1440 per logical inch), screen sizes in pixels.
//
// Nothing the control does throws: an operation that fails returns false,
// emits errorOccurred() with the error's number and text, and logs the text
// as a warning in the logging category "morvane".
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "morvane/morvane_export.h"
#include "morvane/morvaneproperties.h"

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

// The error numbers the control reports.
enum ErrorCode {
    Overflow = 6,                    // a screen ratio cannot be computed
    TypeMismatch = 13,               // SaveForm/RestoreForm given no ordinary form;
                                     // ResizeControls on an MDI frame
    InvalidPropertyValue = 380,      // a persisted value of the wrong kind
    SetNotSupportedAtRunTime = 382,  // ScreenWidth/ScreenHeight set at run time
    SetNotPermitted = 387,           // ... and at design time
};
Q_ENUM_NS(ErrorCode)

// The standard text of an error number, e.g. "Type mismatch".
MORVANE_EXPORT QString errorText(int code);

// Module-wide state, one copy per thread that hosts controls.
// Ratio of the current screen to the design screen; the control that
// measured the screen last sets it.
MORVANE_EXPORT float ScreenRatioX();
MORVANE_EXPORT float ScreenRatioY();
// "major.minor" of this library, and its product name (the title of every
// message box the control shows); set when a control initialises.
MORVANE_EXPORT QString versionText();
MORVANE_EXPORT QString productName();

class MorvanePrivate;

class MORVANE_EXPORT Morvane : public QWidget {
    Q_OBJECT
    // The persisted properties, in the order they are persisted. Qt's
    // property system writes them through load...(): a loader (QUiLoader,
    // Designer, uic for a form Designer saved) hands the control its saved
    // values that way while it loads.
    MORVANE_PROPERTIES(MORVANE_Q_PROPERTY)

public:
    explicit Morvane(QWidget* parent = nullptr);
    ~Morvane() override;

    // ---- Public interface, in member order ------------------------------
    ScreenResolution Resolution() const;
    // Asks for confirmation first (Yes/No); only Yes changes the value.
    void setResolution(ScreenResolution value);

    // Stores the form's geometry (in memory, and with savePersistent and an
    // application name also in the per-user settings). Fails (TypeMismatch)
    // when formObject is not an ordinary form.
    Q_INVOKABLE bool SaveForm(QObject* formObject, bool savePersistent = false,
                              const QString& strApplicationName = {});
    // Restores what SaveForm stored; asked for while the form loads, it is
    // carried out after the form's first layout pass. Fails like SaveForm.
    // A stored geometry that would leave the window below its minimum size
    // or off every screen is refused with a warning.
    Q_INVOKABLE bool RestoreForm(QObject* formObject, bool restoreFromPersistent = false,
                                 const QString& strApplicationName = {});

    bool ResizeFonts() const;
    void setResizeFonts(bool value);

    // Runs one layout pass over the form now. Fails (TypeMismatch) on an MDI
    // frame, which is not laid out as a form.
    Q_INVOKABLE bool ResizeControls();

    // The screen the form is on, in pixels. Always refused: SetNotPermitted
    // at design time, SetNotSupportedAtRunTime at run time.
    int ScreenHeight() const;
    void setScreenHeight(int value);
    int ScreenWidth() const;
    void setScreenWidth(int value);

    int ScreenHeightDT() const;
    void setScreenHeightDT(int value);  // confirmed like setResolution
    int ScreenWidthDT() const;
    void setScreenWidthDT(int value);  // confirmed like setResolution

    bool AutoResizeControls() const;
    void setAutoResizeControls(bool value);
    bool AutoResizeOnLoad() const;
    void setAutoResizeOnLoad(bool value);
    // Limits in twips; 0 or less means no limit.
    int MaxFormHeight() const;
    void setMaxFormHeight(int value);
    int MaxFormWidth() const;
    void setMaxFormWidth(int value);
    bool AllowFormMaximized() const;
    void setAllowFormMaximized(bool value);
    bool AllowFormMinimized() const;
    void setAllowFormMinimized(bool value);
    int MinFormHeight() const;
    void setMinFormHeight(int value);
    int MinFormWidth() const;
    void setMinFormWidth(int value);
    bool AutoCenterForm() const;
    void setAutoCenterForm(bool value);

    // Records the controls of the form the layout engine does not know yet,
    // at the form's current scale.
    Q_INVOKABLE void Reset();
    // Shows the version in a small modal box.
    Q_INVOKABLE void About();
    // Centres a form in the normal window state on its screen.
    Q_INVOKABLE void CenterForm();

    bool ResizeFormBackground() const;
    void setResizeFormBackground(bool value);
    bool HideControlsOnResize() const;
    void setHideControlsOnResize(bool value);

    // Takes the form's outer and client size as its design size. On a form
    // not shown yet the sizes are taken when it is first shown, once Qt has
    // laid it out; a form built in code that was given no design size gets
    // that by itself.
    void CaptureDesignSize();

    // ---- Host interface: what a form designer or loader calls -----------
    // The persisted keys, in the order they are read and written.
    static QStringList persistedKeys();

    // First placement on a form: defaults, then the design screen is
    // measured and classified.
    void InitProperties();

    // A control is loading from its construction until its form is first
    // polished or shown (or, on a form shown already, until the event loop
    // next runs or the form next changes size). While it loads, values
    // written through Qt's property system are its saved values and are
    // taken as they are: no confirmation, no notification. The setters
    // follow their rules from the start. Loading ends with finishLoading():
    // the screen is measured and the control binds to its form; a designer
    // host calls it once it has applied the saved properties.
    bool isLoading() const;
    void finishLoading();
    // True when a loader handed the control at least one persisted value
    // while it was loading, i.e. it was loaded rather than newly placed.
    bool receivedPersistedValues() const;

    // How the layout tables and the per-user settings tell this control's
    // form from other forms. By default a form is known by its objectName
    // alone, so all instances of a form share one record, and so would two
    // unrelated forms left with Designer's default name "Form" (the control
    // warns when it meets such a pair). A strict identity adds the form's
    // C++ class and key: forms of different classes, or of different keys
    // (for example the .ui resource QUiLoader read them from, as such forms
    // are all plain QWidgets), get records and settings of their own.
    void setStrictFormIdentity(bool strict, const QString& key = {});
    bool strictFormIdentity() const;
    QString formIdentityKey() const;

    // The ambient user mode: true at run time, false while a form designer
    // shows the control. Defaults to run time.
    bool UserMode() const;
    void setUserMode(bool runTime);

    // The form the control sits on. By default the control's top-level
    // window (or the form inside an MDI sub-window); a designer host points
    // it at the form under design.
    QWidget* containerParent() const;
    void setContainerParent(QWidget* form);

    // The bound form after loading: MyParent for an ordinary form,
    // MyParentMDI for an MDI frame (a QMainWindow around a QMdiArea).
    QWidget* MyParent() const;
    QWidget* MyParentMDI() const;

    // Load and restore bookkeeping, readable for hosts and tests.
    bool FirstResizePending() const;
    bool SuppressResize() const;
    bool RestorePending() const;

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
    // An operation failed: the error's number (ErrorCode) and its text.
    void errorOccurred(int code, const QString& text);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The design record: persisted, reachable through Qt's property system
    // (property("FormWidthDT")), not part of the public interface.
    int FormHeightDT() const;
    void setFormHeightDT(int value);
    int FormWidthDT() const;
    void setFormWidthDT(int value);
    int FormScaleHeightDT() const;
    void setFormScaleHeightDT(int value);
    int FormScaleWidthDT() const;
    void setFormScaleWidthDT(int value);

    MORVANE_PROPERTIES(MORVANE_DECLARE_LOADER)

    friend class MorvanePrivate;
    std::unique_ptr<MorvanePrivate> d;
};

}  // namespace MorvaneCtl
