// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game with the keyboard alone: menus chosen by their letters, the
// focus where the players start and in sight on buttons, Esc to leave a
// window, and a name for every control that assistive technology reads.
#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QTest>

#include "ui/components/chartexport.h"
#include "ui/windows/form4.h"
#include "ui/windows/form7.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

class Keyboard : public WindowTest {
protected:
    void TearDown() override {
        CommonDialog::setAnswerHook({});
        WindowTest::TearDown();
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The main window as the active one, as it is when the player works in it.
    static MDIForm1* active() {
        MDIForm1* main = GameWindows::instance().mainWindow();
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main));
        return main;
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    // Keys pressed at whatever has the focus (or the open menu).
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* to = QApplication::activePopupWidget();
        if (!to) to = focus();
        if (!to) to = GameWindows::instance().mainWindow();
        QTest::keyClick(to, key, modifiers);
        settle();
    }
    static void type(const char* text) {
        QTest::keyClicks(focus(), text);
        settle();
    }
};

TEST_F(Keyboard, everyMenuEntryHasALetterOfItsOwnAndItsStoredCaption) {
    MDIForm1* main = start();
    const auto check = [](const QList<QAction*>& actions, const std::string& where) {
        QSet<QChar> letters;
        for (const QAction* a : actions) {
            const QString text = a->text();
            const qsizetype at = text.indexOf(u'&');
            ASSERT_GE(at, 0) << where << ": " << text.toStdString();
            const QChar letter = text.at(at + 1).toUpper();
            EXPECT_FALSE(letters.contains(letter)) << where << ": " << text.toStdString();
            letters.insert(letter);
        }
    };
    check(main->menuBar()->actions(), "menu bar");
    for (const QMenu* menu : main->findChildren<QMenu*>())
        check(menu->actions(), menu->title().toStdString());
    EXPECT_EQ(QKeySequence::mnemonic(main->findChild<QMenu*>("menuplan")->title()),
              QKeySequence(Qt::ALT | Qt::Key_D));
    EXPECT_EQ(main->findChild<QAction*>("menu_pqlty_dur")->text(), "Product &Quality");
}

TEST_F(Keyboard, aQuarterIsPlayedTheReportReadAndAChartSavedWithTheKeysAlone) {
    start();
    active();
    // Alt+D, E: the decision window, ready for the first decision.
    press(Qt::Key_D, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    press(Qt::Key_E);
    auto* decisions = qobject_cast<Form4*>(GameWindows::instance().openWindow("Form4"));
    ASSERT_NE(decisions, nullptr);
    EXPECT_EQ(focus(), decisions->box(model::Box::Production));
    type("3000");
    press(Qt::Key_Tab);
    type("10");
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), decisions->findChild<QPushButton*>("Command1"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), decisions->box(model::Box::Password));
    type("WOTA");
    EXPECT_EQ(decisions->box(model::Box::Password)->displayText(), "****");
    press(Qt::Key_Return);
    EXPECT_EQ(texts(), (std::vector<std::string>{"The decisions are entered successfully.....",
                                                 "SD Simulation Run is now over !!!"}));
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
    EXPECT_EQ(textOf(GameWindows::instance().mainWindow(), "Label69"), "3");

    // Alt+R, T: the report of the quarter; Esc closes it as Close does.
    active();
    press(Qt::Key_R, Qt::AltModifier);
    press(Qt::Key_T);
    QPointer<Form> report = GameWindows::instance().openWindow("Form7");
    ASSERT_FALSE(report.isNull());
    EXPECT_EQ(textOf(report, "Label2"), "2");
    EXPECT_TRUE(report->isAncestorOf(focus()));
    QPointer<MDIForm1> before = GameWindows::instance().mainWindow();
    press(Qt::Key_Escape);
    EXPECT_TRUE(report.isNull());
    EXPECT_TRUE(before.isNull());
    ASSERT_NE(GameWindows::instance().mainWindow(), nullptr);

    // Alt+P, D, O: the order backlog of the quarter; the focus is on its
    // save button, which Space presses.
    active();
    press(Qt::Key_P, Qt::AltModifier);
    press(Qt::Key_D);
    press(Qt::Key_O);
    Form* plot = GameWindows::instance().openWindow("Form1");
    ASSERT_NE(plot, nullptr);
    ASSERT_EQ(focus(), plot->findChild<QPushButton*>("Command2"));
    const QString file = QString::fromStdString(dir.file("backlog"));
    CommonDialog::setAnswerHook([&](const CommonDialog&) { return std::optional<QString>(file); });
    press(Qt::Key_Space);
    EXPECT_TRUE(QFile::exists(file + ".bmp"));
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(Keyboard, escLeavesEachWindowAsItsCloseButtonDoes) {
    testing::press(cs, "3000", "10", "WOTA");
    start();
    struct Case {
        const char* item;
        const char* name;
        bool rebuildsTheMainWindow;
    };
    for (const Case& c :
         {Case{"menu_expop_past", "Form2", false}, Case{"menu_pgval_past", "Form3", false},
          Case{"menu_new_plan_decision", "Form4", false}, Case{"menu_expop_dur", "Form1", true},
          Case{"menu_this_plan", "Form7", true}, Case{"menu_performance_sheet", "Form8", true}}) {
        SCOPED_TRACE(c.name);
        QPointer<MDIForm1> main = active();
        find<QAction>(main, c.item)->trigger();
        settle();
        QPointer<Form> form = GameWindows::instance().openWindow(c.name);
        ASSERT_FALSE(form.isNull());
        ASSERT_TRUE(form->isAncestorOf(focus()));
        press(Qt::Key_Escape);
        EXPECT_TRUE(form.isNull());
        EXPECT_EQ(main.isNull(), c.rebuildsTheMainWindow);
        MDIForm1* now = GameWindows::instance().mainWindow();
        EXPECT_TRUE(now->picture1()->isVisibleTo(now));
        EXPECT_TRUE(now->mdiArea()->subWindowList().isEmpty());
    }
}

