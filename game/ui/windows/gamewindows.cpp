// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/gamewindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "ui/windows/captionroom.h"
#include "ui/windows/form.h"
#include "ui/windows/mdiform1.h"

namespace tessaro::ui {

GameWindows& GameWindows::instance() {
    static GameWindows windows;
    return windows;
}

MDIForm1* GameWindows::mainWindow() const {
    return m_main;
}

void GameWindows::start(const std::string& connectionString) {
    m_connectionString = connectionString;
    reloadMainWindow();
}

void GameWindows::stop() {
    if (m_main) {
        m_main->hide();
        delete m_main.data();
    }
    m_main = nullptr;
}

void GameWindows::reloadMainWindow() {
    if (MDIForm1* old = m_main) {
        // Unloading the main window unloads every child window with it.
        m_main = nullptr;
        old->hide();
        old->deleteLater();
    }
    m_main = new MDIForm1();
    m_main->show();
    // The keys go on to the window that stands in for the old one.
    m_main->raise();
    m_main->activateWindow();
    showBoard(true);
    emit mainWindowLoaded(m_main);
}

void GameWindows::showBoard(bool visible) {
    if (m_main) m_main->setBoardVisible(visible);
}

void GameWindows::registerForm(const QString& name, FormFactory factory) {
    m_factories[name] = std::move(factory);
}

void GameWindows::showBoardUnlessAChildIsShown(const QWidget* leaving) {
    if (!m_main) return;
    for (QMdiSubWindow* sub : m_main->mdiArea()->subWindowList()) {
        if (sub != leaving && !sub->isHidden() && !sub->isMinimized()) return;
    }
    showBoard(true);
}

Form* GameWindows::openWindow(const QString& name) const {
    if (!m_main) return nullptr;
    for (QMdiSubWindow* sub : m_main->mdiArea()->subWindowList()) {
        if (auto* form = qobject_cast<Form*>(sub->widget()); form && form->objectName() == name)
            return form;
    }
    return nullptr;
}

Form* GameWindows::openForm(const QString& name) {
    const auto it = m_factories.find(name);
    if (it == m_factories.end() || !m_main) return nullptr;
    QMdiArea* area = m_main->mdiArea();
    // The open window of this kind goes, as its title bar's close button
    // would take it, so that the one that loads now is the only one.
    if (Form* open = openWindow(name)) {
        QMdiSubWindow* sub = open->subWindow();
        sub->close();
        if (area->subWindowList().contains(sub)) area->removeSubWindow(sub);
    }
    showBoard(false);
    QPointer<Form> form = it->second();
    if (!form || !m_main) return form;
    const QRectF placed = form->windowTwips();
    QMdiSubWindow* sub = area->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A window restored from its icon is shown again as the menu shows one:
    // the board makes way. Its icon must stay in sight while it is one.
    connect(sub, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates was, Qt::WindowStates now) {
                if ((was & Qt::WindowMinimized) && !(now & Qt::WindowMinimized))
                    showBoard(false);
                else if ((now & Qt::WindowMinimized) && !(was & Qt::WindowMinimized))
                    // An icon is not a window in sight: with no other one
                    // shown the board comes back rather than an empty area.
                    showBoardUnlessAChildIsShown(nullptr);
                if (m_main) m_main->layoutClient();
            });
    sub->show();
    // The frame takes the form's scaled size and place inside the main
    // window, shrunk where it would not fit the client area, and moved in
    // where it would stand out of it.
    form->moveWindowTwips(placed);
    const QSize room = area->contentsRect().size();
    const QSize frame = sub->size() - form->size();
    form->scaling.fitInto(*form, QSizeF(twipsAcross(room.width() - frame.width()),
                                        twipsDown(room.height() - frame.height())));
    const QPoint inside(std::clamp(sub->x(), 0, std::max(0, room.width() - sub->width())),
                        std::clamp(sub->y(), 0, std::max(0, room.height() - sub->height())));
    if (inside != sub->pos()) sub->move(inside);
    if (form->keepsCaptionsWhole()) keepCaptionsWhole(*form);
    area->setActiveSubWindow(sub);
    form->activateWindow();
    if (QWidget* first = form->firstFocus()) first->setFocus(Qt::TabFocusReason);
    return form;
}

void GameWindows::exitGame() {
    if (m_exitHook) {
        m_exitHook();
        return;
    }
    // At once: no window is unloaded and nothing waits for the desktop (a
    // clipboard manager taking the last chart picture can keep a normal
    // exit busy for seconds). No database connection is open between two
    // commands, so there is nothing to close.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace tessaro::ui
