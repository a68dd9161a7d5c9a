// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The child windows as players meet them: one window of a kind, the board
// and the windows taking turns, icons that stay in sight and restore, and a
// layout that follows the window after it was minimised.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "ui/components/mschart.h"
#include "ui/windows/form7.h"
#include "ui/windows/plotform.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

class ChildWindows : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        testing::press(cs, "3000", "10", "WOTA");
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void choose(const char* item) {
        find<QAction>(GameWindows::instance().mainWindow(), item)->trigger();
        settle();
    }
    QList<QMdiSubWindow*> windows() const {
        return GameWindows::instance().mainWindow()->mdiArea()->subWindowList();
    }
    int windowsNamed(const char* name) const {
        int n = 0;
        for (QMdiSubWindow* sub : windows()) n += sub->widget()->objectName() == name;
        return n;
    }
    bool boardShown() const {
        const MDIForm1* main = GameWindows::instance().mainWindow();
        return main->picture1()->isVisibleTo(main);
    }
    static QRect rectIn(const QWidget* w, const QWidget* ancestor) {
        return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
    }
};

TEST_F(ChildWindows, aWindowOpenedAgainIsTheOneWindowOfItsKindLoadedAfresh) {
    start();
    choose("menu_oblog_dur");
    QPointer<Form> first = GameWindows::instance().openWindow("Form1");
    ASSERT_FALSE(first.isNull());
    choose("menu_pqlty_dur");
    EXPECT_TRUE(first.isNull());
    ASSERT_EQ(windows().size(), 1);
    auto* plot = qobject_cast<PlotForm*>(windows().front()->widget());
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->chart()->axisTitle(Axis::Y), "PRODUCT QUALITY");
    // It is the window in sight: the board stays out of the way.
    EXPECT_FALSE(boardShown());
    EXPECT_EQ(GameWindows::instance().mainWindow()->mdiArea()->activeSubWindow(),
              plot->subWindow());

    // Every kind, each opened twice, among the others.
    const std::pair<const char*, const char*> twice[] = {
        {"menu_new_plan_decision", "menu_new_plan_decision"},
        {"menu_expop_past", "menu_prdec_past"},
        {"menu_pgval_past", "menu_agval_past"},
        {"menu_this_plan", "menu_this_plan"},
        {"menu_performance_sheet", "menu_performance_sheet"},
        {"menu_trpop_dur", "menu_ccmpl_dur"}};
    for (const auto& [a, b] : twice) {
        choose(a);
        choose(b);
        EXPECT_FALSE(boardShown()) << b;
    }
    for (const char* name : {"Form1", "Form2", "Form3", "Form4", "Form7", "Form8"})
        EXPECT_EQ(windowsNamed(name), 1) << name;
    EXPECT_EQ(windows().size(), 6);
    EXPECT_EQ(qobject_cast<PlotForm*>(GameWindows::instance().openWindow("Form2"))
                  ->chart()
                  ->axisTitle(Axis::Y),
              "PRODUCTION DECISION");
    EXPECT_EQ(qobject_cast<PlotForm*>(GameWindows::instance().openWindow("Form3"))
                  ->chart()
                  ->axisTitle(Axis::Y),
              "AVERAGE GAME VALUE");
    EXPECT_EQ(
        GameWindows::instance().mainWindow()->mdiArea()->activeSubWindow()->widget()->objectName(),
        "Form1");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChildWindows, theBoardComesBackOnlyWhenNoChildWindowIsLeftInSight) {
    start();
    choose("menu_new_plan_decision");
    choose("menu_expop_past");
    ASSERT_EQ(windows().size(), 2);
    // The decision window lost the focus to a window in sight.
    EXPECT_FALSE(boardShown());
    GameWindows::instance().openWindow("Form2")->closeShowingBoard();
    settle();
    EXPECT_FALSE(boardShown());
    ASSERT_EQ(windows().size(), 1);
    windows().front()->close();
    settle();
    EXPECT_TRUE(boardShown());
}

