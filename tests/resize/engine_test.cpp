// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The layout engine: which widgets are a form's controls, how a form and its
// controls are recorded, the integer percents, and how a pass sets every
// control from its record: truncating scaling, parking, lines, fonts, grids,
// labels that size themselves, control arrays, tab heights.
//
// The forms here stay hidden, so nothing but the calls below runs a pass.
// Their client size is set in pixels on a screen of 15 twips per pixel.
#include "engine.h"

#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <climits>
#include <cmath>
#include <functional>
#include <random>

#include "fakecontrols.h"
#include "latebinding.h"
#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace MorvaneCtl::ResizeFunctions;
using namespace resizetest;

namespace {

QStringList namesOf(const QList<QWidget*>& widgets) {
    QStringList names;
    for (QWidget* w : widgets) names << w->objectName();
    return names;
}

// A hidden form of 600 x 400 pixels, designed with a client of 9000 x 6000
// twips, its own font at 8 points, on a 1024 x 768 screen.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        form.setObjectName(uniqueFormName(QStringLiteral("FormEngine")));
        form.resize(600, 400);
        QFont f = form.font();
        f.setPointSizeF(8);
        form.setFont(f);
        useDesign(9000, 6000);
    }

    // The working copies a control hands the engine before a pass.
    static void useDesign(int clientWidth, int clientHeight, bool resizeFonts = true) {
        WorkingCopies& wc = workingCopies();
        wc = WorkingCopies{};
        wc.resizeFonts = resizeFonts;
        wc.formWidthDT = clientWidth;
        wc.formHeightDT = clientHeight;
        wc.formScaleWidthDT = clientWidth;
        wc.formScaleHeightDT = clientHeight;
    }

    // The form's client size in twips (multiples of 15).
    void sizeClient(int width, int height) {
        form.resize(width / TwipsPerPixel, height / TwipsPerPixel);
    }
    void pass() { ResizeForm(&form); }

    const ControlRecord* recordOf(QWidget* control) {
        const int i = FindControlRecord(control, form.objectName());
        return i < 0 ? nullptr : &controlTable()[size_t(i)];
    }
    int recordsOfForm(const QString& name) const {
        int n = 0;
        for (const ControlRecord& r : controlTable()) n += r.formName == name;
        return n;
    }

    ScreenStandIn screen{1024, 768};
    QWidget form;
};

TEST(EngineArithmetic, scaleTruncatesTowardZeroAndRefusesA32BitOverflow) {
    struct Row {
        int v, p;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {1001, 150, 1501},               // 150150 / 100 = 1501.5, truncated
        {-150, 101, -151},               // -15150 / 100 = -151.5, toward zero
        {1999, 120, 2398},               // 239880 / 100 = 2398.8
        {-1999, 120, -2398},             // toward zero on the negative side too
        {14000000, 150, 21000000},       // product 2 100 000 000 fits in 32 bits
        {16000000, 150, std::nullopt},   // 2 400 000 000 does not
        {-16000000, 150, std::nullopt},  // nor -2 400 000 000
        {INT_MAX, 1, INT_MAX / 100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.v) + " at " + std::to_string(r.p));
        EXPECT_EQ(scale(r.v, r.p), r.expected);
    }
}

// The pass rounds twips to pixels without the maths library; it must round
// exactly as nearbyint does (halves to even), edges and ties included.
TEST(EngineArithmetic, roundingToALongMatchesNearbyintEverywhere) {
    std::vector<double> values{0.0,
                               0.5,
                               1.5,
                               2.5,
                               -0.5,
                               -1.5,
                               -2.5,
                               0.49999999999,
                               7.5 / 15,
                               2147483647.0,
                               2147483647.4,
                               2147483647.5,
                               -2147483648.0,
                               -2147483648.5,
                               1e-300,
                               -1e-300,
                               4503599627370495.5};
    std::mt19937 random(21);
    std::uniform_real_distribution<double> anywhere(-3e9, 3e9);
    std::uniform_int_distribution<int> twips(-200000, 200000);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(anywhere(random));
        values.push_back(twips(random) / 12.0);  // ties where a pixel is 12 twips
        values.push_back(twips(random) / 15.0);
    }
    for (double v : values) {
        const double r = std::nearbyint(v);
        const std::optional<int> want =
            r >= -2147483648.0 && r <= 2147483647.0 ? std::optional<int>(int(r)) : std::nullopt;
        EXPECT_EQ(MorvaneCtl::ResizeFunctions::detail::roundedLong(v), want) << v;
    }
    EXPECT_EQ(MorvaneCtl::ResizeFunctions::detail::roundedLong(std::nan("")), std::nullopt);
    EXPECT_EQ(MorvaneCtl::ResizeFunctions::detail::roundedLong(INFINITY), std::nullopt);
}

