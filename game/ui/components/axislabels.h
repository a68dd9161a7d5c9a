// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Which labels of a crowded axis to draw. A long game has more quarters than
// an axis has room for; drawing them all makes them run into each other, and
// the chart libraries then drop labels of their own choosing, often the
// latest quarter, the one players look at first.
#pragma once

#include <QStringList>
#include <vector>

class QChart;
class QColor;
class QFont;

namespace tessaro::ui {

// The indices (0 .. count - 1, ascending) of the labels to draw when
// neighbouring labels stand `pitch` apart (centre to centre) and each needs
// `extent` along the axis, room between labels included. All of them where
// they fit; otherwise an even selection that always holds the first and the
// last, no two closer than `extent`. A single label, or an axis too short for
// even two, keeps the last alone.
std::vector<int> labelsToDraw(int count, double pitch, double extent);

// Draws the labels of a crowded category axis below the plot of `chart`,
// upright and ending at the axis, one centred on each category's place:
// those labelsToDraw keeps, each whole. The chart's own drawing measures its
// labels with margins and drops the ones it finds too close, the first and
// the last among them; the axis's own labels are to be made transparent, so
// that they still reserve the room below the plot. Labels placed by an
// earlier call go first; an empty list only removes them. A label may hold
// "<br>" line breaks.
void placeUprightLabels(QChart* chart, const QStringList& labels, const QFont& font,
                        const QColor& colour, double gap);

}  // namespace tessaro::ui
