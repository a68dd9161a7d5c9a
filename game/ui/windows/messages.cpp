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

QString breakableAtSeparators(const QString& text) {
    // In a word that is a path, a zero-width space after each "/" is a break
    // opportunity that shows nothing, and a word joiner after each "-"
    // keeps a folder's name from breaking at its hyphens.
    QStringList words = text.split(u' ');
    for (QString& word : words) {
        if (!word.contains(u'/')) continue;
        word.replace(u'-', QStringLiteral("-\u2060"));
        word.replace(u'/', QStringLiteral("/\u200B"));
    }
    return words.join(u' ');
}

std::unique_ptr<QMessageBox> messageBoxFor(QWidget* parent, const model::MessageBox& box) {
    const QString title =
        box.title.empty() ? QString(kProgramTitle) : QString::fromStdString(box.title);
    auto m = std::make_unique<QMessageBox>(
        box.icon == model::Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, title,
        breakableAtSeparators(QString::fromStdString(box.text)), QMessageBox::Ok, parent);
    m->setTextFormat(Qt::PlainText);
    m->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return m;
}

void showMessage(QWidget* parent, const model::MessageBox& box) {
    if (recorder()) {
        recorder()(box);
        return;
    }
    messageBoxFor(parent, box)->exec();
    // The keys go back to the window the box was shown over, also where no
    // window manager hands them back.
    if (parent && parent->window()->isVisible()) parent->window()->activateWindow();
}

}  // namespace tessaro::ui
