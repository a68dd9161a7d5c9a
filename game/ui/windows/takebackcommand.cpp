// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/takebackcommand.h"

#include <QInputDialog>
#include <QLineEdit>

#include "model/takeback.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

PasswordPrompt& promptHook() {
    static PasswordPrompt hook;
    return hook;
}

std::optional<std::string> askPassword(QWidget* parent) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(model::kTakeBackTitle);
    dialog.setLabelText(kTakeBackPrompt);
    dialog.setTextEchoMode(QLineEdit::Password);
    // One "*" for each character typed, as in the decision window.
    dialog.setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

}  // namespace

void setPasswordPrompt(PasswordPrompt prompt) {
    promptHook() = std::move(prompt);
}

void takeBackLastQuarter(QWidget* window, const std::string& connectionString) {
    const std::optional<std::string> password =
        promptHook() ? promptHook()(window) : askPassword(window);
    if (!password) return;
    const model::TakeBack result = model::takeBackLastQuarter(connectionString, *password);
    for (const auto& box : result.messages) showMessage(window, box);
    // The board shows the quarter the game stands at now.
    if (result.outcome == model::TakeBackOutcome::TakenBack)
        GameWindows::instance().reloadMainWindow();
}

}  // namespace tessaro::ui
