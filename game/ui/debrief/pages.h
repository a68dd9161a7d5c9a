// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief's page kinds, each added to the pager in the report's order.
#pragma once

#include <QColor>
#include <QString>
#include <vector>

#include "model/debriefdata.h"
#include "ui/debrief/pagelayout.h"

namespace tessaro::ui::debrief {

// The game's title and plan-quarter number, then the performance sheet.
void addTitlePage(Pager& pager, const model::DebriefData& data, QPaintDevice* device);
// The plan report: decisions against what happened, levels and rates.
void addReportPage(Pager& pager, const model::DebriefData& data, QPaintDevice* device);
// The past plan and game value plots, two to a page.
void addPlotPages(Pager& pager, const model::DebriefData& data);
// How the value of the game came about, and the last quarter against the
// one before it.
void addScorePage(Pager& pager, const model::DebriefData& data, QPaintDevice* device);

// One bar of a waterfall chart: a level, or a change from one level to the
// next.
struct Step {
    QString label;
    double from = 0;
    double to = 0;
    QColor colour;
    QString valueText;
};

Paint waterfallPaint(std::vector<Step> steps, QString title, QPaintDevice* device);

}  // namespace tessaro::ui::debrief
