// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief report's pages: laid out from the data the model gathered,
// then painted.
#pragma once

#include "model/debriefdata.h"

class QPainter;
class QPagedPaintDevice;

namespace tessaro::ui::debrief {

// Lays the pages out and paints them on `device`, which the painter is open
// on; every page after the first is started with newPage(). The data must
// have no failure (at least one quarter). Returns the number of pages.
int paintPages(QPagedPaintDevice& device, QPainter& painter, const model::DebriefData& data);

}  // namespace tessaro::ui::debrief
