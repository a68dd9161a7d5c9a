// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The windows as a screen reader announces them: every caption and button by
// its own text, every chart by its title and what it shows, the plan-quarter
// number by its number; and the decision window worked with the keys alone.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "childwindowtest.h"
#include "ui/components/mschart.h"
#include "ui/windows/form4.h"
#include "ui/windows/plotform.h"

namespace tessaro::ui {
namespace {

class ReadOutWindow : public ChildWindowTest {
protected:
    static QString nameOf(QWidget* w) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        return face ? face->text(QAccessible::Name) : QString("<none>");
    }

    void expectCaptionsReadAsShown(const char* window) {
        SCOPED_TRACE(window);
        Form* form = open<Form>(window);
        ASSERT_TRUE(form);
        int captions = 0;
        for (QLabel* label : form->findChildren<QLabel*>()) {
            const QString text = label->text().trimmed();
            if (text.isEmpty()) continue;
            ++captions;
            EXPECT_NE(nameOf(label), "Colour band") << label->objectName().toStdString();
            EXPECT_EQ(nameOf(label).trimmed(), text) << label->objectName().toStdString();
        }
        EXPECT_GE(captions, 2);
        auto* number = form->findChild<QLabel*>("Label2");
        ASSERT_TRUE(number);
        EXPECT_FALSE(number->text().trimmed().isEmpty());
        EXPECT_EQ(nameOf(number).trimmed(), number->text().trimmed());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(number);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->text(QAccessible::Description), "Plan-quarter number");
    }
};

// Names a reader would announce for a control that shows no text.
bool isPlaceholder(const QString& name) {
    return name == "Colour band" || name == "Decoration";
}

QString shown(const QString& text) {
    return QString(text).remove(u'&').simplified();
}

QString accessibleText(QWidget* w, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(which) : QString();
}

// Every caption and button announced by its text (or by a name of its own
// where the window gives one, as for the value labels), every chart by a
// title and a description. Qt's own helpers (qt_...) are left out.
void expectEveryControlNamed(QWidget* window, int leastCaptions) {
    // A reader asks once the window is up, after the charts' deferred rebuild.
    QApplication::processEvents();
    int captions = 0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (shown(label->text()).isEmpty()) continue;
        ++captions;
        const QString name = accessibleText(label, QAccessible::Name);
        SCOPED_TRACE(label->objectName().toStdString() + " '" + label->text().toStdString() + "'");
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_FALSE(isPlaceholder(name));
        if (label->accessibleName().isEmpty()) {
            EXPECT_EQ(shown(name), shown(label->text()));
        }
    }
    EXPECT_GE(captions, leastCaptions);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->objectName().startsWith("qt_")) continue;
        const QString name = accessibleText(button, QAccessible::Name);
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_FALSE(isPlaceholder(name));
        if (!shown(button->text()).isEmpty() && button->accessibleName().isEmpty()) {
            EXPECT_EQ(shown(name), shown(button->text()));
        }
    }
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
        if (box->title().isEmpty()) continue;
        EXPECT_EQ(shown(accessibleText(box, QAccessible::Name)), shown(box->title()));
    }
    for (MSChart* chart : window->findChildren<MSChart*>()) {
        SCOPED_TRACE(chart->objectName().toStdString());
        const QString name = accessibleText(chart, QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_FALSE(isPlaceholder(name));
        EXPECT_FALSE(accessibleText(chart, QAccessible::Description).trimmed().isEmpty());
    }
}

TEST_F(ReadOutWindow, mainAndDecisionWindowsNameEveryCaptionButtonAndChart) {
    ASSERT_EQ(testing::press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    Form* decisions = open<Form>("Form4");
    ASSERT_TRUE(decisions);
    MDIForm1* main = GameWindows::instance().mainWindow();
    ASSERT_TRUE(main);
    {
        SCOPED_TRACE("main window");
        expectEveryControlNamed(main, 20);
        EXPECT_EQ(main->findChildren<MSChart*>().size(), 1);
    }
    {
        SCOPED_TRACE("decision window");
        expectEveryControlNamed(decisions, 6);
        for (auto* box : decisions->findChildren<QLineEdit*>()) {
            EXPECT_FALSE(accessibleText(box, QAccessible::Name).isEmpty())
                << box->objectName().toStdString();
        }
    }
}

TEST_F(ReadOutWindow, plotWindowsNameTheirChartAndButtons) {
    ASSERT_EQ(testing::press(cs, "3000", "10", "WOTA"), model::RunOutcome::PlanRun);
    GameWindows::instance().start(cs);
    MDIForm1* main = GameWindows::instance().mainWindow();
    ASSERT_TRUE(main);
    for (const char* item : {"menu_expop_dur", "menu_expop_past", "menu_pgval_past"}) {
        SCOPED_TRACE(item);
        auto* action = main->findChild<QAction*>(item);
        ASSERT_TRUE(action);
        const QList<PlotForm*> before = main->findChildren<PlotForm*>();
        action->trigger();
        PlotForm* plot = nullptr;
        for (PlotForm* form : main->findChildren<PlotForm*>())
            if (!before.contains(form)) plot = form;
        ASSERT_TRUE(plot);
        ASSERT_EQ(plot->findChildren<MSChart*>().size(), 1);
        expectEveryControlNamed(plot, 0);
        // The chart's description carries the plotted values, not a fixed text.
        EXPECT_NE(accessibleText(plot->chart(), QAccessible::Description),
                  accessibleText(plot->chart(), QAccessible::Name));
    }
}

// Tab goes round the decision window's inputs and buttons in the window's
// order, and reaches every control that takes the focus.
TEST_F(ReadOutWindow, decisionWindowIsWorkedInItsTabOrderWithTheKeysAlone) {
    auto* decisions = open<Form4>("Form4");
    ASSERT_TRUE(decisions);
    MDIForm1* main = GameWindows::instance().mainWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    const std::vector<QWidget*> order = {
        decisions->box(model::Box::Production), decisions->box(model::Box::Hiring),
        decisions->findChild<QPushButton*>("Command1"), decisions->box(model::Box::Password),
        decisions->findChild<QPushButton*>("Command2")};
    for (QWidget* w : order) ASSERT_TRUE(w);
    order.front()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), order.front());
    for (std::size_t step = 1; step <= order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), order[step % order.size()])
            << "after Tab " << step << ": "
            << (QApplication::focusWidget()
                    ? QApplication::focusWidget()->objectName().toStdString()
                    : "nothing");
    }
    // Shift+Tab walks back the same way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), order.back());
    // No control that takes the focus is left out of the round.
    for (QWidget* w : decisions->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(decisions) || !w->isEnabled())
            continue;
        EXPECT_NE(std::find(order.begin(), order.end(), w), order.end())
            << w->objectName().toStdString() << " takes the focus out of the window's order";
    }
}

TEST_F(ReadOutWindow, planReportAndPerformanceSheetAnnounceTheirHeadingsByTheirText) {
    expectCaptionsReadAsShown("Form7");
    GameWindows::instance().stop();
    flushDeletes();
    expectCaptionsReadAsShown("Form8");
}

}  // namespace
}  // namespace tessaro::ui