TEST_F(ChildWindows, theChildWindowsAreaLiesInsideTheMainWindowFromItsFirstShow) {
    for (const ScreenSpec screen : {ScreenSpec{800, 600, 96, 96}, ScreenSpec{1024, 768, 96, 96},
                                    ScreenSpec{1920, 1080, 96, 96}}) {
        SCOPED_TRACE(screen.widthPx);
        setScreenOverride(screen);
        MDIForm1* main = start();
        const QRect client = main->centralWidget()->geometry();
        EXPECT_EQ(client.bottom(), main->rect().bottom());
        EXPECT_EQ(client.top(), main->menuWidget()->geometry().bottom() + 1);
        const QRect area = rectIn(main->mdiArea(), main);
        EXPECT_TRUE(main->rect().contains(area));
        EXPECT_EQ(area.bottom(), main->rect().bottom());
        // With the board hidden it is the whole client area.
        choose("menu_performance_sheet");
        EXPECT_EQ(rectIn(main->mdiArea(), main), client);
        GameWindows::instance().stop();
        settle();
    }
}

TEST_F(ChildWindows, aMinimisedWindowsIconStaysInSightAndRestores) {
    MDIForm1* main = start();
    choose("menu_this_plan");
    Form* report = GameWindows::instance().openWindow("Form7");
    QMdiSubWindow* icon = report->subWindow();
    find<QPushButton>(report, "Command2")->click();
    settle();
    ASSERT_TRUE(icon->isMinimized());
    const auto inSight = [&] {
        const QRect at = rectIn(icon, main);
        // On the window, and nothing lies over its middle.
        QWidget* top = main->childAt(at.center());
        return main->rect().contains(at) && (top == icon || icon->isAncestorOf(top));
    };
    EXPECT_TRUE(inSight());

    // Another window comes and goes: the board is back, the icon still in
    // sight over the board's foot.
    choose("menu_expop_past");
    GameWindows::instance().openWindow("Form2")->closeShowingBoard();
    settle();
    EXPECT_TRUE(boardShown());
    EXPECT_TRUE(inSight());

    // Restored, it is in sight again and the board makes way.
    icon->showNormal();
    settle();
    EXPECT_FALSE(boardShown());
    EXPECT_TRUE(main->mdiArea()->viewport()->rect().contains(icon->geometry()));
    EXPECT_TRUE(report->isVisible());
}

TEST_F(ChildWindows, theFirstResizeAfterMinimiseAndRestoreScalesTheLayout) {
    start();
    choose("menu_this_plan");
    Form* report = GameWindows::instance().openWindow("Form7");
    QMdiSubWindow* sub = report->subWindow();
    find<QPushButton>(report, "Command2")->click();
    settle();
    sub->showNormal();
    settle();
    const QRectF before = controlTwips(find<QWidget>(report, "Label1"));
    const QSize frame = sub->size() - report->size();
    sub->resize(report->width() * 4 / 5 + frame.width(), report->height() * 4 / 5 + frame.height());
    settle();
    const QRectF after = controlTwips(find<QWidget>(report, "Label1"));
    EXPECT_NEAR(after.width(), before.width() * 0.8, 30);
    EXPECT_NEAR(after.left(), before.left() * 0.8, 30);
    EXPECT_NEAR(after.height(), before.height() * 0.8, 30);
}

TEST_F(ChildWindows, theMainWindowsMinimizeLeavesTheLayoutFollowingTheWindow) {
    MDIForm1* main = start();
    const QRectF before = controlTwips(find<QWidget>(main, "MSChart1"));
    main->minimizeCommand();
    settle();
    main->showNormal();
    settle();
    main->resize(main->width() * 9 / 10, main->height());
    settle();
    EXPECT_NEAR(controlTwips(find<QWidget>(main, "MSChart1")).width(), before.width() * 0.9, 30);
}

}  // namespace
}  // namespace tessaro::ui
