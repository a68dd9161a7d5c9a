// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The resize control's properties: first placement, loading from and saving
// to a property bag, the setters (confirmed, refused, stored and notified),
// the shared screen ratios, the About box and the control's own size.
#include <gtest/gtest.h>
#include <morvane/morvane.h>
#include <morvane/screen.h>

#include <QLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPoint>
#include <QRegularExpression>
#include <QSignalSpy>
#include <functional>

#include "propertybag.h"
#include "propertytable.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

// The persisted keys in the order they are read and written, with the
// default each read and write gives: -1 (true) for the switches that are on
// by default, 0 for everything else.
const std::vector<std::pair<QString, int>>& keysWithDefaults() {
    static const std::vector<std::pair<QString, int>> keys = {
        {"Resolution", 0},          {"ResizeFonts", -1},         {"ScreenHeight", 0},
        {"ScreenWidth", 0},         {"ScreenHeightDT", 0},       {"ScreenWidthDT", 0},
        {"AutoResizeControls", -1}, {"AutoResizeOnLoad", -1},    {"MaxFormHeight", 0},
        {"MaxFormWidth", 0},        {"AllowFormMaximized", -1},  {"AllowFormMinimized", -1},
        {"MinFormHeight", 0},       {"MinFormWidth", 0},         {"AutoCenterForm", 0},
        {"FormHeightDT", 0},        {"FormWidthDT", 0},          {"FormScaleHeightDT", 0},
        {"FormScaleWidthDT", 0},    {"ResizeFormBackground", 0}, {"HideControlsOnResize", 0},
    };
    return keys;
}

QStringList keysOf(const PropertyBag& bag, PropertyBag::Access::Kind kind) {
    QStringList keys;
    for (const auto& a : bag.accesses())
        if (a.kind == kind) keys << a.key;
    return keys;
}

// Every property the control declares, by name, as it stands now.
QVariantMap snapshot(const Morvane& m) {
    QVariantMap values;
    const QMetaObject* mo = m.metaObject();
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        values.insert(QString::fromLatin1(mo->property(i).name()), mo->property(i).read(&m));
    return values;
}

QString warningText() {
    return QStringLiteral(
               "Warning: Changine the auto-detected design time screen resolution value to an "
               "incorrect value will cause Morvane to function incorrectly on other systems!") +
           QLatin1Char('\n') + QStringLiteral("Are you sure you want change resolution?");
}

// The dialog text with a CR LF line break read as a plain line break.
QString normalisedBreaks(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A control on a hidden 600 x 400 pixel form (9000 x 6000 twips) on a
// 1024 x 768 screen, as a host creates it before it reads properties.
class ControlTest : public ::testing::Test {
protected:
    ControlTest() {
        form.setObjectName(uniqueFormName(QStringLiteral("FormProps")));
        form.resize(600, 400);
    }
    // A control placed on the form, screen measured, loading finished.
    Morvane* placedAndLoaded() {
        ctl->InitProperties();
        ctl->finishLoading();
        return ctl;
    }

    ScreenStandIn screen{1024, 768};
    QWidget form;
    Morvane* ctl = new Morvane(&form);
};

TEST_F(ControlTest, firstPlacementSetsEveryDefaultThenMeasuresAndClassifiesTheScreen) {
    // Values a loader handed over earlier do not survive first placement.
    for (const auto& [name, value] :
         std::initializer_list<std::pair<const char*, QVariant>>{{"ResizeFonts", false},
                                                                 {"AutoResizeControls", false},
                                                                 {"MaxFormWidth", 5000},
                                                                 {"MinFormHeight", -7},
                                                                 {"AllowFormMaximized", false},
                                                                 {"AutoCenterForm", true},
                                                                 {"FormWidthDT", 77},
                                                                 {"FormScaleHeightDT", 66},
                                                                 {"ResizeFormBackground", true},
                                                                 {"HideControlsOnResize", true},
                                                                 {"ScreenWidthDT", 640}})
        ASSERT_TRUE(ctl->setProperty(name, value)) << name;

    ctl->InitProperties();

    EXPECT_EQ(ctl->Resolution(), Res_1024x768);
    EXPECT_TRUE(ctl->ResizeFonts());
    EXPECT_EQ(ctl->ScreenHeight(), 768);
    EXPECT_EQ(ctl->ScreenWidth(), 1024);
    EXPECT_EQ(ctl->ScreenHeightDT(), 768);
    EXPECT_EQ(ctl->ScreenWidthDT(), 1024);
    EXPECT_TRUE(ctl->AutoResizeControls());
    EXPECT_TRUE(ctl->AutoResizeOnLoad());
    EXPECT_EQ(ctl->MaxFormHeight(), 0);
    EXPECT_EQ(ctl->MaxFormWidth(), 0);
    EXPECT_TRUE(ctl->AllowFormMaximized());
    EXPECT_TRUE(ctl->AllowFormMinimized());
    EXPECT_EQ(ctl->MinFormHeight(), 0);
    EXPECT_EQ(ctl->MinFormWidth(), 0);
    EXPECT_FALSE(ctl->AutoCenterForm());
    EXPECT_EQ(ctl->property("FormHeightDT").toInt(), 0);
    EXPECT_EQ(ctl->property("FormWidthDT").toInt(), 0);
    EXPECT_EQ(ctl->property("FormScaleHeightDT").toInt(), 0);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 0);
    EXPECT_FALSE(ctl->ResizeFormBackground());
    EXPECT_FALSE(ctl->HideControlsOnResize());
    // Design screen and current screen are one: both ratios 1.
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.0f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.0f);
}

