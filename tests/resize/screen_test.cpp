// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control on a desktop of two screens: Qt's offscreen platform started
// with screens/twoscreens.json, a 1024 x 768 screen "Left" and a 1280 x 1024
// screen "Right" beside it. The control measures the screen its form is on,
// follows the form to the other screen, and keeps it on a screen that is
// still there when the other one is unplugged.
#include <gtest/gtest.h>
#include <morvane/morvane.h>
#include <qpa/qplatformnativeinterface.h>

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>
#include <QWindow>
#include <memory>

#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

QScreen* screenNamed(const QString& name) {
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == name) return s;
    return nullptr;
}

// Qt's offscreen platform takes a new configuration at run time: screens it
// no longer lists are removed, as when a monitor is unplugged.
void configureScreens(const QJsonArray& screens) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    using Set = void (*)(const QJsonObject&, QPlatformNativeInterface*);
    using Get = QJsonObject (*)(QPlatformNativeInterface*);
    auto set = reinterpret_cast<Set>(native->nativeResourceForIntegration("setConfiguration"));
    auto get = reinterpret_cast<Get>(native->nativeResourceForIntegration("configuration"));
    ASSERT_TRUE(set && get) << "the offscreen platform takes no configuration";
    QJsonObject configuration = get(native);
    configuration[QStringLiteral("screens")] = screens;
    set(configuration, native);
}

QJsonObject screen(const QString& name, int x, int width, int height) {
    return QJsonObject{{QStringLiteral("name"), name},
                       {QStringLiteral("x"), x},
                       {QStringLiteral("y"), 0},
                       {QStringLiteral("width"), width},
                       {QStringLiteral("height"), height},
                       {QStringLiteral("logicalDpi"), 96},
                       {QStringLiteral("logicalBaseDpi"), 96},
                       {QStringLiteral("dpr"), 1}};
}

class TwoScreens : public ::testing::Test {
protected:
    void SetUp() override {
        if (!screenNamed(QStringLiteral("Right")))
            GTEST_SKIP() << "not started on two screens (QT_QPA_PLATFORM=offscreen:configfile=...)";
        // small.ui: 200 x 100 pixels designed on 1024 x 768.
        form = loadForm(QStringLiteral("small.ui"));
        ASSERT_TRUE(form);
        form->setWindowFlag(Qt::FramelessWindowHint);
        control = resizerOf(form.get());
    }
    void TearDown() override {
        form.reset();
        configureScreens({screen(QStringLiteral("Left"), 0, 1024, 768),
                          screen(QStringLiteral("Right"), 1024, 1280, 1024)});
        settle();
    }

    std::unique_ptr<QWidget> form;
    Morvane* control = nullptr;
};

TEST_F(TwoScreens, aFormShownOnTheSecondScreenIsScaledToThatScreen) {
    form->move(1100, 50);
    showAndSettle(form.get());
    EXPECT_EQ(form->screen(), screenNamed(QStringLiteral("Right")));
    EXPECT_EQ(control->ScreenWidth(), 1280);
    EXPECT_EQ(control->ScreenHeight(), 1024);
    // 1280 / 1024 across, 1024 / 768 down: 200 x 100 becomes 250 x 133.
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(250, 133); }))
        << ::testing::PrintToString(form->size());
}

TEST_F(TwoScreens, centringCentresTheFormOnItsOwnScreen) {
    control->setAutoCenterForm(true);
    form->move(1100, 50);
    showAndSettle(form.get());
    const QRect right = screenNamed(QStringLiteral("Right"))->geometry();
    ASSERT_TRUE(waitFor([&] { return right.contains(form->frameGeometry()); }))
        << ::testing::PrintToString(form->frameGeometry());
    EXPECT_NEAR(form->frameGeometry().center().x(), right.center().x(), 2);
}

TEST_F(TwoScreens, aFormMovedToTheOtherScreenIsMeasuredThere) {
    form->move(100, 50);
    showAndSettle(form.get());
    ASSERT_EQ(control->ScreenWidth(), 1024);
    form->move(1200, 100);
    ASSERT_TRUE(waitFor([&] { return form->screen() == screenNamed(QStringLiteral("Right")); }));
    ASSERT_TRUE(waitFor([&] { return control->ScreenWidth() == 1280; })) << control->ScreenWidth();
    EXPECT_EQ(control->ScreenHeight(), 1024);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.25f);
    // Back on the first screen, the first screen again.
    form->move(100, 50);
    ASSERT_TRUE(waitFor([&] { return control->ScreenWidth() == 1024; })) << control->ScreenWidth();
}

TEST_F(TwoScreens, aFormOnAnUnpluggedScreenComesBackOntoTheOneLeft) {
    form->move(1900, 800);
    showAndSettle(form.get());
    ASSERT_EQ(form->screen(), screenNamed(QStringLiteral("Right")));
    configureScreens({screen(QStringLiteral("Left"), 0, 1024, 768)});
    ASSERT_TRUE(waitFor([] { return QGuiApplication::screens().size() == 1; }));
    const QRect left = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_TRUE(waitFor([&] { return left.intersects(form->frameGeometry()); }))
        << ::testing::PrintToString(form->frameGeometry());
    EXPECT_TRUE(left.contains(form->frameGeometry().topLeft()));
    EXPECT_TRUE(waitFor([&] { return control->ScreenWidth() == 1024; })) << control->ScreenWidth();
    EXPECT_TRUE(form->isVisible());
}

}  // namespace
