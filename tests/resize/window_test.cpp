// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The resize control on shown forms loaded from .ui files: scaling to the
// screen at load, centring, size limits, minimise and maximise permissions,
// which resizes run a layout pass, and the background and hiding switches.
//
// Forms are frameless unless a test says otherwise, so their outer size is
// their client size; every stand-in screen has 15 twips per pixel.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QMainWindow>
#include <QMdiArea>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>

#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

// A fixture form, frameless unless asked, placed at 90, 60 before it shows.
std::unique_ptr<QWidget> openForm(const QString& file, bool frameless = true) {
    auto form = loadForm(file);
    if (!form) return form;
    if (frameless) form->setWindowFlag(Qt::FramelessWindowHint);
    form->move(90, 60);
    return form;
}

QWidget* child(QWidget* form, const char* name) {
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Counts the control's events; cancelFirst cancels the first pass.
struct EventCounter {
    explicit EventCounter(Morvane* ctl, bool cancelFirst = false) {
        QObject::connect(ctl, &Morvane::BeforeResize, ctl, [this, cancelFirst](bool& cancel) {
            if (cancelFirst && before == 0) cancel = true;
            ++before;
        });
        QObject::connect(ctl, &Morvane::ResizeComplete, ctl, [this] { ++complete; });
    }
    int before = 0;
    int complete = 0;
};

// A screen, the factors the load scaling must apply with it, and the
// nested fixture's geometry scaled by them.
struct LoadCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const LoadCase& row, std::ostream* os) { *os << row.name; }
    int screenWidth, screenHeight;
    int fx, fy;
};

class LoadScaling : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadScaling, bringsTheFormToItsDesignSizeTimesTheScreenRatioAndScalesEveryControl) {
    const LoadCase& c = GetParam();
    ScreenStandIn screen(c.screenWidth, c.screenHeight);
    auto form = openForm(QStringLiteral("nested.ui"));
    ASSERT_TRUE(form);
    Morvane* ctl = resizerOf(form.get());
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 9000);
    EXPECT_TRUE(ctl->isLoading());

    showAndSettle(form.get());

    EXPECT_FALSE(ctl->isLoading());
    EXPECT_EQ(ctl->MyParent(), form.get());
    EXPECT_FLOAT_EQ(ScreenRatioX(), float(c.fx));
    EXPECT_FLOAT_EQ(ScreenRatioY(), float(c.fy));
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(600 * c.fx, 400 * c.fy); }))
        << "form size " << ::testing::PrintToString(form->size());
    settle();
    const int fx = c.fx, fy = c.fy;
    auto scaled = [fx, fy](int x, int y, int w, int h) {
        return QRect(x * fx, y * fy, w * fx, h * fy);
    };
    // Not centred: the form keeps its place.
    EXPECT_EQ(form->pos(), QPoint(90, 60));
    // Each control in its own container's coordinates, with the form's percents.
    EXPECT_EQ(child(form.get(), "Frame1")->geometry(), scaled(30, 30, 300, 200));
    EXPECT_EQ(child(form.get(), "Command1")->geometry(), scaled(15, 15, 90, 30));
    EXPECT_EQ(child(form.get(), "Frame2")->geometry(), scaled(120, 60, 150, 120));
    EXPECT_EQ(child(form.get(), "Option1")->geometry(), scaled(15, 15, 105, 30));
    EXPECT_EQ(child(form.get(), "TabStrip1")->geometry(), scaled(345, 30, 225, 210));
    EXPECT_EQ(child(form.get(), "Text1")->geometry(), scaled(15, 15, 150, 30));
    // On the page that is not shown.
    EXPECT_EQ(child(form.get(), "Check1")->geometry(), scaled(15, 45, 120, 30));
    EXPECT_EQ(child(form.get(), "Grid1")->geometry(), scaled(30, 255, 300, 120));
    EXPECT_EQ(child(form.get(), "Label1")->geometry(), scaled(345, 270, 150, 30));
    // The resize control itself is left where it is, 480 twips square.
    EXPECT_EQ(ctl->geometry(), QRect(540, 345, 32, 32));
    EXPECT_FALSE(ctl->FirstResizePending());
}

INSTANTIATE_TEST_SUITE_P(Screens, LoadScaling,
                         ::testing::Values(LoadCase{"designScreen", 1024, 768, 1, 1},
                                           LoadCase{"twiceAsLarge", 2048, 1536, 2, 2},
                                           LoadCase{"onlyWider", 2048, 768, 2, 1},
                                           LoadCase{"threeTimes", 3072, 2304, 3, 3}),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return std::string(info.param.name);
                         });