// A screen given in twips with its twips per pixel, and what first placement
// makes of it.
struct ScreenCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const ScreenCase& row, std::ostream* os) { *os << row.name; }
    double widthTwips, heightTwips, twipsPerPixel;
    ScreenResolution resolution;
    int widthPixels, heightPixels;
};

class FirstPlacement : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(FirstPlacement, classifiesTheDesignScreenByItsExactPixelSize) {
    const ScreenCase& c = GetParam();
    setScreenOverride(ScreenMetrics{c.widthTwips, c.heightTwips, c.twipsPerPixel, c.twipsPerPixel});
    QWidget form;
    auto* ctl = new Morvane(&form);
    ctl->InitProperties();
    EXPECT_EQ(ctl->Resolution(), c.resolution);
    EXPECT_EQ(ctl->ScreenWidthDT(), c.widthPixels);
    EXPECT_EQ(ctl->ScreenHeightDT(), c.heightPixels);
    EXPECT_EQ(ctl->ScreenWidth(), c.widthPixels);
    EXPECT_EQ(ctl->ScreenHeight(), c.heightPixels);
    setScreenOverride(std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FirstPlacement,
    ::testing::Values(
        ScreenCase{"s640x480", 640 * 15, 480 * 15, 15, Res_640x480, 640, 480},
        ScreenCase{"s800x600", 800 * 15, 600 * 15, 15, Res_800x600, 800, 600},
        ScreenCase{"s1024x768", 1024 * 15, 768 * 15, 15, Res_1024x768, 1024, 768},
        ScreenCase{"s1152x864", 1152 * 15, 864 * 15, 15, Res_1152x864, 1152, 864},
        ScreenCase{"s1280x1024", 1280 * 15, 1024 * 15, 15, Res_1280x1024, 1280, 1024},
        ScreenCase{"s1600x1200", 1600 * 15, 1200 * 15, 15, Res_1600x1200, 1600, 1200},
        // Wide screens and partial matches are custom.
        ScreenCase{"s1366x768", 1366 * 15, 768 * 15, 15, Res_Custom, 1366, 768},
        ScreenCase{"s1024x600", 1024 * 15, 600 * 15, 15, Res_Custom, 1024, 600},
        ScreenCase{"portrait768x1024", 768 * 15, 1024 * 15, 15, Res_Custom, 768, 1024},
        // The pixel size is twips over twips per pixel, whatever the density.
        ScreenCase{"s1024x768at12TwipsPerPixel", 1024 * 12, 768 * 12, 12, Res_1024x768, 1024, 768},
        // 1024.5 pixels: stored rounded half to even (1024), but classified
        // by the unrounded quotient, which matches no pair.
        ScreenCase{"halfPixelRoundsDownToEven", 1024.5 * 15, 768 * 15, 15, Res_Custom, 1024, 768},
        // 1025.5 pixels round half to even up to 1026.
        ScreenCase{"halfPixelRoundsUpToEven", 1025.5 * 15, 768 * 15, 15, Res_Custom, 1026, 768}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

TEST_F(ControlTest, readingAsksForEveryKeyInOrderWithItsDefault) {
    PropertyBag bag;
    MorvaneCtl::ReadProperties(*ctl, bag);

    QStringList expectedKeys;
    for (const auto& [key, def] : keysWithDefaults()) expectedKeys << key;
    EXPECT_EQ(Morvane::persistedKeys(), expectedKeys);
    ASSERT_EQ(keysOf(bag, PropertyBag::Access::Read), expectedKeys);
    EXPECT_TRUE(keysOf(bag, PropertyBag::Access::Write).isEmpty());
    for (size_t i = 0; i < bag.accesses().size(); ++i) {
        SCOPED_TRACE(bag.accesses()[i].key.toStdString());
        EXPECT_EQ(bag.accesses()[i].defaultValue.toInt(), keysWithDefaults()[i].second);
    }
}

TEST_F(ControlTest, readingAnEmptyBagGivesTheDefaultsAndTheScreenOf1024By768) {
    screen.set(1600, 1200);
    PropertyBag bag;
    // A stored screen size is always replaced by the screen measured now.
    bag.setValue(QStringLiteral("ScreenHeight"), 480);
    bag.setValue(QStringLiteral("ScreenWidth"), 640);
    MorvaneCtl::ReadProperties(*ctl, bag);

    // Resolution is classified only at first placement, never on loading.
    EXPECT_EQ(ctl->Resolution(), Res_640x480);
    EXPECT_TRUE(ctl->ResizeFonts());
    EXPECT_TRUE(ctl->AutoResizeControls());
    EXPECT_TRUE(ctl->AutoResizeOnLoad());
    EXPECT_TRUE(ctl->AllowFormMaximized());
    EXPECT_TRUE(ctl->AllowFormMinimized());
    EXPECT_FALSE(ctl->AutoCenterForm());
    EXPECT_FALSE(ctl->ResizeFormBackground());
    EXPECT_FALSE(ctl->HideControlsOnResize());
    EXPECT_EQ(ctl->MaxFormWidth(), 0);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 0);
    EXPECT_EQ(ctl->ScreenHeight(), 1200);
    EXPECT_EQ(ctl->ScreenWidth(), 1600);
    // A bag without the design screen loads as designed on 1024 x 768.
    EXPECT_EQ(ctl->ScreenHeightDT(), 768);
    EXPECT_EQ(ctl->ScreenWidthDT(), 1024);
    // 1600 / 1024 = 1200 / 768 = 1.5625, exact in single precision.
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.5625f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.5625f);
}

TEST_F(ControlTest, readingTakesMinusOneAsTrueAndRoundsNumbersHalfToEven) {
    PropertyBag bag;
    bag.setValue(QStringLiteral("Resolution"), 4);
    bag.setValue(QStringLiteral("AutoCenterForm"), -1);
    bag.setValue(QStringLiteral("ResizeFonts"), 0);
    bag.setValue(QStringLiteral("AllowFormMinimized"), false);
    bag.setValue(QStringLiteral("HideControlsOnResize"), true);
    bag.setValue(QStringLiteral("MaxFormWidth"), 6000.5);   // half: to the even 6000
    bag.setValue(QStringLiteral("MaxFormHeight"), 6001.5);  // half: to the even 6002
    bag.setValue(QStringLiteral("MinFormWidth"), -5);
    MorvaneCtl::ReadProperties(*ctl, bag);

    EXPECT_EQ(ctl->Resolution(), Res_1280x1024);
    EXPECT_TRUE(ctl->AutoCenterForm());
    EXPECT_FALSE(ctl->ResizeFonts());
    EXPECT_FALSE(ctl->AllowFormMinimized());
    EXPECT_TRUE(ctl->HideControlsOnResize());
    EXPECT_EQ(ctl->MaxFormWidth(), 6000);
    EXPECT_EQ(ctl->MaxFormHeight(), 6002);
    EXPECT_EQ(ctl->MinFormWidth(), -5);
}

// A key and a value of the wrong kind for it.
struct BadValue {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const BadValue& row, std::ostream* os) { *os << row.name; }
    const char* key;
    QVariant value;
};

