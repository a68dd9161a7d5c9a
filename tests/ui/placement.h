// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Whether a child window lies wholly inside the main window with its values
// in sight: inside the child windows' area with no scroll bars, every
// control inside the window, and every grid's cells inside its box.
#pragma once

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableWidget>
#include <string>

#include "ui/components/msflexgrid.h"
#include "ui/windows/form.h"
#include "ui/windows/mdiform1.h"

namespace tessaro::ui {

inline std::string rectText(const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
           std::to_string(r.x()) + "+" + std::to_string(r.y());
}

// Where a widget lies in another, an ancestor of it.
inline QRect rectIn(const QWidget* w, const QWidget* ancestor) {
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

inline void expectWhollyInSight(const MDIForm1& main, const Form& form) {
    const QMdiArea* area = main.mdiArea();
    const QMdiSubWindow* sub = form.subWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(main.rect().contains(rectIn(area, &main))) << rectText(rectIn(area, &main));
    EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry()))
        << rectText(sub->geometry()) << " in " << rectText(area->viewport()->rect());
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    for (QWidget* control : form.controls()) {
        EXPECT_TRUE(form.rect().contains(rectIn(control, &form)))
            << control->objectName().toStdString() << " " << rectText(rectIn(control, &form));
    }
    for (MSFlexGrid* grid : form.findChildren<MSFlexGrid*>()) {
        QTableWidget* t = grid->table();
        int width = 0, height = 0;
        for (int c = 0; c < grid->cols(); ++c) width += t->columnWidth(c);
        for (int r = 0; r < grid->rows(); ++r) height += t->rowHeight(r);
        EXPECT_LE(width, t->viewport()->width()) << grid->objectName().toStdString();
        EXPECT_LE(height, t->viewport()->height()) << grid->objectName().toStdString();
        EXPECT_FALSE(t->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(t->verticalScrollBar()->isVisible());
    }
}

}  // namespace tessaro::ui
