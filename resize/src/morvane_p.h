// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// What a Morvane control keeps: its persisted properties and its run-time
// state. Kept out of the public class so that a later release can add to it
// without changing the class's size.
#pragma once

#include <QPointer>
#include <QString>

#include "morvane/morvane.h"
#include "morvane/screen.h"
#include "resizefunctions.h"

class QScreen;

namespace MorvaneCtl {

class PropertyBag;

enum class SetterRule { Store, Confirm, Refuse };
enum class PropertyScope { Public, Internal };

class MorvanePrivate {
public:
    explicit MorvanePrivate(Morvane* control) : q(control) {}

    static MorvanePrivate* get(Morvane* control) { return control->d.get(); }
    static const MorvanePrivate* get(const Morvane* control) { return control->d.get(); }

    // The persisted properties, named as the properties are.
#define MORVANE_FIELD(Name, Type, Default, Key, Setter, Scope, Help) Type Name = Default;
    MORVANE_PROPERTIES(MORVANE_FIELD)
#undef MORVANE_FIELD

    // ---- Errors: reported, never thrown past the control ---------------
    // Emits errorOccurred(code, text) and logs the text with the detail.
    void report(int code, const QString& detail) const;

    // ---- Properties ------------------------------------------------------
    template <typename T>
    void storeAndNotify(T& field, T value, const char* name);
    template <typename T>
    void storeConfirmed(T& field, T value, const char* name);
    void refuse(const char* name) const;
    // What Qt's property system writes: a saved value while the control
    // loads, otherwise the setter's rule.
    template <typename T>
    void load(T& field, T value, SetterRule rule, const char* name);

    void initialize();
    void terminate();
    // The screen the control measures: the form's, or the stand-in.
    ScreenMetrics screen() const;
    bool measureScreen();  // false when a ratio cannot be computed
    void captureDesignResolution();
    void classifyResolution();
    void captureDesignSizeNow();
    // The form's design size scaled to this screen (twips), as the load
    // brings it to; 0 where the design size is not known.
    QSize scaledDesignSize() const;
    ResizeFunctions::RestoreBounds restoreBounds() const;

    // ---- Binding to the form ----------------------------------------------
    void bindToParent();
    void watch(QWidget* form);
    void markFormIdentity();
    bool canBindLate() const;
    void bindLate();
    QWidget* boundForm() const {
        return myParent ? myParent.data() : myParentMDI.data();
    }

    // ---- The form's events -----------------------------------------------
    void parentLoad();
    void parentResize();
    template <typename Write>
    void writeToForm(QWidget* form, Write write);
    void followScreen(QScreen* screen);
    void screenRemoved(QScreen* screen);
    bool filter(QObject* watched, QEvent* event);

    Morvane* q;

    bool userMode = true;
    bool loading = true;
    bool receivedValues = false;
    // InitProperties() ran: the control was placed, its design screen measured.
    bool initialized = false;
    // The design screen was unknown and taken as 1024 x 768.
    bool designScreenAssumed = false;
    // CaptureDesignSize() was asked for before the form was first shown.
    bool captureAtLoad = false;
    QPointer<QWidget> hostForm;
    QPointer<QWidget> watched;
    QPointer<QWidget> watchedFrame;
    QPointer<QWidget> myParent;
    QPointer<QWidget> myParentMDI;
    QPointer<QScreen> formScreen;
    QMetaObject::Connection screenChanged;
    QMetaObject::Connection screenGone;

    bool strictIdentity = false;
    QString identityKey;

    bool loadSeen = false;
    bool lateBindAsked = false;
    int resizeDepth = 0;
    unsigned resizesHandled = 0;
    bool firstResizePending = false;
    bool suppressResize = false;
    bool restorePending = false;
    bool restorePersistent = false;
    QString restoreAppName;
};

}  // namespace MorvaneCtl
