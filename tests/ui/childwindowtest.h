// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A game in a temporary folder with the main window loaded on it and every
// message box recorded instead of shown, for the tests of the child windows.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testgame.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/module2.h"
#include "ui/windows/form.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {

class ChildWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerGameForms();
        setMessageRecorder([this](const model::MessageBox& box) {
            messages.push_back(box);
            if (onMessage) onMessage(box);
        });
        cs = testing::newGame(dir);
    }

    void TearDown() override {
        GameWindows::instance().stop();
        flushDeletes();
        setMessageRecorder({});
        setScreenOverride(std::nullopt);
    }

    // Loads the main window on the game and opens a child window by name,
    // recording only the child window's own messages.
    template <class W>
    W* open(const char* name) {
        GameWindows::instance().start(cs);
        messages.clear();
        return qobject_cast<W*>(GameWindows::instance().openForm(name));
    }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static QString labelText(const QWidget* window, const char* name) {
        const auto* label = window->findChild<QLabel*>(name);
        return label ? label->text() : QString("<no %1>").arg(name);
    }

    static MSFlexGrid* grid(const QWidget* window, const char* name) {
        return window->findChild<MSFlexGrid*>(name);
    }

    // Every cell's text, row by row.
    static std::vector<std::vector<std::string>> texts(const MSFlexGrid& g) {
        std::vector<std::vector<std::string>> out;
        for (int r = 0; r < g.rows(); ++r) {
            out.emplace_back();
            for (int c = 0; c < g.cols(); ++c)
                out.back().push_back(g.textMatrix(r, c).toStdString());
        }
        return out;
    }

    // The window's Close button unloads it together with the main window and
    // loads a new main window with its board showing.
    void expectCloseRebuildsTheMainWindow(const char* name) {
        SCOPED_TRACE(name);
        GameWindows::instance().start(cs);
        QPointer<MDIForm1> before = GameWindows::instance().mainWindow();
        QPointer<Form> form = GameWindows::instance().openForm(name);
        ASSERT_TRUE(form);
        EXPECT_FALSE(before->picture1()->isVisible());
        auto* close = form->findChild<QPushButton*>("Command1");
        ASSERT_TRUE(close);
        EXPECT_EQ(close->text(), "Close");
        close->click();
        flushDeletes();
        EXPECT_TRUE(form.isNull());
        EXPECT_TRUE(before.isNull());
        MDIForm1* after = GameWindows::instance().mainWindow();
        ASSERT_NE(after, nullptr);
        EXPECT_TRUE(after->isVisible());
        EXPECT_TRUE(after->picture1()->isVisible());
        EXPECT_TRUE(after->mdiArea()->subWindowList().isEmpty());
    }

    // The window's Minimize button minimises it and nothing else.
    void expectMinimizeMinimisesTheWindow(const char* name) {
        SCOPED_TRACE(name);
        Form* form = open<Form>(name);
        ASSERT_TRUE(form);
        const MDIForm1* main = GameWindows::instance().mainWindow();
        auto* minimize = form->findChild<QPushButton*>("Command2");
        ASSERT_TRUE(minimize);
        EXPECT_EQ(minimize->text(), "Minimize");
        minimize->click();
        ASSERT_TRUE(form->subWindow());
        EXPECT_TRUE(form->subWindow()->isMinimized());
        EXPECT_EQ(GameWindows::instance().mainWindow(), main);
    }

    // A game file without its accounting table: the window reports the
    // database failure, shows no plan number and leaves the file as it was.
    void expectBrokenDatabaseReported(const char* name) {
        SCOPED_TRACE(name);
        testing::sql(cs, "DROP TABLE PLDI");
        const std::string before = testing::scalarText(cs, "SELECT group_concat(PT) FROM PLIO");
        Form* form = open<Form>(name);
        ASSERT_TRUE(form);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].title, "Game Database");
        EXPECT_EQ(messages[0].icon, model::Icon::Critical);
        EXPECT_FALSE(messages[0].text.empty());
        EXPECT_EQ(labelText(form, "Label2"), "");
        // The load ends at the failure: nothing reached the grids.
        for (const MSFlexGrid* g : form->findChildren<MSFlexGrid*>()) {
            for (const auto& row : texts(*g))
                for (const auto& cell : row) EXPECT_EQ(cell, "");
        }
        EXPECT_EQ(testing::scalarText(cs, "SELECT group_concat(PT) FROM PLIO"), before);
    }

    testing::TempDir dir;
    std::string cs;
    std::vector<model::MessageBox> messages;
    // Called with each box as it is shown, while the window is still loading.
    std::function<void(const model::MessageBox&)> onMessage;
};

}  // namespace tessaro::ui
