// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What the plan report and the performance sheet share, checked on both:
// the same top strip, headings that readers hear by their captions, and a
// load that stops at a missing table with its headings already in place.
#include <QAccessible>
#include <QPushButton>

#include "childwindowtest.h"
#include "ui/look/palette.h"
#include "ui/windows/form7.h"
#include "ui/windows/form8.h"

namespace tessaro::ui {
namespace {

struct Report {
    const char* name;
    const char* caption;
    const char* heading;
    const char* band;
};
const Report kReports[] = {
    {"Form7", "This Plan Report", "Plan Report For Plan Quarter Number  :", "Label4"},
    {"Form8", "Performance Sheet", "Performance Sheet For Plan Quarter Number  :", "Label3"},
};

QString readerName(QWidget* w) {
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(w);
    return reader ? reader->text(QAccessible::Name) : QString("<none>");
}

class ReportWindows : public ChildWindowTest {};

TEST_F(ReportWindows, bothShowTheirCaptionHeadingAndNumberInTheSameStrip) {
    for (const Report& r : kReports) {
        SCOPED_TRACE(r.name);
        auto* form = open<ReportForm>(r.name);
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(form->windowTitle(), r.caption);
        auto* heading = form->findChild<QLabel*>("Label1");
        auto* number = form->findChild<QLabel*>("Label2");
        auto* band = form->findChild<QLabel*>(r.band);
        ASSERT_TRUE(heading && number && band);
        EXPECT_EQ(heading->text(), r.heading);
        EXPECT_FALSE(number->text().isEmpty());
        // The number stands right after the heading, the band across the top.
        EXPECT_EQ(number->x(), heading->x() + heading->width());
        EXPECT_EQ(band->palette().color(QPalette::Window), kHeadingBack);
        EXPECT_EQ(heading->palette().color(QPalette::WindowText), kHeadingText);
        EXPECT_EQ(form->palette().color(QPalette::Window), kChildWindowBack);
        // Minimize, then Close, on the right of the same strip.
        auto* minimize = form->findChild<QPushButton*>("Command2");
        auto* close = form->findChild<QPushButton*>("Command1");
        ASSERT_TRUE(minimize && close);
        EXPECT_EQ(minimize->y(), close->y());
        EXPECT_LT(minimize->x(), close->x());
        EXPECT_EQ(minimize->nextInFocusChain(), close);
        GameWindows::instance().stop();
        flushDeletes();
    }
}

TEST_F(ReportWindows, readersHearTheHeadingsByTheirCaptionsAndOnlyTheBandAsABand) {
    for (const Report& r : kReports) {
        SCOPED_TRACE(r.name);
        auto* form = open<ReportForm>(r.name);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(readerName(form->findChild<QLabel*>("Label1")), r.heading);
        EXPECT_EQ(readerName(form->findChild<QLabel*>(r.band)), "Colour band");
        // The number is read out as the number shown; what it is, as its description.
        auto* number = form->findChild<QLabel*>("Label2");
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(readerName(number).trimmed(), number->text().trimmed());
        EXPECT_FALSE(number->text().trimmed().isEmpty());
        EXPECT_EQ(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Description),
                  "Plan-quarter number");
        if (auto* form7 = qobject_cast<Form7*>(form)) {
            EXPECT_EQ(readerName(form7->findChild<QLabel*>("Label3")), "Your Decision Vs Actual");
        }
        GameWindows::instance().stop();
        flushDeletes();
    }
}

TEST_F(ReportWindows, withoutAccountingRowsBothStopAfterTheirHeadings) {
    testing::sql(cs, "DELETE FROM PLDI");
    for (const Report& r : kReports) {
        SCOPED_TRACE(r.name);
        auto* form = open<ReportForm>(r.name);
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].icon, model::Icon::Critical);
        EXPECT_EQ(form->windowTitle(), r.caption);
        EXPECT_EQ(form->findChild<QLabel*>("Label1")->text(), r.heading);
        for (MSFlexGrid* grid : form->findChildren<MSFlexGrid*>())
            EXPECT_EQ(grid->textMatrix(0, 0), "") << grid->objectName().toStdString();
        GameWindows::instance().stop();
        flushDeletes();
    }
}

}  // namespace
}  // namespace tessaro::ui
