// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The report windows as a screen reader announces them: every caption by its
// own text, the plan-quarter number by its number.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QGroupBox>
#include <QLabel>

#include "childwindowtest.h"

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

TEST_F(ReadOutWindow, planReportAndPerformanceSheetAnnounceTheirHeadingsByTheirText) {
    expectCaptionsReadAsShown("Form7");
    GameWindows::instance().stop();
    flushDeletes();
    expectCaptionsReadAsShown("Form8");
}

}  // namespace
}  // namespace tessaro::ui