class WrongKindInBag : public ControlTest, public ::testing::WithParamInterface<BadValue> {};

TEST_P(WrongKindInBag, isRefusedWith380AndChangesNothing) {
    ctl->InitProperties();
    ctl->setMaxFormHeight(1234);
    ctl->setAutoCenterForm(true);
    // The screen changes before the load: a load that got as far as measuring
    // would show in ScreenWidth and the ratios.
    screen.set(2048, 1536);
    const QVariantMap before = snapshot(*ctl);

    // Good values for every key, different from the control's, but one.
    PropertyBag bag;
    int n = 1;
    for (const auto& [key, def] : keysWithDefaults()) {
        // Switches, whichever way they are persisted, take a false.
        if (def == -1 || key == QLatin1String("AutoCenterForm") ||
            key == QLatin1String("ResizeFormBackground") ||
            key == QLatin1String("HideControlsOnResize"))
            bag.setValue(key, false);
        else if (key == QLatin1String("Resolution"))
            bag.setValue(key, 5);
        else
            bag.setValue(key, 100 + n++);
    }
    bag.setValue(QString::fromLatin1(GetParam().key), GetParam().value);

    QSignalSpy errors(ctl, &Morvane::errorOccurred);
    EXPECT_FALSE(MorvaneCtl::ReadProperties(*ctl, bag)) << "a value of the wrong kind was taken";
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toInt(), 380);
    EXPECT_EQ(errors.at(0).at(1).toString(), QStringLiteral("Invalid property value"));
    EXPECT_EQ(snapshot(*ctl), before);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.0f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Bags, WrongKindInBag,
    ::testing::Values(
        BadValue{"textForTheFirstKey", "Resolution", QVariant(QStringLiteral("high"))},
        BadValue{"textForALimit", "MaxFormWidth", QVariant(QStringLiteral("wide"))},
        BadValue{"textForASwitch", "ResizeFonts", QVariant(QStringLiteral("perhaps"))},
        BadValue{"pointForADesignSize", "FormScaleWidthDT", QVariant(QPoint(3, 4))},
        BadValue{"textForTheLastKey", "HideControlsOnResize",
                 QVariant(QStringLiteral("sometimes"))}),
    [](const ::testing::TestParamInfo<BadValue>& info) { return std::string(info.param.name); });

