// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// How the value of the game went from the quarter before to the last one:
// each line of the performance sheet's change and what it did to the value,
// and the steps of a waterfall from the one value to the other.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/debriefdata.h"

namespace tessaro::model {

struct ScoreChange {
    bool firstQuarter = false;         // nothing was earned or spent before it
    std::string beforePlanNumberText;  // empty before play
    std::string lastPlanNumberText;
    std::array<std::int32_t, 12> before{};  // all 0 before play
    std::array<std::int32_t, 12> last{};

    // The line's figure, last less before.
    double change(SheetValue line) const;
    // What that change did to the value of the game: earnings and the
    // values themselves count as they are, every cost against it.
    double effect(SheetValue line) const;
};

// The last quarter against the one before it (or against the start of play
// when only one was played). `quarters` holds at least one.
ScoreChange lastScoreChange(const std::vector<QuarterScore>& quarters);

struct WaterfallStep {
    enum class Kind { Start, Gain, Loss, End };
    Kind kind = Kind::Start;
    std::string label;
    double from = 0;
    double to = 0;
    // The figure the bar is labelled with: the level at the start and the
    // end, the effect in between.
    double amount = 0;
};

// From the value of the game before to the last one: the earnings, each
// cost, and a bar of its own for what the stored figures leave unaccounted
// (an edited game's figures need not add up), so the end is the sheet's.
std::vector<WaterfallStep> valueWaterfall(const ScoreChange& c);

}  // namespace tessaro::model