TEST(EngineArithmetic, unparkAddsTheOffsetOnlyBelowMinus40000) {
    EXPECT_EQ(UnparkCoordinate(-74000), 1000);
    EXPECT_EQ(UnparkCoordinate(-40001), 34999);
    EXPECT_EQ(UnparkCoordinate(-40000), -40000);
    EXPECT_EQ(UnparkCoordinate(-150), -150);
    EXPECT_EQ(UnparkCoordinate(5000), 5000);
}

TEST_F(EngineTest, controlsAreTheWidgetsNoLayoutPlacesDepthFirstNamedOrNot) {
    new TwipControl(&form, QStringLiteral("Alpha"), {0, 0, 10, 10});
    auto* unnamed = new QWidget(&form);
    new TwipControl(unnamed, QStringLiteral("UnderUnnamed"), {0, 0, 10, 10});
    auto* frame = new QFrame(&form);
    frame->setObjectName(QStringLiteral("Frame1"));
    new TwipControl(frame, QStringLiteral("Inner1"), {0, 0, 10, 10});
    new QLabel(frame);  // no name, in a frame
    new TwipControl(frame, QStringLiteral("Inner2"), {0, 0, 10, 10});
    auto* boxed = new QWidget(&form);
    boxed->setObjectName(QStringLiteral("Boxed"));
    auto* row = new QHBoxLayout(boxed);
    auto* inLayout = new QPushButton(QStringLiteral("OK"), boxed);
    inLayout->setObjectName(QStringLiteral("InLayout"));
    row->addWidget(inLayout);
    auto* internal = new QWidget(&form);
    internal->setObjectName(QStringLiteral("qt_private_part"));
    new QPushButton(internal);  // no name, inside one of Qt's own parts
    // A table's headers and corner button have no names; they are the
    // table's parts, not the form's controls.
    auto* table = new QTableWidget(3, 3, &form);
    table->setObjectName(QStringLiteral("Grid1"));
    new TwipControl(&form, QStringLiteral("Omega"), {0, 0, 10, 10});

    QStringList places;
    for (QWidget* w : formControls(&form)) places << placeOf(w);
    // Unnamed widgets go by their place: class and position among the
    // widgets of their parent, Qt's own parts not counted.
    EXPECT_EQ(places, QStringList({"Alpha", "/QWidget#1", "UnderUnnamed", "Frame1", "Inner1",
                                   "/Frame1#2/QLabel#1", "Inner2", "Boxed", "Grid1", "Omega"}));
}

TEST_F(EngineTest, theControlsOnATabPageAreCollectedButNotThePagesOrTheTabParts) {
    auto* tabs = new QTabWidget(&form);
    tabs->setObjectName(QStringLiteral("TabStrip1"));
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page1"));
    tabs->addTab(page, QStringLiteral("One"));
    auto* onPage = new QPushButton(page);
    onPage->setObjectName(QStringLiteral("OnPage"));

    const QStringList names = namesOf(formControls(&form));
    EXPECT_TRUE(names.contains(QStringLiteral("TabStrip1"))) << names.join(',').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("OnPage"))) << names.join(',').toStdString();
    EXPECT_LT(names.indexOf(QStringLiteral("TabStrip1")), names.indexOf(QStringLiteral("OnPage")));
    // The page is placed by the tab widget's stack layout.
    EXPECT_FALSE(names.contains(QStringLiteral("Page1")));
    for (const QString& n : names)
        EXPECT_FALSE(n.startsWith(QLatin1String("qt_"))) << n.toStdString();
}

TEST_F(EngineTest, registrationRecordsTheFormAndEveryControlAsTheyAre) {
    auto* a = new TwipControl(&form, QStringLiteral("Command1"), {1001, 2003, 3001, 1999}, 10);
    auto* line = new TwipLine(&form, QStringLiteral("Line1"), -74000, 300, 5000, 900);
    auto* tabs = new TwipTabs(&form, QStringLiteral("SSTab1"), {-74000, 100, 4000, 3000}, 450);
    form.move(40, 30);

    const int index = RegisterForm(&form);
    ASSERT_GE(index, 0);
    EXPECT_EQ(FindFormRecord(&form), index);
    const FormRecord& f = formTable()[size_t(index)];
    EXPECT_EQ(f.name, form.objectName());
    EXPECT_EQ(f.left, 40 * 15);
    EXPECT_EQ(f.top, 30 * 15);
    EXPECT_EQ(f.designScaleWidth, 9000);
    EXPECT_EQ(f.designScaleHeight, 6000);
    EXPECT_FLOAT_EQ(f.fontSize, 8.0f);
    EXPECT_TRUE(f.SavedState.isEmpty());

    const ControlRecord* r = recordOf(a);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, QStringLiteral("Command1"));
    EXPECT_EQ(r->index, 0);
    EXPECT_EQ(r->formName, form.objectName());
    EXPECT_EQ(r->x, 1001);
    EXPECT_EQ(r->y, 2003);
    EXPECT_EQ(r->extentX, 3001);
    EXPECT_EQ(r->extentY, 1999);
    EXPECT_FLOAT_EQ(r->fontSize, 10.0f);
    EXPECT_EQ(r->tabHeight, 0);

    // A line keeps its end points, x unparked: -74000 + 75000 = 1000.
    const ControlRecord* l = recordOf(line);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->x, 1000);
    EXPECT_EQ(l->y, 300);
    EXPECT_EQ(l->extentX, 5000);
    EXPECT_EQ(l->extentY, 900);
    EXPECT_FLOAT_EQ(l->fontSize, 0.0f);

    const ControlRecord* t = recordOf(tabs);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x, 1000);
    EXPECT_EQ(t->tabHeight, 450);
    EXPECT_EQ(recordsOfForm(form.objectName()), 3);
}