TEST_F(Keyboard, aButtonShowsWhenItHasTheFocus) {
    start();
    active();
    find<QAction>(GameWindows::instance().mainWindow(), "menu_new_plan_decision")->trigger();
    settle();
    Form* form = GameWindows::instance().openWindow("Form4");
    ASSERT_NE(form, nullptr);
    for (const char* name : {"Command1", "Command2"}) {
        SCOPED_TRACE(name);
        auto* button = find<QPushButton>(form, name);
        form->findChild<QLineEdit*>("Text2")->setFocus(Qt::TabFocusReason);
        settle();
        const QImage without = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        settle();
        ASSERT_TRUE(button->hasFocus());
        EXPECT_NE(button->grab().toImage(), without);
    }
}

void expectNamed(const std::vector<QWidget*>& controls) {
    for (QWidget* c : controls) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr) << c->objectName().toStdString();
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << c->window()->objectName().toStdString() << "/" << c->objectName().toStdString();
    }
}

TEST_F(Keyboard, everyControlHasAnAccessibleName) {
    testing::press(cs, "3000", "10", "WOTA");
    MDIForm1* main = start();
    expectNamed(main->controls());
    EXPECT_EQ(find<QLabel>(main, "Label7")->accessibleName(), "Experienced People, After Plan");
    EXPECT_EQ(find<QLabel>(main, "Label7")->accessibleDescription(), textOf(main, "Label7"));
    for (const char* item : {"menu_new_plan_decision", "menu_expop_dur", "menu_expop_past",
                             "menu_pgval_past", "menu_this_plan", "menu_performance_sheet"}) {
        SCOPED_TRACE(item);
        find<QAction>(main, item)->trigger();
        settle();
        auto* form = qobject_cast<Form*>(main->mdiArea()->activeSubWindow()->widget());
        ASSERT_NE(form, nullptr);
        expectNamed(form->controls());
    }
    EXPECT_EQ(GameWindows::instance()
                  .openWindow("Form4")
                  ->findChild<QLineEdit*>("Text2")
                  ->accessibleName(),
              "Production Orders Planned");
}

}  // namespace
}  // namespace tessaro::ui
