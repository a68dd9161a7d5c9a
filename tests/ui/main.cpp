// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The window tests need a QApplication. Without a platform named in the
// environment they run headless, also when CTest lists them at build time.
// The windows are measured in the fonts and the style the game draws them in.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/windows/forms.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tessaro::ui::setUpLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