TEST_F(ControlTest, savingCapturesTheFormThenWritesEveryKeyInOrderWithItsDefault) {
    ctl->InitProperties();
    PropertyBag bag;
    MorvaneCtl::WriteProperties(*ctl, bag);

    QStringList expectedKeys;
    for (const auto& [key, def] : keysWithDefaults()) expectedKeys << key;
    ASSERT_EQ(keysOf(bag, PropertyBag::Access::Write), expectedKeys);
    EXPECT_TRUE(keysOf(bag, PropertyBag::Access::Read).isEmpty());
    for (size_t i = 0; i < bag.accesses().size(); ++i) {
        SCOPED_TRACE(bag.accesses()[i].key.toStdString());
        EXPECT_EQ(bag.accesses()[i].defaultValue.toInt(), keysWithDefaults()[i].second);
    }
    // The hidden 600 x 400 pixel form has no frame yet: outer = client =
    // 9000 x 6000 twips.
    EXPECT_EQ(ctl->property("FormWidthDT").toInt(), 9000);
    EXPECT_EQ(ctl->property("FormHeightDT").toInt(), 6000);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 9000);
    EXPECT_EQ(ctl->property("FormScaleHeightDT").toInt(), 6000);
    EXPECT_EQ(bag.value(QStringLiteral("FormWidthDT")).toInt(), 9000);
    EXPECT_EQ(bag.value(QStringLiteral("FormScaleHeightDT")).toInt(), 6000);
    EXPECT_EQ(bag.value(QStringLiteral("ScreenWidthDT")).toInt(), 1024);
    EXPECT_EQ(bag.value(QStringLiteral("ScreenHeightDT")).toInt(), 768);
    EXPECT_EQ(bag.value(QStringLiteral("Resolution")).toInt(), int(Res_1024x768));
    // Switches at their defaults are not kept, true ones included.
    for (const char* key :
         {"ResizeFonts", "AutoResizeControls", "AutoResizeOnLoad", "AllowFormMaximized",
          "AllowFormMinimized", "AutoCenterForm", "ResizeFormBackground", "HideControlsOnResize",
          "MaxFormWidth", "MinFormHeight"})
        EXPECT_FALSE(bag.contains(QString::fromLatin1(key))) << key;
}