// Percents of a client size against the design client of 9000 x 6000 twips.
struct PercentCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const PercentCase& row, std::ostream* os) { *os << row.name; }
    int clientWidthPx, clientHeightPx;
    int widthPercent, heightPercent;
};

class Percents : public EngineTest, public ::testing::WithParamInterface<PercentCase> {};

TEST_P(Percents, areTheClientAgainstTheDesignClientRoundedHalfToEven) {
    const PercentCase& c = GetParam();
    pass();
    form.resize(c.clientWidthPx, c.clientHeightPx);
    EXPECT_EQ(WidthPercent(&form), c.widthPercent);
    EXPECT_EQ(HeightPercent(&form), c.heightPercent);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Percents,
                         ::testing::Values(
                             // 13500 / 9000 and 7200 / 6000.
                             PercentCase{"exact", 900, 480, 150, 120},
                             // 9045 / 9000 = 100.5 and 6030 / 6000 = 100.5: down to the even 100.
                             PercentCase{"halfDownToEven", 603, 402, 100, 100},
                             // 9135 / 9000 = 101.5 and 6090 / 6000 = 101.5: up to the even 102.
                             PercentCase{"halfUpToEven", 609, 406, 102, 102},
                             // 8955 / 9000 = 99.5 and 5970 / 6000 = 99.5: up to the even 100.
                             PercentCase{"halfBelowHundred", 597, 398, 100, 100},
                             // 8865 / 9000 = 98.5 and 5910 / 6000 = 98.5: down to the even 98.
                             PercentCase{"halfToNinetyEight", 591, 394, 98, 98},
                             // 9075 / 9000 = 100.83 and 6015 / 6000 = 100.25: to the nearest.
                             PercentCase{"nearest", 605, 401, 101, 100},
                             PercentCase{"half", 300, 200, 50, 50}),
                         [](const ::testing::TestParamInfo<PercentCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(EngineTest, noPercentForAnUnknownFormOrADesignClientOfZero) {
    EXPECT_EQ(WidthPercent(&form), std::nullopt);
    EXPECT_EQ(HeightPercent(&form), std::nullopt);
    useDesign(0, 0);
    pass();
    EXPECT_EQ(WidthPercent(&form), std::nullopt);
    EXPECT_EQ(HeightPercent(&form), std::nullopt);
}

// A control recorded at one geometry, the client size of the pass, and where
// the control must end up.
struct PassCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const PassCase& row, std::ostream* os) { *os << row.name; }
    int clientWidthPx, clientHeightPx;
    QRect recorded, expected;
};

