// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/messages.h"

#include <QMessageBox>
#include <QString>

namespace tessaro::ui {
namespace {

MessageRecorder& recorder() {
    static MessageRecorder r;
    return r;
}

}  // namespace

void setMessageRecorder(MessageRecorder r) {
    recorder() = std::move(r);
}

void showMessage(QWidget* parent, const model::MessageBox& box) {
    if (recorder()) {
        recorder()(box);
        return;
    }
    const QString title =
        box.title.empty() ? QString(kProgramTitle) : QString::fromStdString(box.title);
    QMessageBox m(box.icon == model::Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  title, QString::fromStdString(box.text), QMessageBox::Ok, parent);
    m.exec();
    // The keys go back to the window the box was shown over, also where no
    // window manager hands them back.
    if (parent && parent->window()->isVisible()) parent->window()->activateWindow();
}

}  // namespace tessaro::ui
