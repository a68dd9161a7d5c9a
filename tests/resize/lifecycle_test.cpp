// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control's life on a form as a Qt developer writes it: values handed
// over in a form's constructor the way uic does and the developer's own
// calls beside them, a control added to a form already on the screen, and
// what ResizeControls says on an MDI frame.
//
// Forms are frameless, every stand-in screen has 15 twips per pixel.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>

#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

// A form whose constructor does what uic's setupUi() does for a form that
// Designer saved (the control created, its saved values set through Qt's
// property system), followed by calls of the developer's own.
class OrderForm : public QWidget {
public:
    explicit OrderForm(MessageBoxRecorder& boxes) {
        setObjectName(uniqueFormName(QStringLiteral("OrderForm")));
        setWindowFlag(Qt::FramelessWindowHint);
        resize(200, 100);
        move(90, 60);
        button = new QPushButton(QStringLiteral("OK"), this);
        button->setObjectName(QStringLiteral("Command1"));
        button->setGeometry(20, 10, 40, 20);
        resizer = new Morvane(this);
        resizer->setObjectName(QStringLiteral("Morvane1"));
        resizer->setProperty("Resolution", QVariant::fromValue(Res_1280x1024));
        resizer->setProperty("ScreenWidthDT", QVariant(1280));
        resizer->setProperty("ScreenHeightDT", QVariant(1024));
        for (const char* name : {"FormWidthDT", "FormScaleWidthDT"})
            resizer->setProperty(name, 3000);
        for (const char* name : {"FormHeightDT", "FormScaleHeightDT"})
            resizer->setProperty(name, 1500);
        boxesAfterSetup = boxes.calls.size();

        // The developer's code.
        connect(resizer, &Morvane::errorOccurred, this, [this](int code) { refusedWith = code; });
        resizer->setScreenWidth(1600);
        resizer->setScreenHeightDT(1200);
        boxesAfterOwnCode = boxes.calls.size();
        loadingInConstructor = resizer->isLoading();
    }

    QPushButton* button = nullptr;
    Morvane* resizer = nullptr;
    size_t boxesAfterSetup = 0, boxesAfterOwnCode = 0;
    int refusedWith = 0;
    bool loadingInConstructor = false;
};

TEST(FormConstructor, takesTheSavedValuesQuietlyAndHoldsTheDevelopersCallsToTheRules) {
    ScreenStandIn screen(1024, 768);
    MessageBoxRecorder boxes(QMessageBox::No);
    OrderForm form(boxes);

    EXPECT_EQ(form.boxesAfterSetup, 0u) << "the saved values are taken without a question";
    EXPECT_TRUE(form.loadingInConstructor);
    EXPECT_TRUE(form.resizer->receivedPersistedValues());
    // The screen size is refused at run time, loading or not: 382.
    EXPECT_EQ(form.refusedWith, MorvaneCtl::SetNotSupportedAtRunTime);
    EXPECT_EQ(form.resizer->ScreenWidth(), 0);
    // The design screen is confirmed first, answered No here.
    EXPECT_EQ(form.boxesAfterOwnCode, 1u);
    EXPECT_EQ(form.resizer->ScreenHeightDT(), 1024);

    // Shown, the form loads with the saved design screen: 1024 / 1280 and
    // 768 / 1024 of its design size, 3000 x 1500 twips.
    showAndSettle(&form);
    ASSERT_TRUE(waitFor([&] { return form.size() == QSize(160, 75); }))
        << ::testing::PrintToString(form.size());
    settle();
    EXPECT_FALSE(form.resizer->isLoading());
    EXPECT_EQ(form.resizer->ScreenWidth(), 1024);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 0.8f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 0.75f);
    // 80 % and 75 % of 20, 10, 40, 20 pixels.
    EXPECT_EQ(form.button->geometry(), QRect(16, 7, 32, 15));
    EXPECT_EQ(boxes.calls.size(), 1u);
}

// A form on the screen before any resize control was put on it.
class ShownForm : public ::testing::Test {
protected:
    ShownForm() {
        form.setObjectName(uniqueFormName(QStringLiteral("ShownForm")));
        form.setWindowFlag(Qt::FramelessWindowHint);
        form.resize(400, 200);
        form.move(90, 60);
        button = new QPushButton(QStringLiteral("OK"), &form);
        button->setObjectName(QStringLiteral("Command1"));
        button->setGeometry(40, 20, 80, 40);
        label = new QLabel(QStringLiteral("Total"), &form);
        label->setGeometry(200, 20, 100, 20);
        showAndSettle(&form);
    }