class LargeForm : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(LargeForm, designed12000By9000On1024By768LoadsAt24000By18000On2048By1536) {
    const auto [centred, frameless] = GetParam();
    ScreenStandIn screen(2048, 1536);
    auto form = openForm(QStringLiteral("large.ui"), frameless);
    ASSERT_TRUE(form);
    Morvane* ctl = resizerOf(form.get());
    ctl->setAutoCenterForm(centred);
    showAndSettle(form.get());

    // 2 * 12000 and 2 * 9000 twips are 1600 x 1200 pixels, outer size.
    ASSERT_TRUE(waitFor([&] { return form->frameGeometry().size() == QSize(1600, 1200); }))
        << ::testing::PrintToString(form->frameGeometry());
    settle();
    // Centred: (2048 * 15 - 2 * 12000) / 2 = 3360 twips = 224 pixels across,
    // (1536 * 15 - 2 * 9000) / 2 = 2520 twips = 168 pixels down.
    const QPoint expected = centred ? QPoint(224, 168) : QPoint(90, 60);
    EXPECT_EQ(form->frameGeometry().topLeft(), expected);
    if (frameless) {
        // Twice the design: 60, 45, 150, 45 pixels doubled.
        EXPECT_EQ(child(form.get(), "Command1")->geometry(), QRect(120, 90, 300, 90));
    }
}

INSTANTIATE_TEST_SUITE_P(Placement, LargeForm,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<bool, bool>>& info) {
                             return std::string(std::get<0>(info.param) ? "centred" : "inPlace") +
                                    (std::get<1>(info.param) ? "_frameless" : "_framed");
                         });

TEST(MdiFrame, isScaledAtLoadInItsOwnPlace) {
    ScreenStandIn screen(2048, 1536);
    QMainWindow frame;
    frame.setObjectName(uniqueFormName(QStringLiteral("MDIForm1")));
    frame.setWindowFlag(Qt::FramelessWindowHint);
    frame.setCentralWidget(new QMdiArea(&frame));
    auto* ctl = new Morvane(&frame);
    ctl->setObjectName(QStringLiteral("Morvane1"));
    ctl->setProperty("FormWidthDT", 12000);
    ctl->setProperty("FormHeightDT", 9000);
    ctl->setProperty("FormScaleWidthDT", 12000);
    ctl->setProperty("FormScaleHeightDT", 9000);
    frame.setGeometry(90, 60, 800, 600);
    showAndSettle(&frame);

    EXPECT_EQ(ctl->MyParentMDI(), &frame);
    EXPECT_EQ(ctl->MyParent(), nullptr);
    ASSERT_TRUE(waitFor([&] { return frame.frameGeometry().size() == QSize(1600, 1200); }))
        << ::testing::PrintToString(frame.frameGeometry());
    EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(90, 60));
}

// Limits in twips, the size a user drags the 200 x 100 pixel form to, the
// size it must end at, and where Command1 (20, 10, 40, 20 at design) goes.
struct LimitCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const LimitCase& row, std::ostream* os) { *os << row.name; }
    int maxWidth, maxHeight, minWidth, minHeight;
    QSize dragged, settled;
    QRect command1;
};

class Limits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(Limits, snapTheFormBackAndThePassRunsForTheSizeItEndsAt) {
    const LimitCase& c = GetParam();
    ScreenStandIn screen(1024, 768);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    Morvane* ctl = resizerOf(form.get());
    ctl->setMaxFormWidth(c.maxWidth);
    ctl->setMaxFormHeight(c.maxHeight);
    ctl->setMinFormWidth(c.minWidth);
    ctl->setMinFormHeight(c.minHeight);
    showAndSettle(form.get());
    ASSERT_EQ(form->size(), QSize(200, 100));
    EventCounter events(ctl);

