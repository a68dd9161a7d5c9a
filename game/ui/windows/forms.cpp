// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/forms.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

#include "ui/windows/form1.h"
#include "ui/windows/form2.h"
#include "ui/windows/form3.h"
#include "ui/windows/form4.h"
#include "ui/windows/form7.h"
#include "ui/windows/form8.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/leaguewindow.h"

namespace tessaro::ui {
namespace {

// Fusion, with a dotted mark inside a push button while it has the focus:
// Fusion's own hint (a tinted rim, only after Tab) is hard to see on the
// coloured buttons of the windows.
class GameStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !(option->state & State_HasFocus)) return;
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
        painter->restore();
    }
};

}  // namespace

void registerGameForms() {
    auto& windows = GameWindows::instance();
    windows.registerForm("Form1", [] { return new Form1(); });
    windows.registerForm("Form2", [] { return new Form2(); });
    windows.registerForm("Form3", [] { return new Form3(); });
    windows.registerForm("Form4", [] { return new Form4(); });
    windows.registerForm("Form7", [] { return new Form7(); });
    windows.registerForm("Form8", [] { return new Form8(); });
    windows.registerForm("LeagueWindow", [] { return new LeagueWindow(); });
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
    if (QStyle* fusion = QStyleFactory::create("Fusion"))
        QApplication::setStyle(new GameStyle(fusion));
}

}  // namespace tessaro::ui