    ScreenStandIn screen{1024, 768};
    MessageBoxRecorder boxes{QMessageBox::No};
    QWidget form;
    QPushButton* button = nullptr;
    QLabel* label = nullptr;
};

TEST_F(ShownForm, aControlAddedToItBindsAndScalesAtTheNextResize) {
    auto* ctl = new Morvane(&form);
    // The form as it is now is the design of a control that knows none.
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 6000);
    EXPECT_EQ(ctl->property("FormScaleHeightDT").toInt(), 3000);

    form.resize(600, 300);
    ASSERT_TRUE(waitFor([&] { return form.size() == QSize(600, 300); }));
    settle();
    EXPECT_FALSE(ctl->isLoading());
    EXPECT_EQ(ctl->MyParent(), &form);
    EXPECT_TRUE(ctl->isHidden());
    EXPECT_EQ(button->geometry(), QRect(60, 30, 120, 60));
    EXPECT_EQ(label->geometry(), QRect(300, 30, 150, 30));
    // Joining late is no load: the form stays where its user put it.
    EXPECT_EQ(form.pos(), QPoint(90, 60));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ShownForm, aControlAddedToItIsBoundOnceTheEventLoopRuns) {
    auto* ctl = new Morvane(&form);
    ctl->setProperty("MinFormWidth", 4500);  // still loading: a saved value
    EXPECT_TRUE(ctl->isLoading());
    settle();
    EXPECT_FALSE(ctl->isLoading());
    EXPECT_EQ(ctl->MyParent(), &form);
    EXPECT_TRUE(ctl->FirstResizePending());

    // Bound, it holds the form to its limits: 4500 twips are 300 pixels.
    form.resize(200, 200);
    ASSERT_TRUE(waitFor([&] { return form.width() == 300; }))
        << ::testing::PrintToString(form.size());
    settle();
    EXPECT_EQ(button->geometry(), QRect(30, 20, 60, 40));
}

TEST_F(ShownForm, aMethodCalledAtOnceBindsTheControlFirst) {
    auto* ctl = new Morvane(&form);
    ctl->ResizeControls();
    EXPECT_FALSE(ctl->isLoading());
    EXPECT_EQ(ctl->MyParent(), &form);
    EXPECT_GE(ResizeFunctions::FindFormRecord(&form), 0) << "the pass registered the form";
    EXPECT_EQ(button->geometry(), QRect(40, 20, 80, 40));
}

TEST(MdiFrameControl, refusesToLayTheFrameOutAndStillHoldsItToItsLimits) {
    ScreenStandIn screen(1024, 768);
    QMainWindow frame;
    frame.setObjectName(uniqueFormName(QStringLiteral("MDIForm1")));
    frame.setWindowFlag(Qt::FramelessWindowHint);
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(400, 300);
    auto* ctl = new Morvane(&frame);
    ctl->InitProperties();
    ctl->CaptureDesignSize();
    ctl->setMaxFormWidth(7500);  // 500 pixels
    QSignalSpy complete(ctl, &Morvane::ResizeComplete);
    showAndSettle(&frame);
    ASSERT_EQ(ctl->MyParentMDI(), &frame);

    QSignalSpy errors(ctl, &Morvane::errorOccurred);
    EXPECT_FALSE(ctl->ResizeControls()) << "ResizeControls did as if it had laid out the MDI frame";
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toInt(), MorvaneCtl::TypeMismatch);
    EXPECT_EQ(errors.at(0).at(1).toString(), QStringLiteral("Type mismatch"));
    EXPECT_EQ(ResizeFunctions::FindFormRecord(&frame), -1);

    // The resize handler meets the same failure and goes on.
    complete.clear();
    frame.resize(700, 300);
    ASSERT_TRUE(waitFor([&] { return frame.width() == 500; }))
        << ::testing::PrintToString(frame.size());
    settle();
    EXPECT_GE(complete.count(), 1);
}

}  // namespace