    form->resize(c.dragged);
    ASSERT_TRUE(waitFor([&] { return form->size() == c.settled; }))
        << "form size " << ::testing::PrintToString(form->size());
    settle();
    EXPECT_EQ(form->size(), c.settled);
    EXPECT_EQ(child(form.get(), "Command1")->geometry(), c.command1);
    EXPECT_GE(events.before, 1);
    EXPECT_GE(events.complete, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Limits,
    ::testing::Values(
        // 6000 twips = 400 pixels: dragged to 534 pixels (8010 twips), it comes
        // back to 400; 6000 / 3000 = 200 % across, 100 % down.
        LimitCase{"maxWidth", 6000, 0, 0, 0, {534, 100}, {400, 100}, {40, 10, 80, 20}},
        // 4500 twips = 300 pixels: 100 % across, 300 % down.
        LimitCase{"maxHeight", 0, 4500, 0, 0, {200, 400}, {200, 300}, {20, 30, 40, 60}},
        // 1500 twips = 100 pixels: 50 % across.
        LimitCase{"minWidth", 0, 0, 1500, 0, {50, 100}, {100, 100}, {10, 10, 20, 20}},
        // 750 twips = 50 pixels: 50 % down.
        LimitCase{"minHeight", 0, 0, 0, 750, {200, 20}, {200, 50}, {20, 5, 40, 10}},
        // Limits of 0 or less are no limits: 200 % and 300 %.
        LimitCase{"negativeLimits", -5, -5, -5, -5, {400, 300}, {400, 300}, {40, 30, 80, 60}},
        // Inside all four limits nothing snaps: 150 % both ways.
        LimitCase{"withinLimits", 6000, 4500, 1500, 750, {300, 150}, {300, 150}, {30, 15, 60, 30}}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

TEST(FramedForm, isScaledByItsClientSizeNotItsOuterSize) {
    ScreenStandIn screen(1024, 768);
    auto form = openForm(QStringLiteral("small.ui"), false);
    ASSERT_TRUE(form);
    showAndSettle(form.get());
    settle();
    form->resize(400, 200);
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(400, 200); }));
    settle();
    if (form->frameGeometry().size() == form->size()) GTEST_SKIP() << "the platform draws no frame";
    // Client 6000 x 3000 twips against 3000 x 1500: 200 % both ways. The
    // outer size (a few pixels more) would give 202 % and a wider button.
    EXPECT_EQ(child(form.get(), "Command1")->geometry(), QRect(40, 20, 80, 40));
}

class WindowStates : public ::testing::Test {
protected:
    void open() {
        form = openForm(QStringLiteral("small.ui"));
        ASSERT_TRUE(form);
        ctl = resizerOf(form.get());
        command1 = child(form.get(), "Command1");
    }
    void show() {
        showAndSettle(form.get());
        ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
        settle();
    }

    ScreenStandIn screen{1024, 768};
    std::unique_ptr<QWidget> form;
    Morvane* ctl = nullptr;
    QWidget* command1 = nullptr;
};

TEST_F(WindowStates, aMinimisedFormRaisesBothEventsButRunsNoPass) {
    open();
    show();
    EventCounter events(ctl);
    // Moved by hand: a pass would put it back at 20, 10, 40, 20.
    command1->setGeometry(0, 0, 10, 10);

    form->showMinimized();
    settle();

    EXPECT_TRUE(form->isMinimized());
    EXPECT_GE(events.before, 1);
    EXPECT_GE(events.complete, 1);
    EXPECT_EQ(command1->geometry(), QRect(0, 0, 10, 10));
}

TEST_F(WindowStates, aFormThatMayNotBeMinimisedComesBackToNormal) {
    open();
    ctl->setAllowFormMinimized(false);
    show();
    form->showMinimized();
    EXPECT_TRUE(waitFor([&] { return !form->isMinimized(); }));
    settle();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->size(), QSize(200, 100));
}

TEST_F(WindowStates, aFormThatMayNotBeMaximisedComesBackToNormal) {
    open();
    ctl->setAllowFormMaximized(false);
    show();
    form->showMaximized();
    EXPECT_TRUE(waitFor([&] { return !form->isMaximized(); }));
    settle();
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->size(), QSize(200, 100));
    EXPECT_EQ(command1->geometry(), QRect(20, 10, 40, 20));
}

TEST_F(WindowStates, aMaximisedFormGetsAPassForItsNewClient) {
    open();
    show();
    form->showMaximized();
    ASSERT_TRUE(waitFor([&] { return form->isMaximized() && form->width() > 200; }));
    settle();
    // The percents of the maximised client against 3000 x 1500 twips, and
    // Command1's 300, 150, 600, 300 twips scaled by them (within a pixel).
    const int pw = int(std::lround(form->width() * 15 * 100.0 / 3000));
    const int ph = int(std::lround(form->height() * 15 * 100.0 / 1500));
    const QRect g = command1->geometry();
    EXPECT_NEAR(g.x() * 15, 300.0 * pw / 100, 15);
    EXPECT_NEAR(g.y() * 15, 150.0 * ph / 100, 15);
    EXPECT_NEAR(g.width() * 15, 600.0 * pw / 100, 15);
    EXPECT_NEAR(g.height() * 15, 300.0 * ph / 100, 15);
}

