// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The layout engine: records a form and the geometry of its controls at the
// form's first pass, then sets every control to its recorded geometry times
// the form's size against its design size, in integer percent.
//
// The tables are per thread, shared by every control on that thread, and
// only grow. Sizes are in twips.
#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace MorvaneCtl::ResizeFunctions {

// A tab container keeps the controls of hidden pages 75000 twips to the
// left; anything left of -40000 counts as parked.
constexpr int ParkThreshold = -40000;
constexpr int ParkOffset = 75000;

struct FormRecord {
    QString name;
    int top = 0;
    int left = 0;
    int designHeight = 0;
    int designWidth = 0;
    int designScaleHeight = 0;
    int designScaleWidth = 0;
    float fontSize = 0;
    QString SavedState;
    // What the form is found by: its name, or with a strict identity its
    // name, its class and its key (see formIdentity()).
    QString identity;
};

struct ControlRecord {
    QString name;
    int index = 0;
    QString formName;
    int y = 0;
    int x = 0;
    int extentY = 0;
    int extentX = 0;
    float fontSize = 0;
    int tabHeight = 0;
};

// Copies of the calling control's settings, set before every pass.
struct WorkingCopies {
    bool resizeFonts = false;
    bool autoCenterForm = false;
    int formWidthDT = 0;
    int formHeightDT = 0;
    int formScaleWidthDT = 0;
    int formScaleHeightDT = 0;
    bool resizeFormBackground = false;
    bool hideControlsOnResize = false;
};

WorkingCopies& workingCopies();
const std::vector<FormRecord>& formTable();
const std::vector<ControlRecord>& controlTable();

// The dynamic property that gives a form a strict identity; its text is the
// form's key (may be empty). Morvane::setStrictFormIdentity() sets it.
inline constexpr const char* StrictIdentityProperty = "morvaneStrictIdentity";

// What the tables know a form by: its Name, or, when it carries the strict
// identity property, "Name.Class" or "Name.Class.key" (slashes made "_",
// so the text is also a section of the per-user settings).
QString formIdentity(QWidget* form);

// The form's controls in collection order, depth first: every widget below
// the form's client, named or not, that is not a window of its own, that no
// layout places, that is not one of Qt's own parts (names beginning with
// "qt_"), and that sits where a form's controls sit (on the client, in a
// plain widget, frame or group box, on a tab page), not among the parts of
// another control such as a table's headers or a tab bar's buttons.
QList<QWidget*> formControls(QWidget* form);

// The name a control is recorded under: its Name; for a widget without one
// (or the second of two widgets sharing a Name and Index), its place in the
// form instead: the chain of its parents from the form's client down, each
// with its position among its parent's widgets, e.g. "/QFrame#2/QLabel#0".
QString placeOf(QWidget* control);

int UnparkCoordinate(int x);
// v * p / 100 in 32-bit integers, truncating; nullopt on overflow.
inline std::optional<int> scale(int v, int p) {
    int product = 0;
    if (__builtin_mul_overflow(v, p, &product)) return std::nullopt;
    return product / 100;  // C++ division truncates toward zero
}

int FindFormRecord(QWidget* form);
int RegisterForm(QWidget* form);
int FindControlRecord(QWidget* control, const QString& formName);
// nullopt when the form is unknown or its design client size is 0.
std::optional<int> WidthPercent(QWidget* form);
std::optional<int> HeightPercent(QWidget* form);
void ResizeForm(QWidget* form);
void RegisterNewControls(QWidget* form);

void SaveFormState(QWidget* form, bool persist, const QString& applicationName);
// What a restored geometry must give, and what is used instead of one that
// does not: a window at least minWidth x minHeight twips (limits of 0 or
// less: at least one pixel) of which some part lies on a screen; otherwise
// the design size (twips; 0: the size the form has) on the form's screen.
struct RestoreBounds {
    int minWidth = 0;
    int minHeight = 0;
    QSize designSize;
};
// Returns false when a stored text was refused.
bool RestoreFormState(QWidget* form, bool persist, const QString& applicationName,
                      const RestoreBounds& bounds = {});

}  // namespace MorvaneCtl::ResizeFunctions
