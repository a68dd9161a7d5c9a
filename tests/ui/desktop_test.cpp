// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The windows on a real X screen, run by scripts/desktop with and without a
// window manager: the main window's frame on the screen, its Minimize
// command without drift, and the board back whenever no child window is in
// sight. Without a desktop (offscreen) the tests that need one skip.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTextLayout>
#include <functional>
#include <map>
#include <string>

#include "testgame.h"
#include "ui/look/textfit.h"
#include "ui/windows/form.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

std::string rectText(const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
           std::to_string(r.x()) + "+" + std::to_string(r.y());
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X screen: run through scripts/desktop";
        registerGameForms();
        setMessageRecorder([this](const model::MessageBox& box) { messages.push_back(box.text); });
        cs = testing::newGame(dir);
        testing::press(cs, "3000", "10", "WOTA");
    }
    void TearDown() override {
        GameWindows::instance().stop();
        settle(50);
        setMessageRecorder({});
    }
    static bool underWindowManager() {
        return qEnvironmentVariable("TESSARO_DESKTOP_WM") != "none";
    }

    // Lets the X server and the window manager answer: events are handled
    // until `done` holds, or for `ms` when there is nothing to wait for.
    static bool settle(int ms, const std::function<bool()>& done = {}) {
        QElapsedTimer timer;
        timer.start();
        do {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (done && done()) return true;
            QTest::qWait(10);
        } while (timer.elapsed() < ms);
        return !done || done();
    }
    // The frame settles once the window manager has framed the window and
    // the geometry stops changing.
    static void settleFrame(const QWidget* w) {
        QRect last;
        int still = 0;
        settle(3000, [&] {
            const QRect now = w->frameGeometry();
            still = now == last ? still + 1 : 0;
            last = now;
            return still >= 8;
        });
    }
    MDIForm1* start() {
        GameWindows::instance().start(cs);
        MDIForm1* main = GameWindows::instance().mainWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main, 5000));
        settleFrame(main);
        return main;
    }
    void choose(const char* item) {
        GameWindows::instance().mainWindow()->findChild<QAction*>(item)->trigger();
        settle(100);
    }
    static bool boardShown() {
        const MDIForm1* main = GameWindows::instance().mainWindow();
        return main->picture1()->isVisibleTo(main);
    }
    static QRect screenRect() { return QGuiApplication::primaryScreen()->geometry(); }

    testing::TempDir dir;
    std::string cs;
    std::vector<std::string> messages;
};

TEST_F(Desktop, theScreenIsTheOneAskedFor) {
    const QString asked = qEnvironmentVariable("TESSARO_DESKTOP_SIZE");
    if (asked.isEmpty()) GTEST_SKIP() << "no size asked for";
    const QRect screen = screenRect();
    EXPECT_EQ(QString("%1x%2").arg(screen.width()).arg(screen.height()), asked);
}

TEST_F(Desktop, theMainWindowsFrameStandsWhereTheWindowIsPlaced) {
    MDIForm1* main = start();
    const QRect frame = main->frameGeometry();
    const QRect screen = screenRect();
    // The title bar is on the screen, where it can be taken and dragged,
    // and the frame's corner is where the scaled design puts the window.
    EXPECT_EQ(frame.topLeft(), screen.topLeft()) << rectText(frame);
    EXPECT_GE(main->geometry().top(), frame.top());
    EXPECT_TRUE(screen.contains(main->geometry().topLeft())) << rectText(main->geometry());
    if (underWindowManager()) {
        EXPECT_GT(main->geometry().top(), frame.top()) << "no title bar";
    }
}

TEST_F(Desktop, theMinimizeCommandAndRestoreLeaveTheWindowWhereItWas) {
    MDIForm1* main = start();
    const QRect frame = main->frameGeometry();
    const QRect client = main->geometry();
    for (int round = 1; round <= 5; ++round) {
        SCOPED_TRACE(round);
        main->minimizeCommand();
        settle(300,
               [&] { return !underWindowManager() || !main->isVisible() || main->isMinimized(); });
        main->showNormal();
        settleFrame(main);
        ASSERT_EQ(main->frameGeometry().topLeft(), frame.topLeft())
            << rectText(main->frameGeometry());
        ASSERT_EQ(main->geometry(), client) << rectText(main->geometry());
    }
}

TEST_F(Desktop, aMinimisedChildWindowGivesTheBoardBack) {
    MDIForm1* main = start();
    choose("menu_this_plan");
    ASSERT_FALSE(boardShown());
    Form* report = GameWindows::instance().openWindow("Form7");
    ASSERT_NE(report, nullptr);
    report->findChild<QAbstractButton*>("Command2")->click();
    settle(300);
    ASSERT_TRUE(report->subWindow()->isMinimized());
    EXPECT_TRUE(boardShown());
    // The board's own button is not under the icon.
    const auto* saveAs = main->picture1()->findChild<QAbstractButton*>("Command8");
    ASSERT_NE(saveAs, nullptr);
    const QPoint middle = saveAs->mapTo(main, saveAs->rect().center());
    EXPECT_EQ(main->childAt(middle), saveAs);
}

