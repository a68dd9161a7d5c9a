// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Every colour the windows, the charts and the debrief draw in, named once.
// A window names the colour by what it colours where it has a role of its
// own (kBoardBack, kHeadingBack), otherwise by the colour (kCyan); nowhere
// else in the windows' layer is a colour written as numbers, so changing one
// here changes it everywhere it shows.
#pragma once

#include <QColor>
#include <array>

namespace tessaro::ui {

// The plain colours of the board, the plots and the sheets.
inline constexpr QColor kBlack(0, 0, 0);
inline constexpr QColor kWhite(255, 255, 255);
inline constexpr QColor kRed(255, 0, 0);
inline constexpr QColor kYellow(255, 255, 0);
inline constexpr QColor kCyan(0, 255, 255);
inline constexpr QColor kMagenta(255, 0, 255);
inline constexpr QColor kBlue(0, 0, 255);
inline constexpr QColor kMaroon(128, 0, 0);
inline constexpr QColor kNavy(0, 0, 128);
inline constexpr QColor kLime(0, 255, 0);
inline constexpr QColor kViolet(148, 0, 211);
inline constexpr QColor kDarkGreen(0, 100, 0);

// The main window.
inline constexpr QColor kBoardBack(173, 190, 199);    // Picture1 and its title
inline constexpr QColor kDesktopGrey(128, 128, 128);  // the child windows' area
// The classic desktop's inactive-caption-text colour, the board's column heads.
inline constexpr QColor kInactiveCaptionText(212, 208, 200);
// The single border of the board's frames: the classic desktop's shadow grey,
// which shows on the frames' black (5.3 : 1) where a darker one vanishes.
inline constexpr QColor kFrameBorder(128, 128, 128);

// The child windows.
inline constexpr QColor kChildWindowBack(72, 209, 204);
inline constexpr QColor kHeadingBack(192, 255, 192);
inline constexpr QColor kHeadingText = kBlue;
inline constexpr QColor kShade(214, 211, 214);          // the sheet's heading rows
inline constexpr QColor kFixedCellBack(192, 192, 192);  // a grid's fixed cells
inline constexpr QColor kGridLine(128, 128, 128);
// The decision window's bands and its run button.
inline constexpr QColor kSky(0, 191, 255);
inline constexpr QColor kBrown(128, 64, 0);
inline constexpr QColor kOrange(255, 128, 0);

// The before/after chart's bars, on the board and in the debrief.
inline constexpr QColor kBeforePlanBars = kMaroon;
inline constexpr QColor kAfterPlanBars = kNavy;

// The debrief's own: its rules, a rising value, a chart's grid, the footer.
inline constexpr QColor kRule(150, 150, 150);
inline constexpr QColor kRising(0, 150, 0);
inline constexpr QColor kChartGrid(225, 225, 225);
inline constexpr QColor kFooterText(90, 90, 90);

// One colour per team's line in the league chart, told apart also in print.
inline constexpr std::array<QColor, 10> kTeamColours = {{
    kRed,
    kBlue,
    QColor(0, 128, 0),
    kOrange,
    QColor(128, 0, 128),
    QColor(0, 128, 128),
    kBrown,
    kMagenta,
    QColor(64, 64, 64),
    QColor(128, 128, 0),
}};

// The contrast ratio of two colours as screen readers' guidelines measure
// it (1 : 1 for equal colours up to 21 : 1 for black on white): a line or a
// text shows against its background from 3 : 1 on.
double contrastRatio(const QColor& a, const QColor& b);

}  // namespace tessaro::ui
