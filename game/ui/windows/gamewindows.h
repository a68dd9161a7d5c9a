// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game's windows as a whole: the one main window, the child windows the
// menu opens inside it, and the rebuilding of the main window after a run or
// a Close. Windows reach the game database through the connection string
// held here.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <string>

namespace tessaro::ui {

class Form;
class MDIForm1;

class GameWindows : public QObject {
    Q_OBJECT

public:
    static GameWindows& instance();

    // Loads and shows the main window on the game database.
    void start(const std::string& connectionString);
    // Closes every window (the program's end, and between tests).
    void stop();

    const std::string& connectionString() const { return m_connectionString; }
    MDIForm1* mainWindow() const;

    // Unloads the main window with every child window, loads it again from
    // the database, shows it and makes its board visible.
    void reloadMainWindow();
    // Makes the main window's board (Picture1) visible, or hides it.
    void showBoard(bool visible = true);
    // Shows the board unless a child window other than `leaving` is shown
    // (open and not minimised): the board would cover it.
    void showBoardUnlessAChildIsShown(const QWidget* leaving);

    // Child windows by name ("Form1", "Form4" ...): creating one runs its load.
    using FormFactory = std::function<Form*()>;
    void registerForm(const QString& name, FormFactory factory);
    bool hasForm(const QString& name) const { return m_factories.count(name) > 0; }
    // Hides the board, loads the child window and shows it inside the main
    // window, wholly inside its client area, with the focus on its first
    // control. There is one window of a kind: one that is open already is
    // unloaded first, so the window loads afresh (with the selector the
    // menu has just set). Returns the window, or null when there is no such
    // window.
    Form* openForm(const QString& name);
    // The open child window of that name, or null.
    Form* openWindow(const QString& name) const;

    // "Exit Game": ends the program at once, with no unloading of any window.
    void exitGame();
    void setExitHook(std::function<void()> hook) { m_exitHook = std::move(hook); }

signals:
    void mainWindowLoaded(tessaro::ui::MDIForm1* window);

private:
    std::string m_connectionString;
    QPointer<MDIForm1> m_main;
    std::map<QString, FormFactory> m_factories;
    std::function<void()> m_exitHook;
};

}  // namespace tessaro::ui