// Every button of the child window in sight can be reached: nothing, and no
// icon, lies over its middle.
void expectButtonsInReach(const MDIForm1& main, const QMdiSubWindow& shown) {
    for (QAbstractButton* button : shown.widget()->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&shown)) continue;
        const QPoint middle = button->mapTo(&main, button->rect().center());
        QWidget* top = main.childAt(middle);
        EXPECT_TRUE(top == button || button->isAncestorOf(top))
            << button->text().toStdString() << " under "
            << (top ? top->objectName().toStdString() : "nothing");
    }
}

TEST_F(Desktop, aMinimisedChildsIconNeverCoversAnotherWindowsButton) {
    MDIForm1* main = start();
    for (const char* other : {"menu_expop_past", "menu_pgval_past", "menu_expop_dur",
                              "menu_new_plan_decision", "menu_performance_sheet"}) {
        // The report minimised before the other window opens, and after.
        for (const bool reportFirst : {true, false}) {
            SCOPED_TRACE(std::string(other) + (reportFirst ? " after" : " before"));
            if (!reportFirst) choose(other);
            choose("menu_this_plan");
            Form* report = GameWindows::instance().openWindow("Form7");
            ASSERT_NE(report, nullptr);
            report->findChild<QAbstractButton*>("Command2")->click();
            settle(200);
            if (reportFirst) choose(other);
            ASSERT_TRUE(report->subWindow()->isMinimized());
            EXPECT_FALSE(boardShown());
            for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
                if (!sub->isMinimized()) expectButtonsInReach(*main, *sub);
            // Both go, for the next round to start alike.
            for (QMdiSubWindow* sub : main->mdiArea()->subWindowList()) sub->close();
            settle(100);
            EXPECT_TRUE(boardShown());
        }
    }
}

QString captionOf(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
    return {};
}

TEST_F(Desktop, theDecisionWindowsCaptionsStayWholeWhenItIsDraggedSmall) {
    MDIForm1* main = start();
    choose("menu_new_plan_decision");
    Form* decisions = GameWindows::instance().openWindow("Form4");
    ASSERT_NE(decisions, nullptr);
    QMdiSubWindow* sub = decisions->subWindow();
    const QSize placed = sub->size();
    // The main window may have shrunk it to fit already; no font goes below
    // the smaller of that and the legible size.
    std::map<QWidget*, double> placedPoints;
    for (QWidget* control : decisions->controls())
        if (control) placedPoints[control] = control->font().pointSizeF();
    for (const double part : {0.6, 0.3, 0.1}) {
        SCOPED_TRACE(part);
        // As a player drags its corner: the frame gets the size, the window
        // keeps what it must.
        sub->resize(static_cast<int>(placed.width() * part),
                    static_cast<int>(placed.height() * part));
        settle(100);
        EXPECT_LE(sub->width(), placed.width());
        for (QWidget* control : decisions->controls()) {
            if (!control || !control->isVisibleTo(decisions)) continue;
            const std::string name = control->objectName().toStdString();
            EXPECT_TRUE(textFits(control, control->font())) << name;
            if (!captionOf(control).trimmed().isEmpty()) {
                EXPECT_GE(control->font().pointSizeF(),
                          std::min(kLegiblePoints, placedPoints[control]) - 0.01)
                    << name;
            }
        }
        const auto* box = decisions->findChild<QGroupBox*>("Frame1");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(sub->geometry().contains(QRect(box->mapTo(sub, QPoint(0, 0)), box->size())));
    }
    (void)main;
}

TEST_F(Desktop, theArchiveBoxShowsTheCopysPathWhole) {
    const std::string path =
        "/home/student-with-a-long-name/Documents/management-course/"
        "quarter-games/archive/TESSARO_DB-2026-12-09-184512-archived.mdb";
    const std::string text =
        "The game played before the re-initialisation was kept in " + path + ".";
    auto box = messageBoxFor(nullptr, {text, "Archive For Tessaro", model::Icon::None});
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get(), 5000));
    settleFrame(box.get());
    EXPECT_TRUE(screenRect().contains(box->frameGeometry())) << rectText(box->frameGeometry());
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    // Nothing of the text is lost, and it can be selected.
    EXPECT_EQ(QString(label->text()).remove(QChar(0x200B)).remove(QChar(0x2060)).toStdString(),
              text);
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    // Laid out as the label lays it out, every line that ends inside the
    // path ends just after a separator.
    QTextLayout layout(label->text(), label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<int> ends;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        ends.push_back(line.textStart() + line.textLength());
    }
    layout.endLayout();
    ASSERT_GE(ends.size(), 2u) << "the path is long enough to need two lines";
    const int pathStart = static_cast<int>(label->text().indexOf(u'/'));
    const QString shown = label->text();
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        const int end = ends[i];
        if (end <= pathStart) continue;
        QString before = shown.left(end);
        while (before.endsWith(QChar(0x200B)) || before.endsWith(u' ')) before.chop(1);
        EXPECT_TRUE(before.endsWith(u'/')) << "a line ends in " << before.right(12).toStdString();
    }
}

}  // namespace
}  // namespace tessaro::ui