TEST(SavingDesignSize, ofAMainWindowTakesTheCentralWidgetAsClient) {
    ScreenStandIn screen(1024, 768);
    QMainWindow window;
    window.setObjectName(uniqueFormName(QStringLiteral("FormMain")));
    window.setMenuBar(new QMenuBar(&window));
    window.menuBar()->addMenu(QStringLiteral("File"));
    window.setCentralWidget(new QWidget(&window));
    window.resize(640, 480);
    auto* ctl = new Morvane(window.centralWidget());
    window.layout()->activate();
    const QSize client = window.centralWidget()->size();
    ASSERT_NE(client, QSize(640, 480)) << "the menu bar takes room from the client";

    PropertyBag bag;
    MorvaneCtl::WriteProperties(*ctl, bag);
    EXPECT_EQ(ctl->property("FormWidthDT").toInt(), 640 * 15);
    EXPECT_EQ(ctl->property("FormHeightDT").toInt(), 480 * 15);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), client.width() * 15);
    EXPECT_EQ(ctl->property("FormScaleHeightDT").toInt(), client.height() * 15);
}

TEST(SavingDesignSize, ofAnMdiFrameTakesTheOuterSizeAsClientToo) {
    ScreenStandIn screen(1024, 768);
    QMainWindow frame;
    frame.setObjectName(uniqueFormName(QStringLiteral("MDIForm")));
    frame.setMenuBar(new QMenuBar(&frame));
    frame.menuBar()->addMenu(QStringLiteral("File"));
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(640, 480);
    auto* ctl = new Morvane(&frame);
    frame.layout()->activate();

    PropertyBag bag;
    MorvaneCtl::WriteProperties(*ctl, bag);
    // 640 x 480 pixels are 9600 x 7200 twips, for the outer and the client size.
    EXPECT_EQ(ctl->property("FormWidthDT").toInt(), 9600);
    EXPECT_EQ(ctl->property("FormHeightDT").toInt(), 7200);
    EXPECT_EQ(ctl->property("FormScaleWidthDT").toInt(), 9600);
    EXPECT_EQ(ctl->property("FormScaleHeightDT").toInt(), 7200);
}

TEST_F(ControlTest, aBagWithoutTheDesignScreenGetsTheFallbackWrittenBackOnTheNextSave) {
    screen.set(1600, 1200);
    PropertyBag old;
    old.setValue(QStringLiteral("FormWidthDT"), 9000);
    old.setValue(QStringLiteral("MaxFormWidth"), 12000);
    MorvaneCtl::ReadProperties(*ctl, old);
    ASSERT_EQ(ctl->ScreenHeightDT(), 768);
    ASSERT_EQ(ctl->ScreenWidthDT(), 1024);

    PropertyBag saved;
    MorvaneCtl::WriteProperties(*ctl, saved);
    ASSERT_TRUE(saved.contains(QStringLiteral("ScreenHeightDT")));
    ASSERT_TRUE(saved.contains(QStringLiteral("ScreenWidthDT")));
    EXPECT_EQ(saved.value(QStringLiteral("ScreenHeightDT")).toInt(), 768);
    EXPECT_EQ(saved.value(QStringLiteral("ScreenWidthDT")).toInt(), 1024);
    EXPECT_EQ(saved.value(QStringLiteral("MaxFormWidth")).toInt(), 12000);
    // The screen in use now is written as measured.
    EXPECT_EQ(saved.value(QStringLiteral("ScreenWidth")).toInt(), 1600);
}

TEST_F(ControlTest, whatOneControlSavesAnotherLoadsUnchanged) {
    ctl->InitProperties();
    MessageBoxRecorder boxes(QMessageBox::Yes);
    ctl->setResolution(Res_Custom);
    ctl->setResizeFonts(false);
    ctl->setAutoResizeOnLoad(false);
    ctl->setMaxFormHeight(-5);
    ctl->setMaxFormWidth(12000);
    ctl->setAllowFormMinimized(false);
    ctl->setMinFormHeight(1500);
    ctl->setAutoCenterForm(true);
    ctl->setResizeFormBackground(true);
    ctl->setHideControlsOnResize(true);
    PropertyBag bag;
    MorvaneCtl::WriteProperties(*ctl, bag);

    QWidget otherForm;
    otherForm.resize(300, 200);
    auto* other = new Morvane(&otherForm);
    MorvaneCtl::ReadProperties(*other, bag);
    QVariantMap a = snapshot(*ctl), b = snapshot(*other);
    EXPECT_EQ(a, b);
    EXPECT_EQ(other->MaxFormHeight(), -5);
    EXPECT_EQ(other->Resolution(), Res_Custom);
}

