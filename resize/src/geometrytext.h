// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The text a form's saved geometry is kept in: "left,top,width,height,state"
// with sizes in twips and the state 0 normal, 1 minimised, 2 maximised,
// e.g. "1200,900,9600,7200,0".
#pragma once

#include <QString>
#include <optional>

namespace MorvaneCtl {

// A single-precision number as plain decimal text: up to 7 significant
// digits, no leading blank, exponent form ("1.234568E+07") when large.
// Every text it writes reads back with parseGeometryText: NaN is written as
// "0" and an infinity as the largest single of its sign ("3.402823E+38").
QString singleText(float value);

QString geometryText(float left, float top, float width, float height, int state);

// The fields of a geometry text, each present only when it is a number.
// Left, top, width and height take any finite number up to the largest
// single in magnitude; up to 3.402824E+38 (the largest single rounded up to
// seven digits) they read as the largest single, beyond it as no number.
struct GeometryFields {
    std::optional<float> left, top, width, height;
    std::optional<int> state;
    int fieldCount = 0;
};
GeometryFields parseGeometryText(const QString& text);

}  // namespace MorvaneCtl
