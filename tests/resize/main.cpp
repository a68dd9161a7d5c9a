// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The resize tests need a QApplication. Without a platform named in the
// environment they run headless, also when CTest lists them at build time.
#include <gtest/gtest.h>
#include <morvane/messagebox.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A message box no test answers would wait for a person for ever: it
    // fails the test and is answered No.
    MorvaneCtl::setMessageBoxHook([](QMessageBox::Icon, const QString& title, const QString& text,
                                     QMessageBox::StandardButtons) {
        ADD_FAILURE() << "unexpected message box " << title.toStdString() << ": "
                      << text.toStdString();
        return QMessageBox::No;
    });
    return RUN_ALL_TESTS();
}
