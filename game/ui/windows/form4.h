// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The decision window: the players type the production orders planned, the
// trainees' hiring planned and the password, and press "System Dynamics
// Run", which runs the plan-quarter (or re-initialises the game) through the
// run command and rebuilds the main window.
#pragma once

#include <cstdint>

#include "model/runcommand.h"
#include "ui/windows/form.h"

class QLineEdit;
class QPushButton;
class QGroupBox;

namespace tessaro::ui {

class Form4 : public Form, public model::DecisionPanel {
    Q_OBJECT

public:
    Form4();

    std::int16_t plan_count = 0;

    // The run button's command.
    void runCommand();

    // The decision panel the run command talks to.
    std::string text(model::Box box) const override;
    void setText(model::Box box, const std::string& text) override;
    using QWidget::setFocus;
    void setFocus(model::Box box) override;
    void showMessage(const model::MessageBox& box) override;
    void rebuildBoard() override;

    QLineEdit* box(model::Box which) const;
    static QString instructionText();

    // The production orders box: the players start there.
    QWidget* firstFocus() const override;
    // Its captions are what the players act on: it is not dragged smaller
    // than they show whole in.
    bool keepsCaptionsWhole() const override { return true; }

private:
    void load();

    QLineEdit* m_text1 = nullptr;  // password
    QLineEdit* m_text2 = nullptr;  // production orders
    QLineEdit* m_text3 = nullptr;  // trainees' hiring
    QPushButton* m_command1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label5 = nullptr;
};

}  // namespace tessaro::ui
