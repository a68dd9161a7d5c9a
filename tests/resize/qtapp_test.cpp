// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control in applications written the ordinary Qt way: main windows
// built in code with layouts, calls from slots, widgets added at run time
// and widgets that Qt layouts place.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

// A main window as Qt developers write one: a menu, a central widget and
// its controls in a layout, no size of its own unless asked for.
std::unique_ptr<QMainWindow> mainWindow(const QString& name, bool withControl) {
    auto window = std::make_unique<QMainWindow>();
    window->setObjectName(uniqueFormName(name));
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->menuBar()->addMenu(QStringLiteral("&File"));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(new QLabel(QStringLiteral("Customer")));
    layout->addWidget(new QLineEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(QStringLiteral("OK")));
    buttons->addWidget(new QPushButton(QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    window->setCentralWidget(central);
    if (withControl) {
        auto* control = new Morvane(window.get());
        // What the control's documentation asked a form built in code to do.
        control->CaptureDesignSize();
    }
    return window;
}

TEST(MainWindowBuiltInCode, keepsTheSizeQtGivesItOnLoad) {
    auto plain = mainWindow(QStringLiteral("Plain"), false);
    showAndSettle(plain.get());
    auto withControl = mainWindow(QStringLiteral("WithControl"), true);
    showAndSettle(withControl.get());
    settle(60);
    EXPECT_EQ(withControl->size(), plain->size());
    Morvane* control = resizerOf(withControl.get());
    // Its design is the window as first shown, on this screen.
    EXPECT_EQ(control->property("FormWidthDT").toInt(), plain->width() * TwipsPerPixel);
    EXPECT_EQ(control->property("FormScaleHeightDT").toInt(),
              plain->centralWidget()->height() * TwipsPerPixel);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.0f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.0f);
}

TEST(MainWindowBuiltInCode, keepsASizeGivenBeforeItIsShown) {
    auto window = mainWindow(QStringLiteral("Sized"), true);
    window->resize(700, 450);
    showAndSettle(window.get());
    settle(60);
    EXPECT_EQ(window->size(), QSize(700, 450));
    // Its first resize after load laid it out: it is registered.
    EXPECT_GE(ResizeFunctions::FindFormRecord(window.get()), 0);
}

TEST(ErrorsInSlots, saveFormOnAChildLeavesTheApplicationRunningAndReportsTheError) {
    auto form = loadForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    showAndSettle(form.get());
    Morvane* control = resizerOf(form.get());
    auto* button = form->findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    QSignalSpy errors(control, &Morvane::errorOccurred);
    LogRecorder log;
    bool saved = true;
    // A slot run by Qt's event loop, as a button's click runs it.
    QObject::connect(button, &QPushButton::clicked, control,
                     [&] { saved = control->SaveForm(button, true, QStringLiteral("App")); });
    QTimer::singleShot(0, button, &QPushButton::click);
    ASSERT_TRUE(waitFor([&] { return errors.count() == 1; }));
    EXPECT_FALSE(saved);
    EXPECT_EQ(errors.at(0).at(0).toInt(), TypeMismatch);
    EXPECT_EQ(errors.at(0).at(1).toString(), QStringLiteral("Type mismatch"));
    ASSERT_EQ(log.warnings.size(), 1);
    EXPECT_TRUE(log.warnings.first().contains(QStringLiteral("Morvane error 13: Type mismatch")))
        << log.warnings.first().toStdString();
    EXPECT_TRUE(form->isVisible());
}

// small.ui: 200 x 100 pixels as designed, laid out at 300 x 150 (150 %).
class AddedLater : public ::testing::Test {
protected:
    void SetUp() override {
        form = loadForm(QStringLiteral("small.ui"));
        ASSERT_TRUE(form);
        form->setWindowFlag(Qt::FramelessWindowHint);
        showAndSettle(form.get());
        ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
        form->resize(300, 150);
        settle();
        control = resizerOf(form.get());
    }
    QPushButton* addButton(const QString& name, const QRect& where) {
        auto* button = new QPushButton(QStringLiteral("Added"), form.get());
        button->setObjectName(name);
        button->setGeometry(where);
        button->show();
        return button;
    }

    ScreenStandIn screen{1024, 768};
    std::unique_ptr<QWidget> form;
    Morvane* control = nullptr;
};

TEST_F(AddedLater, aWidgetAddedAfterLoadStaysWhereItWasPut) {
    QPushButton* named = addButton(QStringLiteral("AddedButton"), QRect(30, 90, 60, 30));
    QPushButton* unnamed = addButton(QString(), QRect(150, 90, 45, 30));
    ASSERT_TRUE(control->ResizeControls());
    EXPECT_EQ(named->geometry(), QRect(30, 90, 60, 30));
    EXPECT_EQ(unnamed->geometry(), QRect(150, 90, 45, 30));
    // From then on it scales with the form: back at the design size it is
    // two thirds of what it was put at.
    form->resize(200, 100);
    settle();
    EXPECT_EQ(named->geometry(), QRect(20, 60, 40, 20));
    EXPECT_EQ(unnamed->geometry(), QRect(100, 60, 30, 20));
}

TEST_F(AddedLater, resetRecordsAWidgetAtTheFormsScaleToo) {
    QPushButton* button = addButton(QStringLiteral("ResetButton"), QRect(60, 30, 90, 45));
    control->Reset();
    form->resize(200, 100);
    settle();
    EXPECT_EQ(button->geometry(), QRect(40, 20, 60, 30));
}

TEST(LaidOutWidgets, keepTheirLayoutsPlacesAndTheirFontsFollowTheForm) {
    ScreenStandIn screen(1024, 768);
    QWidget form;
    form.setObjectName(uniqueFormName(QStringLiteral("Mixed")));
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.resize(400, 300);
    auto* title = new QLabel(QStringLiteral("Orders"), &form);
    title->setObjectName(QStringLiteral("Title"));
    title->setGeometry(20, 10, 200, 30);
    auto* box = new QGroupBox(QStringLiteral("Customer"), &form);
    box->setObjectName(QStringLiteral("Box"));
    box->setGeometry(20, 50, 300, 200);
    auto* outer = new QVBoxLayout(box);
    auto* name = new QLineEdit(box);
    name->setObjectName(QStringLiteral("NameEdit"));
    outer->addWidget(name);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), box);
    ok->setObjectName(QStringLiteral("OkButton"));
    QFont own = ok->font();
    own.setPointSizeF(10);
    ok->setFont(own);
    row->addWidget(ok);
    outer->addLayout(row);
    auto* control = new Morvane(&form);
    showAndSettle(&form);

    // The engine places the absolute controls only, not what a layout
    // places, in its own items or in nested ones.
    const QList<QWidget*> controls = ResizeFunctions::formControls(&form);
    EXPECT_TRUE(controls.contains(title));
    EXPECT_TRUE(controls.contains(box));
    EXPECT_FALSE(controls.contains(name));
    EXPECT_FALSE(controls.contains(ok)) << "a widget of a nested layout was taken for a control";

    form.resize(600, 450);  // 150 % both ways
    settle();
    EXPECT_EQ(box->geometry(), QRect(30, 75, 450, 300));
    EXPECT_DOUBLE_EQ(ok->font().pointSizeF(), 15.0);
    // Its layout placed it inside the grown box.
    EXPECT_TRUE(box->rect().contains(ok->geometry())) << ::testing::PrintToString(ok->geometry());
    EXPECT_GT(name->width(), 400);
    EXPECT_TRUE(control->ResizeFonts());
}

}  // namespace
