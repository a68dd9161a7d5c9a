// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "gamewindows.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "form.h"
#include "mdiform1.h"

namespace tessaro::ui {

GameWindows& GameWindows::instance() {
    static GameWindows windows;
    return windows;
}

MDIForm1* GameWindows::mainWindow() const { return m_main; }

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
    showBoard(true);
    emit mainWindowLoaded(m_main);
}

void GameWindows::showBoard(bool visible) {
    if (m_main) m_main->setBoardVisible(visible);
}

void GameWindows::registerForm(const QString& name, FormFactory factory) {
    m_factories[name] = std::move(factory);
}

Form* GameWindows::openForm(const QString& name) {
    const auto it = m_factories.find(name);
    if (it == m_factories.end() || !m_main) return nullptr;
    showBoard(false);
    QPointer<Form> form = it->second();
    if (!form) return nullptr;
    const QRectF placed = form->windowTwips();
    QMdiSubWindow* sub = m_main->mdiArea()->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    // The frame takes the form's scaled size and place inside the main window.
    form->moveWindowTwips(placed);
    form->activateWindow();
    return form;
}

void GameWindows::exitGame() {
    if (m_exitHook) {
        m_exitHook();
        return;
    }
    QCoreApplication::exit(0);
}

}  // namespace tessaro::ui