// A setter that asks for confirmation, the value it is given, and how the
// value is read back.
struct ConfirmedSetter {
    const char* name;  // the test's name is made from it
    std::function<void(Morvane&, int)> set;
    std::function<int(const Morvane&)> get;
    int newValue;
};

const ConfirmedSetter confirmedSetters[] = {
    {"Resolution", [](Morvane& m, int v) { m.setResolution(ScreenResolution(v)); },
     [](const Morvane& m) { return int(m.Resolution()); }, int(Res_1600x1200)},
    {"ScreenHeightDT", [](Morvane& m, int v) { m.setScreenHeightDT(v); },
     [](const Morvane& m) { return m.ScreenHeightDT(); }, 1200},
    {"ScreenWidthDT", [](Morvane& m, int v) { m.setScreenWidthDT(v); },
     [](const Morvane& m) { return m.ScreenWidthDT(); }, 1600},
};

class ConfirmedProperty : public ControlTest,
                          public ::testing::WithParamInterface<std::tuple<int, bool, bool>> {};

TEST_P(ConfirmedProperty, asksYesOrNoAndOnlyYesStoresAndNotifies) {
    const auto [which, yes, atRunTime] = GetParam();
    const ConfirmedSetter& s = confirmedSetters[which];
    placedAndLoaded();
    ctl->setUserMode(atRunTime);
    const int before = s.get(*ctl);
    ASSERT_NE(before, s.newValue);
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    MessageBoxRecorder boxes(yes ? QMessageBox::Yes : QMessageBox::No);

    s.set(*ctl, s.newValue);

    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes.calls[0].title, productName());
    EXPECT_FALSE(productName().isEmpty());
    EXPECT_EQ(normalisedBreaks(boxes.calls[0].text), warningText());
    EXPECT_EQ(boxes.calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
    if (yes) {
        EXPECT_EQ(s.get(*ctl), s.newValue);
        ASSERT_EQ(changed.count(), 1);
        EXPECT_EQ(changed.at(0).at(0).toString(), QString::fromLatin1(s.name));
    } else {
        EXPECT_EQ(s.get(*ctl), before);
        EXPECT_EQ(changed.count(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Setters, ConfirmedProperty,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Bool(),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<int, bool, bool>>& info) {
                             return std::string(confirmedSetters[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "_Yes" : "_No") +
                                    (std::get<2>(info.param) ? "_RunTime" : "_DesignTime");
                         });

TEST_F(ControlTest, whileLoadingValuesThroughQtsPropertySystemAreTakenQuietly) {
    EXPECT_TRUE(ctl->isLoading());
    EXPECT_FALSE(ctl->receivedPersistedValues());
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    MessageBoxRecorder boxes(QMessageBox::No);

    // How QUiLoader, Designer and uic hand a control its saved values.
    EXPECT_TRUE(ctl->setProperty("Resolution", QVariant::fromValue(Res_800x600)));
    EXPECT_TRUE(ctl->setProperty("ScreenWidthDT", 800));
    EXPECT_TRUE(ctl->setProperty("ScreenHeightDT", 600));
    EXPECT_TRUE(ctl->setProperty("MaxFormWidth", 6000));
    EXPECT_TRUE(ctl->setProperty("ResizeFonts", false));
    // The measured screen is saved too, and loads; it is measured again
    // when loading ends.
    EXPECT_TRUE(ctl->setProperty("ScreenHeight", 123));
    EXPECT_TRUE(ctl->setProperty("ScreenWidth", 456));

    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(ctl->Resolution(), Res_800x600);
    EXPECT_EQ(ctl->ScreenWidthDT(), 800);
    EXPECT_EQ(ctl->ScreenHeightDT(), 600);
    EXPECT_EQ(ctl->MaxFormWidth(), 6000);
    EXPECT_FALSE(ctl->ResizeFonts());
    EXPECT_EQ(ctl->ScreenHeight(), 123);
    EXPECT_TRUE(ctl->receivedPersistedValues());

    ctl->finishLoading();
    EXPECT_FALSE(ctl->isLoading());
    // The screen is measured when loading ends: 1024 x 768 against a design
    // screen of 800 x 600.
    EXPECT_EQ(ctl->ScreenWidth(), 1024);
    EXPECT_EQ(ctl->ScreenHeight(), 768);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.28f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.28f);
    EXPECT_EQ(ctl->MyParent(), &form);
    EXPECT_EQ(ctl->MyParentMDI(), nullptr);

    // Loaded, the same writes follow the setters' rules.
    EXPECT_TRUE(ctl->setProperty("ScreenWidthDT", 1600));
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(ctl->ScreenWidthDT(), 800);
    EXPECT_TRUE(ctl->setProperty("MaxFormWidth", 7000));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("MaxFormWidth"));
}

TEST_F(ControlTest, theSettersFollowTheirRulesBeforeLoadingEnds) {
    ASSERT_TRUE(ctl->isLoading());
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    QSignalSpy declined(ctl, &Morvane::PropertyChangeDeclined);
    MessageBoxRecorder boxes(QMessageBox::No);

    ctl->setScreenWidthDT(1600);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(normalisedBreaks(boxes.calls[0].text), warningText());
    EXPECT_EQ(ctl->ScreenWidthDT(), 0);
    ASSERT_EQ(declined.count(), 1);
    EXPECT_EQ(declined.at(0).at(0).toString(), QStringLiteral("ScreenWidthDT"));

    boxes.answer = QMessageBox::Yes;
    ctl->setResolution(Res_1280x1024);
    EXPECT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(ctl->Resolution(), Res_1280x1024);
    ctl->setMinFormWidth(1500);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("Resolution"));
    EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("MinFormWidth"));
    EXPECT_FALSE(ctl->receivedPersistedValues()) << "the developer's values are no saved ones";

    for (bool height : {false, true}) {
        QSignalSpy errors(ctl, &Morvane::errorOccurred);
        if (height)
            ctl->setScreenHeight(1200);
        else
            ctl->setScreenWidth(1600);
        ASSERT_EQ(errors.count(), 1) << "the screen size was set while loading";
        EXPECT_EQ(errors.at(0).at(0).toInt(), MorvaneCtl::SetNotSupportedAtRunTime);
    }
    EXPECT_TRUE(ctl->isLoading());
}

