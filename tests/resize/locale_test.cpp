// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// What the control reads and writes as text, under the locales a player's
// desktop may put the C library in (QApplication takes it from the
// environment): a decimal comma (de_DE) and the dotted and dotless i
// (tr_TR). Everything must come out as under the C locale.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <clocale>

#include "geometrytext.h"
#include "propertybag.h"
#include "propertytable.h"
#include "resizefunctions.h"
#include "resizetest.h"
#include "testlocale.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

const QString App = QStringLiteral("MorvaneLocaleTests");

class UnderLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(UnderLocale, geometryTextIsWrittenAndReadAsInTheCLocale) {
    struct Row {
        float left, top, width, height;
        int state;
    };
    const Row rows[] = {{1200, 900, 9600, 7200, 0},
                        {-15.5f, 0.25f, 9600.5f, 2000.0f / 3.0f, 2},
                        {12345678, -12345678, 1e-3f, 1, 1}};
    std::vector<QString> texts;
    for (const Row& r : rows)
        texts.push_back(geometryText(r.left, r.top, r.width, r.height, r.state));
    EXPECT_EQ(texts[0], QStringLiteral("1200,900,9600,7200,0"));
    EXPECT_EQ(texts[1], QStringLiteral("-15.5,0.25,9600.5,666.6667,2"));
    EXPECT_EQ(texts[2], QStringLiteral("1.234568E+07,-1.234568E+07,0.001,1,1"));

    testlocale::Scoped locale(GetParam());
    ASSERT_TRUE(locale.active()) << locale.why();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        EXPECT_EQ(geometryText(r.left, r.top, r.width, r.height, r.state), texts[i]);
        const GeometryFields f = parseGeometryText(texts[i]);
        EXPECT_EQ(f.fieldCount, 5);
        ASSERT_TRUE(f.left && f.top && f.width && f.height && f.state) << texts[i].toStdString();
        EXPECT_EQ(*f.state, r.state);
    }
    const GeometryFields f = parseGeometryText(texts[1]);
    EXPECT_EQ(f.left, -15.5f);
    EXPECT_EQ(f.top, 0.25f);
    EXPECT_EQ(f.width, 9600.5f);
    EXPECT_EQ(f.height, 666.6667f);
    // A decimal comma is no number here: it separates fields.
    EXPECT_EQ(parseGeometryText(QStringLiteral("484,3636,1,0,0")).fieldCount, 5);
    EXPECT_FALSE(parseGeometryText(QStringLiteral("1200;5,900,9600,7200,0")).left.has_value());
}

TEST_P(UnderLocale, aFormSavedAndRestoredComesBackAsUnderTheCLocale) {
    // 100 dots per inch: 14.4 twips per pixel, so most places are fractions.
    ScreenStandIn screen(1024, 768);
    setScreenOverride(ScreenMetrics::ofPixels(1024, 768, 14.4));
    PrivateSettings settings;
    auto form = loadForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    form->setWindowFlag(Qt::FramelessWindowHint);
    Morvane* ctl = resizerOf(form.get());
    showAndSettle(form.get());
    const QRect saved(91, 61, 201, 101);
    form->setGeometry(saved);
    ASSERT_TRUE(waitFor([&] { return form->geometry() == saved; }));
    settle();
    // The text as the C locale writes it: 91 * 14.4 = 1310.4, and so on.
    const QString text =
        geometryText(float(91 * 14.4), float(61 * 14.4), float(201 * 14.4), float(101 * 14.4), 0);
    ASSERT_EQ(text, QStringLiteral("1310.4,878.4,2894.4,1454.4,0"));

    testlocale::Scoped locale(GetParam());
    ASSERT_TRUE(locale.active()) << locale.why();
    ctl->SaveForm(form.get(), true, App);
    EXPECT_EQ(PrivateSettings::lastSavedState(App, form->objectName()), text);

    form->setGeometry(100, 80, 300, 150);
    ASSERT_TRUE(waitFor([&] { return form->geometry() == QRect(100, 80, 300, 150); }));
    settle();
    ctl->RestoreForm(form.get(), true, App);
    EXPECT_TRUE(waitFor([&] { return form->geometry() == saved; }))
        << ::testing::PrintToString(form->geometry());
}

TEST_P(UnderLocale, propertyBagTextsReadAsInTheCLocale) {
    testlocale::Scoped locale(GetParam());
    ASSERT_TRUE(locale.active()) << locale.why();
    ScreenStandIn screen(1024, 768);
    QWidget form;
    auto* ctl = new Morvane(&form);
    PropertyBag bag;
    // Numbers with a point, switches in any case (TRUE, with an I under tr_TR).
    bag.setValue(QStringLiteral("MaxFormWidth"), QStringLiteral("6000.5"));
    bag.setValue(QStringLiteral("MinFormWidth"), QStringLiteral(" -1500 "));
    bag.setValue(QStringLiteral("AutoCenterForm"), QStringLiteral("TRUE"));
    bag.setValue(QStringLiteral("ResizeFonts"), QStringLiteral("False"));
    bag.setValue(QStringLiteral("HideControlsOnResize"), QStringLiteral("tRuE"));
    EXPECT_TRUE(MorvaneCtl::ReadProperties(*ctl, bag));
    EXPECT_EQ(ctl->MaxFormWidth(), 6000);
    EXPECT_EQ(ctl->MinFormWidth(), -1500);
    EXPECT_TRUE(ctl->AutoCenterForm());
    EXPECT_FALSE(ctl->ResizeFonts());
    EXPECT_TRUE(ctl->HideControlsOnResize());

    // "6000,5" is no number in any locale: refused as a whole.
    PropertyBag comma;
    comma.setValue(QStringLiteral("MaxFormWidth"), QStringLiteral("6000,5"));
    EXPECT_FALSE(MorvaneCtl::ReadProperties(*ctl, comma));
    EXPECT_EQ(ctl->MaxFormWidth(), 6000);
}

INSTANTIATE_TEST_SUITE_P(Locales, UnderLocale, ::testing::ValuesIn(testlocale::kOtherLocales),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
