// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "forms.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form7.h"
#include "form8.h"
#include "gamewindows.h"

namespace tessaro::ui {

void registerGameForms() {
    auto& windows = GameWindows::instance();
    windows.registerForm("Form1", [] { return new Form1(); });
    windows.registerForm("Form2", [] { return new Form2(); });
    windows.registerForm("Form3", [] { return new Form3(); });
    windows.registerForm("Form4", [] { return new Form4(); });
    windows.registerForm("Form7", [] { return new Form7(); });
    windows.registerForm("Form8", [] { return new Form8(); });
}

void setUpLook() {
    // Liberation Serif and Sans have the widths of Times New Roman and Arial,
    // so texts fill the boxes they were laid out for.
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    QFont::insertSubstitutions("georgia", {"Gelasio", "Liberation Serif"});
    QFont::insertSubstitutions("GEORGIA", {"Gelasio", "Liberation Serif"});
    // One style on every desktop, which draws the colours the windows set.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
}

}  // namespace tessaro::ui