// Which of the two switches are on, and where Command1 is after the load on
// a screen twice the design's and after a drag to 600 x 300 pixels.
struct SwitchCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const SwitchCase& row, std::ostream* os) { *os << row.name; }
    bool onLoad, always;
    QRect afterLoad, afterDrag;
    bool registered;
};

class PassSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(PassSwitches, decideWhichResizesRunAPass) {
    const SwitchCase& c = GetParam();
    ScreenStandIn screen(2048, 1536);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    Morvane* ctl = resizerOf(form.get());
    ctl->setAutoResizeOnLoad(c.onLoad);
    ctl->setAutoResizeControls(c.always);
    QWidget* command1 = child(form.get(), "Command1");
    showAndSettle(form.get());

    // The form itself is always brought to twice its design size.
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(400, 200); }))
        << ::testing::PrintToString(form->size());
    settle();
    EXPECT_EQ(command1->geometry(), c.afterLoad);
    EventCounter events(ctl);

    form->resize(600, 300);
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(600, 300); }));
    settle();
    EXPECT_EQ(command1->geometry(), c.afterDrag);
    EXPECT_EQ(events.before > 0, c.always);
    EXPECT_EQ(ResizeFunctions::FindFormRecord(form.get()) >= 0, c.registered);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, PassSwitches,
    ::testing::Values(
        // 200 % at load, 300 % after the drag.
        SwitchCase{"both", true, true, {40, 20, 80, 40}, {60, 30, 120, 60}, true},
        // Once at load, never again.
        SwitchCase{"onLoadOnly", true, false, {40, 20, 80, 40}, {40, 20, 80, 40}, true},
        SwitchCase{"alwaysOnly", false, true, {40, 20, 80, 40}, {60, 30, 120, 60}, true},
        // No pass at all: the form is never even registered.
        SwitchCase{"neither", false, false, {20, 10, 40, 20}, {20, 10, 40, 20}, false}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST(Centring, putsTheClientOfANormalFormInTheMiddleOfTheScreen) {
    ScreenStandIn screen(1024, 768);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
    resizerOf(form.get())->CenterForm();
    settle();
    // (15360 - 3000) / 2 = 6180 twips = 412 pixels; (11520 - 1500) / 2 =
    // 5010 twips = 334 pixels.
    EXPECT_EQ(form->geometry(), QRect(412, 334, 200, 100));
}

TEST(Centring, ofAFramedFormCentresItsClientSizeAndPlacesItsFrame) {
    ScreenStandIn screen(1024, 768);
    auto form = openForm(QStringLiteral("small.ui"), false);
    ASSERT_TRUE(form);
    showAndSettle(form.get());
    settle();
    const QSize client = form->size();
    const QSize outer = form->frameGeometry().size();
    ASSERT_EQ(client.width() % 2, 0);
    ASSERT_EQ(client.height() % 2, 0);
    resizerOf(form.get())->CenterForm();
    settle();
    // Left = (screen width - client width) / 2 in twips, given to the
    // frame; pixels: 512 - client width / 2.
    EXPECT_EQ(form->frameGeometry().topLeft(),
              QPoint(512 - client.width() / 2, 384 - client.height() / 2));
    EXPECT_EQ(form->size(), client);
    EXPECT_EQ(form->frameGeometry().size(), outer);
}

TEST(Centring, leavesAMaximisedFormAlone) {
    ScreenStandIn screen(1024, 768);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    showAndSettle(form.get());
    form->showMaximized();
    ASSERT_TRUE(waitFor([&] { return form->isMaximized(); }));
    settle();
    const QRect before = form->geometry();
    const QRect normal = form->normalGeometry();
    resizerOf(form.get())->CenterForm();
    settle();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->geometry(), before);
    EXPECT_EQ(form->normalGeometry(), normal);
}

