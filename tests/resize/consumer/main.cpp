// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Puts a Morvane on a form, shows it offscreen and prints the library's
// version: the installed headers, library and Qt work together.
#include <morvane/morvane.h>
#include <morvane/version.h>

#include <QApplication>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget form;
    form.setObjectName(QStringLiteral("ConsumerForm"));
    form.resize(400, 200);
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setObjectName(QStringLiteral("Command1"));
    button->setGeometry(40, 20, 80, 40);
    auto* resizer = new MorvaneCtl::Morvane(&form);
    resizer->CaptureDesignSize();
    form.show();
    QApplication::processEvents();
    std::printf("Morvane %s (header %s), bound: %s\n", qPrintable(MorvaneCtl::versionText()),
                MORVANE_VERSION_STRING, resizer->MyParent() == &form ? "yes" : "no");
    return MorvaneCtl::versionText() == QStringLiteral(MORVANE_VERSION_STRING) ? 0 : 1;
}
