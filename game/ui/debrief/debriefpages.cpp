// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/debrief/debriefpages.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "ui/debrief/pages.h"

namespace tessaro::ui::debrief {
namespace {

void paintFooter(QPainter& painter, const QRectF& footer, const QString& left, int page,
                 int count) {
    painter.setPen(QPen(kRule, pt(0.5)));
    painter.drawLine(footer.topLeft(), footer.topRight());
    painter.setFont(footerFont());
    painter.setPen(kFooterText);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                     "Page " + QString::number(page) + " of " + QString::number(count));
}

}  // namespace

int paintPages(QPagedPaintDevice& device, QPainter& painter, const model::DebriefData& data) {
    const QRectF page(QPointF(0, 0), QSizeF(device.width(), device.height()));
    const QRectF content =
        page.adjusted(pt(kMargin), pt(kMargin), -pt(kMargin), -pt(kMargin) - pt(kFooterHeight));
    Pager pager(content);
    addTitlePage(pager, data, &device);
    addReportPage(pager, data, &device);
    addPlotPages(pager, data);
    addScorePage(pager, data, &device);

    // Painting waits until every page is known, so that each footer can say
    // how many there are.
    const auto& pages = pager.pages();
    const int count = static_cast<int>(pages.size());
    const QString footerLeft =
        "Tessaro  -  Debrief Report  -  PLAN-QUARTER NO. :: " + QString::number(data.planCount);
    const QRectF footer(content.left(), page.bottom() - pt(kMargin) - pt(kFooterHeight) + pt(6),
                        content.width(), pt(kFooterHeight));
    for (int i = 0; i < count; ++i) {
        if (i > 0) device.newPage();
        painter.setRenderHint(QPainter::Antialiasing);
        for (const Placed& placed : pages[static_cast<std::size_t>(i)]) {
            painter.save();
            placed.paint(painter, placed.box);
            painter.restore();
        }
        paintFooter(painter, footer, footerLeft, i + 1, count);
    }
    return count;
}

}  // namespace tessaro::ui::debrief