class RefusedProperty : public ControlTest,
                        public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(RefusedProperty, screenSizeIsRefusedWith387AtDesignTimeAnd382AtRunTime) {
    const auto [height, atRunTime] = GetParam();
    placedAndLoaded();
    ctl->setUserMode(atRunTime);
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    MessageBoxRecorder boxes(QMessageBox::Yes);
    QSignalSpy errors(ctl, &Morvane::errorOccurred);
    if (height)
        ctl->setScreenHeight(1200);
    else
        ctl->setScreenWidth(1600);
    ASSERT_EQ(errors.count(), 1) << "the setter took the value";
    EXPECT_EQ(errors.at(0).at(0).toInt(), atRunTime ? 382 : 387);
    EXPECT_EQ(errors.at(0).at(1).toString(),
              atRunTime ? QStringLiteral("Property set not supported at run time")
                        : QStringLiteral("Property set not permitted"));
    EXPECT_EQ(ctl->ScreenHeight(), 768);
    EXPECT_EQ(ctl->ScreenWidth(), 1024);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Setters, RefusedProperty,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<bool, bool>>& info) {
                             return std::string(std::get<0>(info.param) ? "ScreenHeight"
                                                                        : "ScreenWidth") +
                                    (std::get<1>(info.param) ? "_RunTime" : "_DesignTime");
                         });

// A property set through Qt's property system and the value given.
struct Notified {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const Notified& row, std::ostream* os) { *os << row.name; }
    QVariant value;
};

class StoredProperty : public ControlTest, public ::testing::WithParamInterface<Notified> {};