class OnePass : public EngineTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(OnePass, setsTheRecordTimesThePercentTruncated) {
    const PassCase& c = GetParam();
    auto* control = new TwipControl(&form, QStringLiteral("Text1"), c.recorded);
    form.resize(c.clientWidthPx, c.clientHeightPx);
    pass();
    EXPECT_EQ(control->twips(), c.expected);
    // Every pass starts from the record, not from where the last one left it.
    pass();
    EXPECT_EQ(control->twips(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scaling, OnePass,
    ::testing::Values(
        // 150 % and 120 %: 1001 * 1.5 = 1501.5 -> 1501, 2003 * 1.2 = 2403.6 ->
        // 2403, 3001 * 1.5 = 4501.5 -> 4501, 1999 * 1.2 = 2398.8 -> 2398.
        PassCase{"by150And120", 900, 480, {1001, 2003, 3001, 1999}, {1501, 2403, 4501, 2398}},
        // 101 %: -150 -> -151.5 -> -151 (toward zero), 99 -> 99.99 -> 99,
        // 199 -> 200.99 -> 200.
        PassCase{"negativeTowardZero", 606, 404, {-150, -150, 99, 199}, {-151, -151, 99, 200}},
        // 100.5 % rounds to 100: nothing moves.
        PassCase{"halfPercentDown", 603, 402, {1001, 2003, 3001, 1999}, {1001, 2003, 3001, 1999}},
        // 101.5 % rounds to 102: 1021.02, 2043.06, 3061.02, 2038.98.
        PassCase{"halfPercentUp", 609, 406, {1001, 2003, 3001, 1999}, {1021, 2043, 3061, 2038}},
        // 50 %: 500.5, 1001.5, 1500.5, 999.5 all truncated.
        PassCase{"byHalf", 300, 200, {1001, 2003, 3001, 1999}, {500, 1001, 1500, 999}}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

// Plain Qt widgets are placed without looking their properties up by name;
// a twin holding any dynamic property goes the way by name. Both ways must
// agree on every control, every percent and every odd value.
TEST_F(EngineTest, plainWidgetsArePlacedExactlyAsByName) {
    struct Made {
        QWidget *direct, *byName;
    };
    std::vector<Made> pairs;
    int n = 0;
    auto twin = [&](auto make, QRect r, double points = 10) {
        QWidget* ws[2] = {make(), make()};
        for (QWidget* w : ws) {
            w->setObjectName(QStringLiteral("Twin%1").arg(n++));
            w->setGeometry(r);
            QFont f = w->font();
            f.setPointSizeF(points);
            w->setFont(f);
        }
        ws[1]->setProperty("Tag", 7);  // no name the engine knows, but dynamic
        pairs.push_back({ws[0], ws[1]});
    };
    twin([&] { return new QPushButton(QStringLiteral("OK"), &form); }, {10, 10, 81, 23});
    twin([&] { return new QLabel(QStringLiteral("Label"), &form); }, {7, 33, 101, 17}, 9);
    twin([&] { return new QListWidget(&form); }, {3, 5, 120, 77}, 11);
    twin([&] { return new QTableWidget(2, 2, &form); }, {300, 5, 120, 77});
    twin([&] { return new QTabWidget(&form); }, {200, 150, 160, 100});
    twin([&] { return new QPushButton(&form); },
         {-4934, 40, 50, 20});  // parked: left < -40000 twips
    twin([&] { return new QPushButton(&form); }, {-20, -13, 1, 1});
    twin([&] { return new QPushButton(&form); }, {0, 0, 0, 0});
    for (QTabWidget* tabs : form.findChildren<QTabWidget*>())
        tabs->addTab(new QWidget, QStringLiteral("One"));

    // Client sizes giving percents of 50 to 301, rounded halves included.
    const QSize clients[] = {{600, 400}, {900, 480},   {603, 402}, {609, 406},
                             {300, 200}, {1806, 1204}, {601, 599}, {451, 333}};
    for (bool fonts : {false, true}) {
        useDesign(9000, 6000, fonts);
        for (const QSize& client : clients) {
            form.resize(client);
            pass();
            for (const Made& m : pairs) {
                SCOPED_TRACE(m.direct->metaObject()->className() + std::string(" at ") +
                             ::testing::PrintToString(client) + (fonts ? " with fonts" : ""));
                EXPECT_EQ(m.direct->geometry(), m.byName->geometry());
                EXPECT_EQ(m.direct->font().pointSizeF(), m.byName->font().pointSizeF());
                if (auto* tabs = qobject_cast<QTabWidget*>(m.direct)) {
                    EXPECT_EQ(tabs->tabBar()->styleSheet(),
                              static_cast<QTabWidget*>(m.byName)->tabBar()->styleSheet());
                }
            }
        }
    }
}

TEST_F(EngineTest, anOverflowLeavesThatTargetAtZeroAndTheOthersScaled) {
    // At 150 % a width of 16 000 000 overflows (2.4e9 > 2^31 - 1): that
    // target keeps its starting value 0; the other three are still set.
    auto* huge = new TwipControl(&form, QStringLiteral("Huge"), {1001, 2003, 16000000, 1999});
    // 14 000 000 * 150 = 2.1e9 still fits.
    auto* large = new TwipControl(&form, QStringLiteral("Large"), {1001, 2003, 14000000, 1999});
    sizeClient(13500, 7200);
    pass();
    EXPECT_EQ(huge->twips(), QRect(1501, 2403, 0, 2398));
    EXPECT_EQ(large->twips(), QRect(1501, 2403, 21000000, 2398));
}

TEST_F(EngineTest, aParkedControlStaysParkedUntilItsTabIsShown) {
    // Recorded unparked: -74000 + 75000 = 1000.
    auto* parked = new TwipControl(&form, QStringLiteral("Text2"), {-74000, 500, 1000, 300});
    sizeClient(18000, 6000);  // 200 % and 100 %
    pass();
    ASSERT_NE(recordOf(parked), nullptr);
    EXPECT_EQ(recordOf(parked)->x, 1000);
    // Still parked: 1000 * 2 - 75000.
    EXPECT_EQ(parked->twips(), QRect(-73000, 500, 2000, 300));
    pass();
    EXPECT_EQ(parked->twips(), QRect(-73000, 500, 2000, 300));

    // Its tab is shown: the container brings it back into view.
    parked->setLeft(1000);
    pass();
    EXPECT_EQ(parked->twips(), QRect(2000, 500, 2000, 300));
}

TEST_F(EngineTest, linesScaleEachEndPointOnItsOwn) {
    auto* flat = new TwipLine(&form, QStringLiteral("Line1"), 1000, 2000, 5000, 2000);
    auto* diagonal = new TwipLine(&form, QStringLiteral("Line2"), 0, 0, 3000, 3000);
    auto* parked = new TwipLine(&form, QStringLiteral("Line3"), -74000, 100, -70000, 100);
    sizeClient(13500, 7200);  // 150 % and 120 %
    pass();
    EXPECT_EQ(flat->ends(), (std::array<int, 4>{1500, 2400, 7500, 2400}));
    // The slope is kept only where both percents agree: 45 degrees no more.
    EXPECT_EQ(diagonal->ends(), (std::array<int, 4>{0, 0, 4500, 3600}));
    // Recorded as 1000 and 5000; both ends still parked: 1500 - 75000 and
    // 7500 - 75000.
    EXPECT_EQ(parked->ends(), (std::array<int, 4>{-73500, 120, -67500, 120}));

    parked->setX1(1000);
    parked->setX2(5000);
    pass();
    EXPECT_EQ(parked->ends(), (std::array<int, 4>{1500, 120, 7500, 120}));
}

TEST_F(EngineTest, tabHeightScalesWithTheHeightPercent) {
    auto* tabs = new TwipTabs(&form, QStringLiteral("SSTab1"), {300, 300, 6000, 3000}, 450);
    sizeClient(13500, 7200);
    pass();
    // 450 * 120 / 100.
    EXPECT_EQ(tabs->TabHeight(), 540);
    EXPECT_EQ(tabs->twips(), QRect(450, 360, 9000, 3600));
}

// A tab bar's style sheet before a pass, and after the pass has set a tab
// height of 31 pixels.
struct SheetCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const SheetCase& row, std::ostream* os) { *os << row.name; }
    const char *before, *after;
};

class TabSheets : public ::testing::TestWithParam<SheetCase> {};

TEST_P(TabSheets, keepTheTabBarsOwnRulesBesideTheTabHeight) {
    EXPECT_EQ(LateBound::withTabHeight(QString::fromUtf8(GetParam().before), 31),
              QString::fromUtf8(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, TabSheets,
    ::testing::Values(
        SheetCase{"none", "", "/* Morvane TabHeight */ QTabBar::tab { height: 31px; }"},
        // Declarations alone are the tab bar's own rule, as Qt reads them.
        SheetCase{"declarations", "color: red",
                  "* { color: red }\n/* Morvane TabHeight */ QTabBar::tab { height: 31px; }"},
        SheetCase{"rules", "QTabBar::tab { color: red; }\nQTabBar { font: bold; }",
                  "QTabBar::tab { color: red; }\nQTabBar { font: bold; }\n"
                  "/* Morvane TabHeight */ QTabBar::tab { height: 31px; }"},
        // The height of an earlier pass is replaced, not added to.
        SheetCase{"earlierPass",
                  "* { color: red }\n/* Morvane TabHeight */ QTabBar::tab { height: 20px; }",
                  "* { color: red }\n/* Morvane TabHeight */ QTabBar::tab { height: 31px; }"},
        SheetCase{"earlierPassAlone", "/* Morvane TabHeight */ QTabBar::tab { height: 20px; }",
                  "/* Morvane TabHeight */ QTabBar::tab { height: 31px; }"}),
    [](const ::testing::TestParamInfo<SheetCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, theTabHeightOfARealTabWidgetKeepsTheTabBarsStyleSheet) {
    auto* tabs = new QTabWidget(&form);
    tabs->setObjectName(QStringLiteral("TabStrip1"));
    tabs->setGeometry(20, 20, 300, 150);
    tabs->addTab(new QWidget, QStringLiteral("One"));
    tabs->addTab(new QWidget, QStringLiteral("Two"));
    tabs->tabBar()->setStyleSheet(QStringLiteral("color: red"));
    tabs->tabBar()->ensurePolished();
    const int designTab = tabs->tabBar()->sizeHint().height();
    ASSERT_GT(designTab, 0);
    ASSERT_EQ(tabs->tabBar()->palette().color(QPalette::ButtonText), QColor(Qt::red));
    sizeClient(9000, 12000);  // 100 % and 200 %
    pass();

    const QString sheet = tabs->tabBar()->styleSheet();
    EXPECT_TRUE(sheet.startsWith(QLatin1String("* { color: red }"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.endsWith(QStringLiteral("QTabBar::tab { height: %1px; }").arg(2 * designTab)))
        << sheet.toStdString();
    tabs->tabBar()->ensurePolished();
    EXPECT_EQ(tabs->tabBar()->palette().color(QPalette::ButtonText), QColor(Qt::red));
    EXPECT_NEAR(tabs->tabBar()->sizeHint().height(), 2 * designTab, 2);
}

// A kind of control, made on a parent with a 10 point font, and whether a
// pass with fonts on scales that font.
struct FontCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const FontCase& row, std::ostream* os) { *os << row.name; }
    std::function<QWidget*(QWidget*)> make;
    bool scaled;
};

QWidget* withTenPoints(QWidget* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(10, 10, 100, 60);
    QFont f = w->font();
    f.setPointSizeF(10);
    w->setFont(f);
    return w;
}

class Fonts : public EngineTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(Fonts, scaleBySmallerPercentExceptOnGrids) {
    QWidget* control = GetParam().make(&form);
    sizeClient(13500, 7200);  // 150 % and 120 %: fonts take 120 %
    pass();
    // 10 points * 120 / 100 = 12 points, or unchanged on a grid.
    EXPECT_DOUBLE_EQ(control->font().pointSizeF(), GetParam().scaled ? 12.0 : 10.0);
    // The form's own font: 8 points * 120 / 100.
    EXPECT_NEAR(form.font().pointSizeF(), 9.6, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Fonts,
    ::testing::Values(
        FontCase{"plainControl",
                 [](QWidget* p) {
                     return new TwipControl(p, QStringLiteral("Text1"), {0, 0, 900, 300});
                 },
                 true},
        FontCase{"gridAnsweringColsCount",
                 [](QWidget* p) {
                     return new TwipGrid(p, QStringLiteral("MSFlexGrid1"), {0, 0, 900, 300});
                 },
                 false},
        FontCase{"viewAnsweringColumnsCount",
                 [](QWidget* p) {
                     return new TwipColumnsView(p, QStringLiteral("ListView1"), {0, 0, 900, 300});
                 },
                 false},
        FontCase{"tableWidget",
                 [](QWidget* p) { return withTenPoints(new QTableWidget(3, 4, p), "Grid1"); },
                 false},
        FontCase{"treeWidget",
                 [](QWidget* p) { return withTenPoints(new QTreeWidget(p), "Tree1"); }, false},
        // Still waiting for its model, a view is a grid all the same.
        FontCase{"tableViewWithoutModel",
                 [](QWidget* p) { return withTenPoints(new QTableView(p), "Grid2"); }, false},
        FontCase{"treeViewWithoutModel",
                 [](QWidget* p) { return withTenPoints(new QTreeView(p), "Tree2"); }, false},
        FontCase{"listWidget",
                 [](QWidget* p) { return withTenPoints(new QListWidget(p), "List1"); }, true},
        FontCase{"listView", [](QWidget* p) { return withTenPoints(new QListView(p), "List2"); },
                 true},
        FontCase{"pushButton",
                 [](QWidget* p) { return withTenPoints(new QPushButton(p), "Command1"); }, true},
        FontCase{"label", [](QWidget* p) { return withTenPoints(new QLabel(p), "Label1"); }, true}),
    [](const ::testing::TestParamInfo<FontCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, fontsFollowWhicheverPercentIsSmaller) {
    auto* a = new TwipControl(&form, QStringLiteral("Text1"), {0, 0, 900, 300}, 10);
    sizeClient(7200, 9000);  // 80 % and 150 %
    pass();
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 8.0);
    // Always from the record: 10 points * 150 / 100, not 8 * 1.5.
    sizeClient(13500, 9000);
    pass();
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 15.0);
}

TEST_F(EngineTest, withFontsOffNoFontChangesButEverythingMoves) {
    useDesign(9000, 6000, false);
    auto* a = new TwipControl(&form, QStringLiteral("Text1"), {1000, 1000, 900, 300}, 10);
    auto* list = withTenPoints(new QListWidget(&form), "List1");
    sizeClient(13500, 7200);
    pass();
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 10.0);
    EXPECT_DOUBLE_EQ(list->font().pointSizeF(), 10.0);
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 8.0);
    EXPECT_EQ(a->twips(), QRect(1500, 1200, 1350, 360));
}

class SelfSizingLabel : public EngineTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SelfSizingLabel, isOnlyMovedByThePass) {
    const bool fonts = GetParam();
    useDesign(9000, 6000, fonts);
    auto label = [this](const char* name, QVariant autoSize) {
        auto* l = new QLabel(QStringLiteral("Caption"), &form);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(10, 20, 100, 20);
        if (autoSize.isValid()) l->setProperty("AutoSize", autoSize);
        return l;
    };
    QLabel* sizing = label("Label1", true);
    QLabel* fixed = label("Label2", false);
    QLabel* plain = label("Label3", QVariant());
    sizeClient(18000, 12000);  // 200 % both ways
    pass();
    // 10, 20 pixels doubled; the size is the label's own business: the pass
    // never gives it the scaled 200 x 40, and without a font change it has
    // no reason to change at all.
    EXPECT_EQ(sizing->pos(), QPoint(20, 40));
    EXPECT_NE(sizing->size(), QSize(200, 40));
    if (!fonts) {
        EXPECT_EQ(sizing->size(), QSize(100, 20));
    }
    EXPECT_EQ(fixed->geometry(), QRect(20, 40, 200, 40));
    EXPECT_EQ(plain->geometry(), QRect(20, 40, 200, 40));
}

INSTANTIATE_TEST_SUITE_P(Fonts, SelfSizingLabel, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "fontsScaled" : "fontsKept");
                         });

