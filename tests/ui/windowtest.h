// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Shared set-up of the window tests: a game database in a temporary folder,
// the windows started on it with every message box recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "model/runstopped.h"
#include "testgame.h"
#include "ui/look/module2.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerGameForms();
        setScreenOverride(ScreenSpec{800, 600, 96, 96});
        setMessageRecorder([this](const model::MessageBox& box) { messages.push_back(box); });
        GameWindows::instance().setExitHook([this] { ++exits; });
        cs = testing::newGame(dir);
    }
    void TearDown() override {
        GameWindows::instance().stop();
        QApplication::processEvents();
        setMessageRecorder({});
        GameWindows::instance().setExitHook({});
        setScreenOverride(std::nullopt);
    }
    MDIForm1* start() {
        GameWindows::instance().start(cs);
        QApplication::processEvents();
        return GameWindows::instance().mainWindow();
    }
    template <class W>
    W* find(QWidget* in, const char* name) {
        W* w = in->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString textOf(QWidget* in, const char* name) {
        auto* l = in->findChild<QLabel*>(name);
        return l ? l->text() : QString("<no %1>").arg(name);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.text);
        return out;
    }

    testing::TempDir dir;
    std::string cs;
    std::vector<model::MessageBox> messages;
    int exits = 0;
};

}  // namespace tessaro::ui
