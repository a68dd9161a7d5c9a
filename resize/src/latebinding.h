// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Properties of any widget by name, in the units of the layout engine
// (twips, points), so the engine works with every kind of control.
//
// A name the widget declares as a Qt property (or holds as a dynamic
// property) is read and written through Qt's property system as it stands.
// Otherwise the names map onto the widget as follows:
//   Left, Top, Width, Height  geometry in the parent's coordinates, twips;
//                             for a form its outer frame on the screen
//   ScaleWidth, ScaleHeight   a form's client area (a main window's central
//                             widget), twips
//   WindowState               a form's state: 0 normal, 1 minimised, 2 maximised
//   FontSize                  the point size of the widget's font
//   TabHeight                 height of a tab widget's tabs, twips (a rule
//                             added to the tab bar's own style sheet)
//   Index                     the dynamic property "Index" (control arrays)
//   Name                      objectName
//   AutoSize                  dynamic property "AutoSize" of a label
//   X1, Y1, X2, Y2            end points of a line, twips
//   ColsCount, ColumnsCount   columns of a table view / a tree view
// A read that fails gives std::nullopt; a write that fails returns false.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class QWidget;

namespace MorvaneCtl::LateBound {

// The names above, for callers that ask many controls the same names.
enum class Prop {
    Name,
    Index,
    Left,
    Top,
    Width,
    Height,
    ScaleWidth,
    ScaleHeight,
    WindowState,
    FontSize,
    TabHeight,
    AutoSize,
    X1,
    Y1,
    X2,
    Y2,
    ColsCount,
    ColumnsCount,
};
const char* nameOf(Prop prop);

std::optional<QVariant> get(QWidget* control, Prop prop);
bool set(QWidget* control, Prop prop, const QVariant& value);
// By name: one of the names above, or any other Qt property of the widget.
std::optional<QVariant> get(QWidget* control, const char* name);
bool set(QWidget* control, const char* name, const QVariant& value);

// Move left, top [, width [, height]] in one call; all or nothing.
bool move(QWidget* control, int left, int top, std::optional<int> width = {},
          std::optional<int> height = {});

// A control's Name and its Index in a control array (0 when it has none),
// read together.
struct Identity {
    QString name;
    int index = 0;
};
Identity identityOf(QWidget* control);

// A number read by name, rounded to a Long (halves to even).
std::optional<int> getLong(QWidget* control, Prop prop);
std::optional<int> getLong(QWidget* control, const char* name);

// How kinds of control are recognised.
bool isForm(const QWidget* w);     // a top-level window or the form in an MDI sub-window
bool isMdiForm(const QWidget* w);  // a form whose client is a QMdiArea
bool isLine(const QWidget* w);     // X1..Y2 properties, or a QFrame HLine/VLine
bool isLabel(const QWidget* w);    // QLabel
bool isListBox(const QWidget* w);  // QListView and QListWidget
bool isMorvane(const QWidget* w);  // the resize control itself

// A tab bar's style sheet with the control's tab height rule (pixels) in
// place of any earlier one, the rest of the sheet kept.
QString withTabHeight(const QString& sheet, int pixels);

// The widget whose frame the window manager draws for a form: the form
// itself, or the QMdiSubWindow around it.
QWidget* frameOf(QWidget* form);
// The widget the form's controls sit on: a main window's central widget,
// otherwise the form.
QWidget* clientOf(QWidget* form);

}  // namespace MorvaneCtl::LateBound