TEST_F(EngineTest, controlArrayElementsAreToldApartByTheirIndex) {
    // Element 1 comes first among the form's children.
    auto* second = new TwipControl(&form, QStringLiteral("Option1"), {3000, 600, 900, 300});
    second->setProperty("Index", 1);
    auto* first = new TwipControl(&form, QStringLiteral("Option1"), {1500, 600, 900, 300});
    first->setProperty("Index", 0);
    auto* single = new TwipControl(&form, QStringLiteral("Check1"), {1500, 1500, 900, 300});
    sizeClient(18000, 12000);
    pass();

    EXPECT_EQ(recordsOfForm(form.objectName()), 3);
    ASSERT_NE(recordOf(first), nullptr);
    ASSERT_NE(recordOf(second), nullptr);
    ASSERT_NE(recordOf(single), nullptr);
    EXPECT_EQ(recordOf(first)->index, 0);
    EXPECT_EQ(recordOf(second)->index, 1);
    EXPECT_EQ(recordOf(single)->index, 0);
    EXPECT_NE(recordOf(first), recordOf(second));
    EXPECT_EQ(first->twips(), QRect(3000, 1200, 1800, 600));
    EXPECT_EQ(second->twips(), QRect(6000, 1200, 1800, 600));
    EXPECT_EQ(single->twips(), QRect(3000, 3000, 1800, 600));
}

