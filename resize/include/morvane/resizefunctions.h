// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The layout engine: records a form and the geometry of its controls at the
// form's first pass, then sets every control to its recorded geometry times
// the form's size against its design size, in integer percent.
//
// The tables are per thread, shared by every control on that thread, and
// only grow. Sizes are in twips.
#pragma once

#include "morvane/morvane_export.h"

#include <QList>
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

MORVANE_EXPORT WorkingCopies &workingCopies();
MORVANE_EXPORT const std::vector<FormRecord> &formTable();
MORVANE_EXPORT const std::vector<ControlRecord> &controlTable();

// The form's controls in collection order: every named widget below the
// form that no layout places and that is not one of Qt's own parts (names
// beginning with "qt_"), depth first.
MORVANE_EXPORT QList<QWidget *> formControls(QWidget *form);

MORVANE_EXPORT int UnparkCoordinate(int x);
// v * p / 100 in 32-bit integers, truncating; nullopt on overflow.
MORVANE_EXPORT std::optional<int> scale(int v, int p);

MORVANE_EXPORT int FindFormRecord(QWidget *form);
MORVANE_EXPORT int RegisterForm(QWidget *form);
MORVANE_EXPORT int FindControlRecord(QWidget *control, const QString &formName);
MORVANE_EXPORT int AddControlRecord(QWidget *control, const QString &formName);
// nullopt when the form is unknown or its design client size is 0.
MORVANE_EXPORT std::optional<int> WidthPercent(QWidget *form);
MORVANE_EXPORT std::optional<int> HeightPercent(QWidget *form);
MORVANE_EXPORT void ResizeOneControl(QWidget *control, const QString &formName,
                                     int widthPercent, int heightPercent);
MORVANE_EXPORT void ResizeForm(QWidget *form);
MORVANE_EXPORT void RegisterNewControls(QWidget *form);

MORVANE_EXPORT void SaveFormState(QWidget *form, bool persist, const QString &applicationName);
MORVANE_EXPORT void RestoreFormState(QWidget *form, bool persist, const QString &applicationName);

} // namespace MorvaneCtl::ResizeFunctions
