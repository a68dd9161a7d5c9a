// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// A .ui file saved with the control on it, loaded at run time by QUiLoader
// through the plugin: the control comes back with its saved values, quietly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QUiLoader>
#include <memory>

#include "messageboxrecorder.h"
#include "morvane/morvane.h"

namespace {

std::unique_ptr<QWidget> loadForm(QUiLoader& loader, const QString& fileName) {
    QFile file(QStringLiteral(MORVANE_FORMS_DIR "/") + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << file.fileName().toStdString();
        return nullptr;
    }
    std::unique_ptr<QWidget> form(loader.load(&file));
    if (!form) ADD_FAILURE() << "QUiLoader: " << loader.errorString().toStdString();
    return form;
}

class UiLoaderWithPlugin : public ::testing::Test {
protected:
    void SetUp() override { m_loader.addPluginPath(QStringLiteral(MORVANE_PLUGIN_DIR)); }
    QUiLoader m_loader;
};

TEST_F(UiLoaderWithPlugin, knowsTheControlClass) {
    EXPECT_TRUE(m_loader.availableWidgets().contains(QStringLiteral("MorvaneCtl::Morvane")))
        << "plugin not found in " MORVANE_PLUGIN_DIR;
}

TEST_F(UiLoaderWithPlugin, savedPropertiesComeBackWithoutADialog) {
    MessageBoxRecorder boxes;
    std::unique_ptr<QWidget> form = loadForm(m_loader, QStringLiteral("saved.ui"));
    ASSERT_TRUE(form);
    auto* control = form->findChild<MorvaneCtl::Morvane*>(QStringLiteral("Morvane1"));
    ASSERT_NE(control, nullptr) << "QUiLoader made no Morvane (plugin not used?)";

    EXPECT_TRUE(control->UserMode());
    EXPECT_TRUE(control->receivedPersistedValues());
    // The confirmed properties take their saved values while loading.
    EXPECT_EQ(control->Resolution(), MorvaneCtl::Res_1280x1024);
    EXPECT_EQ(control->ScreenWidthDT(), 1280);
    EXPECT_EQ(control->ScreenHeightDT(), 1024);
    EXPECT_EQ(control->MaxFormWidth(), 15000);
    EXPECT_EQ(control->MinFormHeight(), -5) << "limits are stored unchecked";
    EXPECT_FALSE(control->ResizeFonts());
    EXPECT_TRUE(control->AutoCenterForm());
    EXPECT_TRUE(control->HideControlsOnResize());
    EXPECT_EQ(control->property("FormWidthDT").toInt(), 9000);
    EXPECT_EQ(control->property("FormHeightDT").toInt(), 6000);
    EXPECT_EQ(control->property("FormScaleWidthDT").toInt(), 9000);
    EXPECT_EQ(control->property("FormScaleHeightDT").toInt(), 6000);
    // Not in the file: the defaults.
    EXPECT_TRUE(control->AutoResizeControls());
    EXPECT_EQ(control->MaxFormHeight(), 0);
    EXPECT_FALSE(control->ResizeFormBackground());

    form->show();
    QApplication::processEvents();
    EXPECT_FALSE(control->isLoading());
    EXPECT_EQ(control->containerParent(), form.get());
    EXPECT_EQ(control->ScreenWidthDT(), 1280) << "loading ends without touching the design screen";
    EXPECT_TRUE(boxes.shown().isEmpty())
        << "dialog shown: " << boxes.shown().join(u'\n').toStdString();
}

}  // namespace