TEST(HidingControls, leavesShownControlsShownAndHiddenOnesHiddenAfterThePass) {
    ScreenStandIn screen(2048, 1536);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    resizerOf(form.get())->setHideControlsOnResize(true);
    QWidget* label = child(form.get(), "Label1");
    label->setVisible(false);
    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(400, 200); }));
    settle();

    QWidget* command1 = child(form.get(), "Command1");
    QWidget* text1 = child(form.get(), "Text1");
    EXPECT_EQ(command1->geometry(), QRect(40, 20, 80, 40));
    EXPECT_TRUE(command1->isVisible());
    EXPECT_TRUE(text1->isVisible());
    EXPECT_TRUE(label->isHidden());

    form->resize(600, 300);
    settle();
    EXPECT_EQ(command1->geometry(), QRect(60, 30, 120, 60));
    EXPECT_TRUE(command1->isVisible());
    EXPECT_TRUE(text1->isVisible());
    EXPECT_TRUE(label->isHidden());
    // The hidden label was scaled all the same: 100, 10, 60, 20 at 300 %.
    EXPECT_EQ(label->geometry(), QRect(300, 30, 180, 60));
}

class Background : public ::testing::TestWithParam<bool> {};

TEST_P(Background, isStretchedToTheClientOnlyWhenAskedFor) {
    const bool stretch = GetParam();
    ScreenStandIn screen(2048, 1536);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    QPixmap picture(50, 25);
    picture.fill(Qt::darkCyan);
    QPalette pal = form->palette();
    pal.setBrush(QPalette::Window, QBrush(picture));
    form->setPalette(pal);
    form->setAutoFillBackground(true);
    resizerOf(form.get())->setResizeFormBackground(stretch);
    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(400, 200); }));
    settle();

    auto textureSize = [&] { return form->palette().brush(QPalette::Window).texture().size(); };
    EXPECT_EQ(textureSize(), stretch ? QSize(400, 200) : QSize(50, 25));
    form->resize(300, 150);
    settle();
    EXPECT_EQ(textureSize(), stretch ? QSize(300, 150) : QSize(50, 25));
}

INSTANTIATE_TEST_SUITE_P(Switch, Background, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "stretched" : "leftAlone");
                         });

TEST(LoadedForm, takesItsPropertiesQuietlyAndAsksOnceItRuns) {
    ScreenStandIn screen(1024, 768);
    MessageBoxRecorder boxes(QMessageBox::No);
    auto form = openForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    Morvane* ctl = resizerOf(form.get());
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    // A saved value handed over the way uic and QUiLoader do.
    ctl->setProperty("MaxFormWidth", 9000);
    EXPECT_TRUE(ctl->receivedPersistedValues());
    EXPECT_EQ(ctl->property("FormWidthDT").toInt(), 3000);
    showAndSettle(form.get());

    EXPECT_FALSE(ctl->isLoading());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(ctl->MaxFormWidth(), 9000);

    QSignalSpy errors(ctl, &Morvane::errorOccurred);
    ctl->setScreenHeight(1200);
    ASSERT_EQ(errors.count(), 1) << "ScreenHeight was set at run time";
    EXPECT_EQ(errors.at(0).at(0).toInt(), 382);
    ctl->setScreenWidthDT(1600);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(ctl->ScreenWidthDT(), 1024);
    ctl->setMinFormWidth(1500);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("MinFormWidth"));
}

// A form built in code: the control is placed with InitProperties and told
// to take the design size, which it takes when the form is first shown;
// once shown it is bound and lays the form out.
TEST(FormBuiltInCode, isBoundAtLoadAfterFirstPlacement) {
    ScreenStandIn screen(1024, 768);
    MessageBoxRecorder boxes(QMessageBox::No);
    QWidget form;
    form.setObjectName(QStringLiteral("CodeForm"));
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.resize(400, 200);
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setObjectName(QStringLiteral("Command1"));
    button->setGeometry(40, 20, 80, 40);
    auto* ctl = new Morvane(&form);
    ctl->InitProperties();
    ctl->CaptureDesignSize();
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 0) << "taken before the form settled";
    showAndSettle(&form);
    ASSERT_EQ(ctl->MyParent(), &form);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 6000);
    EXPECT_EQ(form.size(), QSize(400, 200));

    // 600 x 300 pixels against 400 x 200 designed: 150 % both ways.
    form.resize(600, 300);
    settle();
    EXPECT_EQ(button->geometry(), QRect(60, 30, 120, 60));
    EXPECT_TRUE(boxes.calls.empty());

    // The empty child that marks the client for repainting during a pass is
    // no control, covers nothing between passes and never takes the mouse.
    auto* cover = form.findChild<QWidget*>(QStringLiteral("qt_morvane_repaint_cover"));
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(cover->size().isEmpty());
    EXPECT_TRUE(cover->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(form.children().first(), cover);
    EXPECT_FALSE(ResizeFunctions::formControls(&form).contains(cover));
    EXPECT_EQ(form.childAt(70, 40), button);
}

}  // namespace
