// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A frame of the single border style: a caption at its top left and one
// thin line round it, in a colour that shows on the frame's own back colour.
// The styles draw a group box's line as a shade of its back colour, which on
// the board's black frames comes out as a near-black that nobody sees.
#pragma once

#include <QGroupBox>

namespace tessaro::ui {

class Frame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    // Where the line runs: round the frame, through the middle of the
    // caption's height (the caption breaks it), in the widget's pixels,
    // inside the strips along its edges that neighbours laid over it cover
    // (the board's design lets them overlap it by 15 twips).
    QRect borderRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect captionRect() const;
    QMargins coveredEdges() const;
};

}  // namespace tessaro::ui