TEST_P(StoredProperty, storesTheValueUncheckedAndNotifiesItsName) {
    placedAndLoaded();
    QSignalSpy changed(ctl, &Morvane::PropertyChanged);
    MessageBoxRecorder boxes(QMessageBox::No);
    ASSERT_NE(ctl->property(GetParam().name), GetParam().value);

    ASSERT_TRUE(ctl->setProperty(GetParam().name, GetParam().value));

    EXPECT_EQ(ctl->property(GetParam().name), GetParam().value);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QString::fromLatin1(GetParam().name));
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Setters, StoredProperty,
    ::testing::Values(Notified{"ResizeFonts", false}, Notified{"AutoResizeControls", false},
                      Notified{"AutoResizeOnLoad", false},
                      // Negative limits are kept as given (they mean no limit).
                      Notified{"MaxFormHeight", -5}, Notified{"MaxFormWidth", 6000},
                      Notified{"AllowFormMaximized", false}, Notified{"AllowFormMinimized", false},
                      Notified{"MinFormHeight", 1500}, Notified{"MinFormWidth", -1},
                      Notified{"AutoCenterForm", true}, Notified{"FormHeightDT", 6060},
                      Notified{"FormWidthDT", 9060}, Notified{"FormScaleHeightDT", 6000},
                      Notified{"FormScaleWidthDT", 9000}, Notified{"ResizeFormBackground", true},
                      Notified{"HideControlsOnResize", true}),
    [](const ::testing::TestParamInfo<Notified>& info) { return std::string(info.param.name); });

// Loads a control designed on one screen with the current screen measured.
Morvane* loadDesignedOn(QWidget& form, int width, int height) {
    auto* ctl = new Morvane(&form);
    PropertyBag bag;
    bag.setValue(QStringLiteral("ScreenWidthDT"), width);
    bag.setValue(QStringLiteral("ScreenHeightDT"), height);
    MorvaneCtl::ReadProperties(*ctl, bag);
    return ctl;
}

TEST(SharedRatios, theControlLoadedLastSetsTheRatioForAll) {
    ScreenStandIn screen(1600, 1200);
    QWidget formA, formB, formA2;
    formA.setObjectName(uniqueFormName(QStringLiteral("FormA")));
    formB.setObjectName(uniqueFormName(QStringLiteral("FormB")));
    formA2.setObjectName(formA.objectName());

    loadDesignedOn(formA, 800, 600);
    // 1600 / 800 and 1200 / 600.
    EXPECT_FLOAT_EQ(ScreenRatioX(), 2.0f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 2.0f);

    loadDesignedOn(formB, 1280, 1024);
    // 1600 / 1280 = 1.25 and 1200 / 1024 = 1.171875, both exact in binary.
    EXPECT_FLOAT_EQ(ScreenRatioX(), 1.25f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 1.171875f);

    loadDesignedOn(formA2, 800, 600);
    EXPECT_FLOAT_EQ(ScreenRatioX(), 2.0f);
    EXPECT_FLOAT_EQ(ScreenRatioY(), 2.0f);
}

TEST_F(ControlTest, aboutShowsTheVersionWithAnOkButton) {
    placedAndLoaded();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+$")).match(versionText()).hasMatch())
        << versionText().toStdString();
    MessageBoxRecorder boxes(QMessageBox::Ok);
    ctl->About();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].title, productName());
    EXPECT_TRUE(boxes.calls[0].text.contains(versionText())) << boxes.calls[0].text.toStdString();
    EXPECT_TRUE(boxes.calls[0].buttons.testFlag(QMessageBox::Ok));
}

class OwnFace : public ::testing::TestWithParam<int> {};

TEST_P(OwnFace, isASquareOf480TwipsInTheDesigner) {
    const int twipsPerPixel = GetParam();
    setScreenOverride(ScreenMetrics::ofPixels(1024, 768, twipsPerPixel));
    QWidget form;
    form.setObjectName(uniqueFormName(QStringLiteral("FormFace")));
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.resize(300, 200);
    auto* ctl = new Morvane(&form);
    ctl->setUserMode(false);
    ctl->InitProperties();
    showAndSettle(&form);
    const int side = 480 / twipsPerPixel;
    // Whatever size the designer gives it.
    for (QSize given : {QSize(100, 50), QSize(10, 90), QSize(side, side + 1)}) {
        ctl->resize(given);
        settle();
        EXPECT_EQ(ctl->size(), QSize(side, side)) << "given " << ::testing::PrintToString(given);
    }
    setScreenOverride(std::nullopt);
}

// 15 twips per pixel (96 dots per inch) and 12 (120 dots per inch).
INSTANTIATE_TEST_SUITE_P(Densities, OwnFace, ::testing::Values(15, 12));

}  // namespace