TEST_F(EngineTest, twoInstancesOfOneFormShareOneRecordAndItsDesignReferences) {
    auto* a1 = new TwipControl(&form, QStringLiteral("Command1"), {1500, 600, 900, 300});
    auto* a2 = new TwipControl(&form, QStringLiteral("Text1"), {3000, 1500, 1200, 450});
    pass();

    // A second instance of the same form, whose control carries another
    // design size and whose controls stand elsewhere before its first pass.
    QWidget twin;
    twin.setObjectName(form.objectName());
    auto* b1 = new TwipControl(&twin, QStringLiteral("Command1"), {15, 15, 15, 15});
    auto* b2 = new TwipControl(&twin, QStringLiteral("Text1"), {30, 30, 30, 30});
    useDesign(4500, 3000);
    twin.resize(1200, 800);  // 18000 x 12000 twips: 200 % of the first record
    ResizeForm(&twin);

    int formRecords = 0;
    for (const FormRecord& f : formTable()) formRecords += f.name == form.objectName();
    EXPECT_EQ(formRecords, 1);
    EXPECT_EQ(recordsOfForm(form.objectName()), 2);
    EXPECT_EQ(b1->twips(), QRect(3000, 1200, 1800, 600));
    EXPECT_EQ(b2->twips(), QRect(6000, 3000, 2400, 900));
    EXPECT_EQ(a1->twips(), QRect(1500, 600, 900, 300));
    EXPECT_EQ(a2->twips(), QRect(3000, 1500, 1200, 450));
}

