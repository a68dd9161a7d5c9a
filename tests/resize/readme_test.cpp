// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The property table of the library's README is the control's own list of
// properties, written out: a change to the list that the README does not
// show fails here, with the table to put in its place.
#include <gtest/gtest.h>

#include <QFile>

#include "propertytable.h"

namespace {

TEST(Readme, showsThePropertyTableTheControlIsMadeFrom) {
    QFile file(QStringLiteral(MORVANE_README));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << MORVANE_README;
    const QString text = QString::fromUtf8(file.readAll());
    const QString begin = QStringLiteral("<!-- property table: begin -->\n");
    const QString end = QStringLiteral("<!-- property table: end -->");
    const qsizetype from = text.indexOf(begin);
    const qsizetype to = text.indexOf(end);
    ASSERT_GE(from, 0);
    ASSERT_GT(to, from);
    const QString shown = text.mid(from + begin.size(), to - from - begin.size());
    const QString made = MorvaneCtl::propertyTableMarkdown();
    EXPECT_EQ(shown, made) << "put this table between the markers in " MORVANE_README ":\n"
                           << made.toStdString();
    EXPECT_EQ(made.count(QLatin1Char('\n')), 2 + MorvaneCtl::PropertyCount);
}

}  // namespace
