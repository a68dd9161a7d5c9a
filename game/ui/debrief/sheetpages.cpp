// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <QFontMetricsF>
#include <QPainter>

#include "ui/debrief/pages.h"

namespace tessaro::ui::debrief {
namespace {

// ---------------------------------------------------------------------------
// The two grids of the windows, with their texts, formats and colours.

Grid sheetGrid(const model::PerformanceSheet& sheet) {
    const model::TextGrid texts = sheet.grid();
    Grid grid{{8000, 8000}, 500, {}};
    for (std::size_t r = 0; r < texts.size(); ++r) {
        const bool heading = r == 0 || r == 2;
        const bool shaded = heading || r == 12;
        const QColor back = shaded ? kShade : kWhite;
        const Qt::Alignment lineAlign =
            heading ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
        if (r == 6) {
            // "4. Manpower Costs :" reads once across both columns.
            grid.rows.push_back({{qs(texts[r][0]), lineAlign, back, kBlack, 2}});
            continue;
        }
        QColor valueColour = kBlack;
        if (r == 13 && sheet.gameValueRed()) valueColour = kRed;
        if (r == 14 && sheet.averageValueRed()) valueColour = kRed;
        grid.rows.push_back({{qs(texts[r][0]), lineAlign, back, kBlack, 1},
                             {qs(texts[r][1]), Qt::AlignCenter, back, valueColour, 1}});
    }
    return grid;
}

Grid decisionGrid(const model::PlanReport& report) {
    Grid grid{{8000, 8000}, 800, {}};
    for (const auto& row : report.decisionGrid()) grid.rows.push_back({{qs(row[0])}, {qs(row[1])}});
    return grid;
}

Grid variablesGrid(const model::PlanReport& report) {
    Grid grid{{3000, 2500, 2500, 3000, 2500, 2500}, 500, {}};
    const model::TextGrid texts = report.variablesGrid();
    for (std::size_t r = 0; r < texts.size(); ++r) {
        Row row;
        for (std::size_t c = 0; c < texts[r].size(); ++c) {
            // One fixed row and one fixed column; the value columns centred.
            Cell cell{qs(texts[r][c])};
            const bool valueColumn = c == 1 || c == 2 || c == 4 || c == 5;
            cell.align = r > 0 && valueColumn ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
            if (r == 0 || c == 0) cell.back = kFixedBack;
            row.push_back(cell);
        }
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

// The board's title and plan-quarter number, as the main window shows them.
void addTitle(Pager& pager, const model::DebriefData& data) {
    pager.add(pt(44), [](QPainter& p, const QRectF& box) {
        p.fillRect(box, kBoardBack);
        p.setFont(font("georgia", 24, true));
        p.setPen(kBlack);
        p.drawText(box, Qt::AlignCenter, "Tessaro");
    });
    const QString count = QString::number(data.planCount);
    pager.add(pt(28), [count](QPainter& p, const QRectF& box) {
        p.fillRect(box, kMagenta);
        p.setPen(kWhite);
        const QFont label = font("GEORGIA", 14, true);
        p.setFont(label);
        const QString text = "   PLAN-QUARTER NO.    ::  ";
        const double w = QFontMetricsF(label, p.device()).horizontalAdvance(text);
        const QRectF all = box.adjusted(pt(8), 0, -pt(8), 0);
        const double numberWidth = pt(60);
        const double left = all.center().x() - (w + numberWidth) / 2;
        p.drawText(QRectF(left, box.top(), w, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
        p.setFont(font("Arial", 14, true));
        p.drawText(QRectF(left + w, box.top(), numberWidth, box.height()), Qt::AlignCenter, count);
    });
    pager.space(pt(kGap));
    pager.add(pt(kHeadingHeight), headingPaint("Debrief Report", Qt::AlignCenter));
    pager.space(pt(kGap));
}

}  // namespace

void addTitlePage(Pager& pager, const model::DebriefData& data, QPaintDevice* device) {
    addTitle(pager, data);
    addHeading(pager,
               "Performance Sheet For Plan Quarter Number  :  " + qs(data.sheet.planNumberText),
               pt(60));
    pager.space(pt(6));
    addGrid(pager, sheetGrid(data.sheet), device);
}

void addReportPage(Pager& pager, const model::DebriefData& data, QPaintDevice* device) {
    pager.newPage();
    addHeading(pager, "Plan Report For Plan Quarter Number  :  " + qs(data.report.planNumberText),
               pt(60));
    pager.space(pt(kGap));
    pager.add(pt(kHeadingHeight), headingPaint("Your Decision Vs Actual", Qt::AlignCenter), pt(60));
    pager.space(pt(6));
    addGrid(pager, decisionGrid(data.report), device);
    pager.space(pt(2 * kGap));
    addGrid(pager, variablesGrid(data.report), device, 1);
}

}  // namespace tessaro::ui::debrief