// A control added after registration is recorded by the pass that meets it,
// as placed at the form's scale then (here 200 %), so it stays where it was
// put instead of being taken as a design value at 100 % or sent to (0, 0).
TEST_F(EngineTest, aControlAddedAfterRegistrationIsRecordedOnTheSpotAtTheFormsScale) {
    new TwipControl(&form, QStringLiteral("Command1"), {1500, 600, 900, 300});
    pass();
    sizeClient(18000, 12000);
    pass();
    auto* late = new TwipControl(&form, QStringLiteral("Command2"), {3000, 1500, 900, 600});
    pass();

    ASSERT_NE(recordOf(late), nullptr);
    EXPECT_EQ(recordOf(late)->x, 1500);
    EXPECT_EQ(recordOf(late)->y, 750);
    EXPECT_EQ(recordOf(late)->extentX, 450);
    EXPECT_EQ(recordOf(late)->extentY, 300);
    EXPECT_EQ(late->twips(), QRect(3000, 1500, 900, 600));
    sizeClient(9000, 6000);
    pass();
    EXPECT_EQ(late->twips(), QRect(1500, 750, 450, 300));
}

TEST_F(EngineTest, resetRecordsNewControlsAndLeavesKnownRecordsAlone) {
    auto* ctl = new Morvane(&form);
    ctl->setProperty("FormWidthDT", 9000);
    ctl->setProperty("FormHeightDT", 6000);
    ctl->setProperty("FormScaleWidthDT", 9000);
    ctl->setProperty("FormScaleHeightDT", 6000);
    ctl->finishLoading();
    ASSERT_EQ(ctl->MyParent(), &form);
    auto* known = new TwipControl(&form, QStringLiteral("Command1"), {1500, 600, 900, 300});
    sizeClient(9000, 6000);
    ctl->ResizeControls();
    ASSERT_NE(recordOf(known), nullptr);

    auto* added = new TwipControl(&form, QStringLiteral("Command2"), {3000, 1500, 900, 600});
    known->setTwips({30, 30, 30, 30});
    const size_t formsBefore = formTable().size();
    ctl->Reset();

    ASSERT_NE(recordOf(added), nullptr);
    EXPECT_EQ(recordOf(added)->x, 3000);
    EXPECT_EQ(recordOf(added)->extentY, 600);
    // The known control's record is not refreshed, and no form is added.
    EXPECT_EQ(recordOf(known)->x, 1500);
    EXPECT_EQ(formTable().size(), formsBefore);

    sizeClient(18000, 12000);
    ctl->ResizeControls();
    EXPECT_EQ(added->twips(), QRect(6000, 3000, 1800, 1200));
    EXPECT_EQ(known->twips(), QRect(3000, 1200, 1800, 600));
}

TEST_F(EngineTest, aDesignClientOfZeroSkipsThePassAndCollapsesNothing) {
    useDesign(0, 0);
    auto* a = new TwipControl(&form, QStringLiteral("Command1"), {1500, 600, 900, 300}, 10);
    sizeClient(18000, 12000);
    pass();
    EXPECT_EQ(a->twips(), QRect(1500, 600, 900, 300));
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 10.0);
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 8.0);

    // The same through a control whose design sizes were never saved.
    QWidget other;
    other.setObjectName(uniqueFormName(QStringLiteral("FormUnsaved")));
    other.resize(600, 400);
    auto* ctl = new Morvane(&other);
    ctl->finishLoading();
    other.resize(1200, 800);
    auto* b = new TwipControl(&other, QStringLiteral("Command1"), {1500, 600, 900, 300});
    ctl->ResizeControls();
    EXPECT_EQ(b->twips(), QRect(1500, 600, 900, 300));
}

TEST_F(EngineTest, resizeControlsHandsTheControlsSettingsToTheEngine) {
    auto* ctl = new Morvane(&form);
    ctl->setResizeFonts(false);
    ctl->setAutoCenterForm(true);
    ctl->setProperty("FormWidthDT", 9060);
    ctl->setProperty("FormHeightDT", 6060);
    ctl->setProperty("FormScaleWidthDT", 9000);
    ctl->setProperty("FormScaleHeightDT", 6000);
    ctl->setResizeFormBackground(true);
    ctl->setHideControlsOnResize(true);
    ctl->finishLoading();
    auto* a = new TwipControl(&form, QStringLiteral("Command1"), {1001, 2003, 3001, 1999}, 10);
    useDesign(1, 1, true);  // stale copies from another control
    sizeClient(13500, 7200);
    ctl->ResizeControls();

    const WorkingCopies& wc = workingCopies();
    EXPECT_FALSE(wc.resizeFonts);
    EXPECT_TRUE(wc.autoCenterForm);
    EXPECT_EQ(wc.formWidthDT, 9060);
    EXPECT_EQ(wc.formHeightDT, 6060);
    EXPECT_EQ(wc.formScaleWidthDT, 9000);
    EXPECT_EQ(wc.formScaleHeightDT, 6000);
    EXPECT_TRUE(wc.resizeFormBackground);
    EXPECT_TRUE(wc.hideControlsOnResize);
    // Scaled against the client of 9000 x 6000: 150 % and 120 %.
    EXPECT_EQ(a->twips(), QRect(1501, 2403, 4501, 2398));
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 10.0);
}

}  // namespace
