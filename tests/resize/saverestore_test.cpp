// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Saving and restoring a form's geometry: in memory and through the per-user
// settings store, in the three window states, the restore asked for while
// the form loads, what cannot be parsed, and what is not a form.
//
// The small fixture form is 200 x 100 pixels (3000 x 1500 twips), frameless,
// shown at 90, 60 on a 1024 x 768 screen unless a test says otherwise.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <functional>

#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;

namespace {

const QString App = QStringLiteral("MorvaneTests");

class SaveRestore : public ::testing::Test {
protected:
    // Loads the form; shows it when asked, waiting for its load scaling.
    void open(bool show = true) {
        form = loadForm(QStringLiteral("small.ui"));
        ASSERT_TRUE(form);
        form->setWindowFlag(Qt::FramelessWindowHint);
        form->move(90, 60);
        ctl = resizerOf(form.get());
        ASSERT_NE(ctl, nullptr);
        if (show) {
            showAndSettle(form.get());
            ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
            settle();
        }
    }
    QString name() const { return form->objectName(); }
    // The in-memory geometry text of the form's record; nullopt without one.
    std::optional<QString> savedState() const {
        const int i = ResizeFunctions::FindFormRecord(form.get());
        if (i < 0) return std::nullopt;
        return ResizeFunctions::formTable()[size_t(i)].SavedState;
    }
    void moveTo(QRect r) {
        form->setGeometry(r);
        ASSERT_TRUE(waitFor([&] { return form->geometry() == r; }));
        settle();
    }

    ScreenStandIn screen{1024, 768};
    PrivateSettings settings;
    std::unique_ptr<QWidget> form;
    Morvane* ctl = nullptr;
};

TEST_F(SaveRestore, savesLeftTopWidthHeightAndStateAsText) {
    open();
    ctl->SaveForm(form.get(), true, App);
    // 90, 60, 200, 100 pixels at 15 twips each, normal state.
    EXPECT_EQ(PrivateSettings::lastSavedState(App, name()), QStringLiteral("1350,900,3000,1500,0"));
    EXPECT_EQ(savedState(), QStringLiteral("1350,900,3000,1500,0"));

    // Without persisting only the record changes.
    moveTo({100, 80, 300, 150});
    ctl->SaveForm(form.get());
    EXPECT_EQ(savedState(), QStringLiteral("1500,1200,4500,2250,0"));
    EXPECT_EQ(PrivateSettings::lastSavedState(App, name()), QStringLiteral("1350,900,3000,1500,0"));
    // Persisting needs an application name.
    ctl->SaveForm(form.get(), true, QString());
    EXPECT_EQ(PrivateSettings::lastSavedState(App, name()), QStringLiteral("1350,900,3000,1500,0"));
}

class SavedState : public SaveRestore, public ::testing::WithParamInterface<int> {};

TEST_P(SavedState, endsWithTheWindowState) {
    open();
    const int state = GetParam();
    if (state == 1) form->showMinimized();
    if (state == 2) form->showMaximized();
    ASSERT_TRUE(waitFor([&] { return state != 1 || form->isMinimized(); }));
    ASSERT_TRUE(waitFor([&] { return state != 2 || form->isMaximized(); }));
    settle();
    ctl->SaveForm(form.get(), true, App);
    const QStringList fields = PrivateSettings::lastSavedState(App, name()).split(QLatin1Char(','));
    ASSERT_EQ(fields.size(), 5) << fields.join(',').toStdString();
    EXPECT_EQ(fields[4], QString::number(state));
    for (int i = 0; i < 4; ++i) {
        bool number = false;
        fields[i].toFloat(&number);
        EXPECT_TRUE(number) << fields[i].toStdString();
    }
}

std::string stateName(const ::testing::TestParamInfo<int>& info) {
    return info.param == 0 ? "normal" : info.param == 1 ? "minimised" : "maximised";
}

INSTANTIATE_TEST_SUITE_P(States, SavedState, ::testing::Values(0, 1, 2), stateName);

TEST_F(SaveRestore, savingBeforeTheFirstPassStoresNothing) {
    open(false);
    ctl->SaveForm(form.get(), true, App);
    EXPECT_EQ(savedState(), std::nullopt);
    EXPECT_FALSE(PrivateSettings::hasLastSavedState(App, name()));

    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return savedState().has_value(); }));
    // The form's record, made by its first pass, starts without a state.
    EXPECT_EQ(savedState(), QString());
    EXPECT_FALSE(PrivateSettings::hasLastSavedState(App, name()));
}

TEST_F(SaveRestore, aFormThatNeverHadAPassSavesNothing) {
    open(false);
    ctl->setAutoResizeOnLoad(false);
    ctl->setAutoResizeControls(false);
    showAndSettle(form.get());
    form->resize(300, 150);
    settle();
    ctl->SaveForm(form.get(), true, App);
    EXPECT_EQ(savedState(), std::nullopt);
    EXPECT_FALSE(PrivateSettings::hasLastSavedState(App, name()));
}

TEST_F(SaveRestore, restoresWhatWasSavedInMemory) {
    open();
    ctl->SaveForm(form.get());
    moveTo({100, 80, 300, 150});
    ctl->RestoreForm(form.get());
    EXPECT_TRUE(waitFor([&] { return form->geometry() == QRect(90, 60, 200, 100); }))
        << ::testing::PrintToString(form->geometry());
    EXPECT_TRUE(ctl->RestorePending());
}

TEST_F(SaveRestore, restoresWhatWasSavedInTheSettingsStoreByAnotherInstance) {
    open();
    moveTo({100, 80, 300, 150});
    ctl->SaveForm(form.get(), true, App);

    // The same form opened again: its record knows nothing yet of the text.
    auto first = std::move(form);
    const QString formName = first->objectName();
    first->close();
    form = loadForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    form->setObjectName(formName);
    form->setWindowFlag(Qt::FramelessWindowHint);
    form->move(90, 60);
    ctl = resizerOf(form.get());
    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
    ctl->RestoreForm(form.get(), true, App);
    EXPECT_TRUE(waitFor([&] { return form->geometry() == QRect(100, 80, 300, 150); }))
        << ::testing::PrintToString(form->geometry());
}

// A text in the settings store, the window state before restoring, and what
// the restore must make of the form.
struct RestoreCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const RestoreCase& row, std::ostream* os) { *os << row.name; }
    const char* text;
    bool fromMaximised;
    Qt::WindowState state;
    QRect normalGeometry;
};

class RestoreState : public SaveRestore, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreState, followsTheLastField) {
    const RestoreCase& c = GetParam();
    open();
    if (c.fromMaximised) {
        form->showMaximized();
        ASSERT_TRUE(waitFor([&] { return form->isMaximized(); }));
        settle();
    }
    PrivateSettings::setLastSavedState(App, name(), QString::fromLatin1(c.text));
    ctl->RestoreForm(form.get(), true, App);
    ASSERT_TRUE(waitFor([&] { return form->windowState() == c.state; }))
        << "window state " << int(form->windowState());
    settle();
    EXPECT_EQ(form->windowState(), c.state);
    if (c.state == Qt::WindowNoState) {
        EXPECT_EQ(form->geometry(), c.normalGeometry);
    } else {
        EXPECT_EQ(form->normalGeometry(), c.normalGeometry);
    }
    // The text read from the store is the record's state from now on.
    EXPECT_EQ(savedState(), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RestoreState,
    ::testing::Values(
        // 1500, 1200, 4500, 2250 twips = 100, 80, 300, 150 pixels.
        RestoreCase{"normalMovesAndSizes",
                    "1500,1200,4500,2250,0",
                    true,
                    Qt::WindowNoState,
                    {100, 80, 300, 150}},
        // Maximised without applying the position and size.
        RestoreCase{"maximisesWithoutMoving",
                    "1500,1200,4500,2250,2",
                    false,
                    Qt::WindowMaximized,
                    {90, 60, 200, 100}},
        RestoreCase{
            "minimises", "1500,1200,4500,2250,1", false, Qt::WindowMinimized, {90, 60, 200, 100}},
        // Any state but 0 and 2 minimises.
        RestoreCase{"otherStatesMinimise",
                    "1500,1200,4500,2250,7",
                    false,
                    Qt::WindowMinimized,
                    {90, 60, 200, 100}}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

TEST_F(SaveRestore, aNormalRestoreRunsThePassForTheRestoredSize) {
    open();
    PrivateSettings::setLastSavedState(App, name(), QStringLiteral("1500,1200,4500,2250,0"));
    ctl->RestoreForm(form.get(), true, App);
    ASSERT_TRUE(waitFor([&] { return form->geometry() == QRect(100, 80, 300, 150); }));
    settle();
    // 4500 / 3000 = 150 % both ways: 20, 10, 40, 20 pixels become 30, 15, 60, 30.
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("Command1"))->geometry(),
              QRect(30, 15, 60, 30));
}

TEST_F(SaveRestore, persistingWithoutAnApplicationNameRestoresNothing) {
    open();
    ctl->SaveForm(form.get());
    moveTo({100, 80, 300, 150});
    ctl->RestoreForm(form.get(), true, QString());
    settle();
    EXPECT_EQ(form->geometry(), QRect(100, 80, 300, 150));
    EXPECT_EQ(savedState(), QStringLiteral("1350,900,3000,1500,0"));
}

TEST_F(SaveRestore, anEmptyStoreReplacesTheTextInMemory) {
    open();
    ctl->SaveForm(form.get());
    moveTo({100, 80, 300, 150});
    ctl->RestoreForm(form.get(), true, QStringLiteral("NeverSaved"));
    settle();
    EXPECT_EQ(form->geometry(), QRect(100, 80, 300, 150));
    EXPECT_EQ(savedState(), QString());
    // Nothing left in memory either.
    ctl->RestoreForm(form.get());
    settle();
    EXPECT_EQ(form->geometry(), QRect(100, 80, 300, 150));
}

// A text that is short or not made of numbers, and which of the form's
// numbers it cannot set.
struct BadTextCase {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const BadTextCase& row, std::ostream* os) { *os << row.name; }
    const char* text;
    bool keepsPosition;
};

class BadText : public SaveRestore, public ::testing::WithParamInterface<BadTextCase> {};

TEST_P(BadText, appliesNothingItCannotParse) {
    open();
    moveTo({100, 80, 300, 150});
    PrivateSettings::setLastSavedState(App, name(), QString::fromLatin1(GetParam().text));
    ctl->RestoreForm(form.get(), true, App);
    settle();
    EXPECT_FALSE(form->isMaximized());
    // No width or height can be read from any of these texts.
    EXPECT_EQ(form->size(), QSize(300, 150));
    if (GetParam().keepsPosition) {
        EXPECT_EQ(form->pos(), QPoint(100, 80));
    }
    if (!form->isMinimized()) {
        form->resize(200, 100);
        settle();
        EXPECT_EQ(form->size(), QSize(200, 100));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadText,
    ::testing::Values(BadTextCase{"twoFields", "1500,1200", false},
                      BadTextCase{"noNumbers", "left,top,wide,high,0", true},
                      BadTextCase{"noSizeNumbers", "left,top,wide,high", true},
                      BadTextCase{"sizeNotNumbers", "1500,1200,wide,high,0", false},
                      BadTextCase{"justCommas", ",,,,", true}),
    [](const ::testing::TestParamInfo<BadTextCase>& info) { return std::string(info.param.name); });

TEST_F(SaveRestore, aRestoreAskedForWhileLoadingIsCarriedOutAfterTheFirstPass) {
    screen.set(2048, 1536);
    open(false);
    PrivateSettings::setLastSavedState(App, name(), QStringLiteral("1500,1200,4500,2250,0"));
    ctl->RestoreForm(form.get(), true, App);
    EXPECT_TRUE(ctl->RestorePending());
    EXPECT_EQ(form->geometry(), QRect(90, 60, 200, 100));
    showAndSettle(form.get());

    // The saved geometry wins over the load scaling to 400 x 200.
    ASSERT_TRUE(waitFor([&] { return form->geometry() == QRect(100, 80, 300, 150); }))
        << ::testing::PrintToString(form->geometry());
    settle();
    // 4500 / 3000 = 150 %.
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("Command1"))->geometry(),
              QRect(30, 15, 60, 30));
}

TEST_F(SaveRestore, cancellingTheFirstPassAlsoCancelsTheDeferredRestore) {
    screen.set(2048, 1536);
    open(false);
    PrivateSettings::setLastSavedState(App, name(), QStringLiteral("1500,1200,4500,2250,0"));
    int before = 0, complete = 0;
    QObject::connect(ctl, &Morvane::BeforeResize, ctl, [&](bool& cancel) {
        if (before++ == 0) cancel = true;
    });
    QObject::connect(ctl, &Morvane::ResizeComplete, ctl, [&] { ++complete; });
    ctl->RestoreForm(form.get(), true, App);
    showAndSettle(form.get());
    settle(100);

    EXPECT_GE(before, 1);
    EXPECT_FALSE(ctl->FirstResizePending());
    // Load scaling only: twice the design size in its own place.
    EXPECT_EQ(form->geometry(), QRect(90, 60, 400, 200));
    // No pass completed the cancelled first resize.
    EXPECT_EQ(complete, before - 1);
}

// What SaveForm and RestoreForm are handed instead of a form.
struct NotAForm {
    const char* name;
    // Rows print as their name in test listings.
    friend void PrintTo(const NotAForm& row, std::ostream* os) { *os << row.name; }
    std::function<QObject*(QWidget* form, std::vector<std::unique_ptr<QObject>>& keep)> make;
};

class NonForm : public SaveRestore, public ::testing::WithParamInterface<NotAForm> {};

TEST_P(NonForm, isATypeMismatch) {
    open();
    std::vector<std::unique_ptr<QObject>> keep;
    QObject* thing = GetParam().make(form.get(), keep);
    for (bool save : {true, false}) {
        SCOPED_TRACE(save ? "SaveForm" : "RestoreForm");
        QSignalSpy errors(ctl, &Morvane::errorOccurred);
        EXPECT_FALSE(save ? ctl->SaveForm(thing, true, App) : ctl->RestoreForm(thing, true, App))
            << "accepted";
        ASSERT_EQ(errors.count(), 1);
        EXPECT_EQ(errors.at(0).at(0).toInt(), 13);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Things, NonForm,
    ::testing::Values(NotAForm{"aButtonOnTheForm",
                               [](QWidget* form, auto&) {
                                   return form->findChild<QPushButton*>(QStringLiteral("Command1"));
                               }},
                      NotAForm{"anMdiFrame",
                               [](QWidget*, auto& keep) {
                                   auto frame = std::make_unique<QMainWindow>();
                                   frame->setObjectName(QStringLiteral("MDIForm1"));
                                   frame->setCentralWidget(new QMdiArea(frame.get()));
                                   QObject* p = frame.get();
                                   keep.push_back(std::move(frame));
                                   return p;
                               }},
                      NotAForm{"aPlainObject",
                               [](QWidget*, auto& keep) {
                                   keep.push_back(std::make_unique<QObject>());
                                   return keep.back().get();
                               }}),
    [](const ::testing::TestParamInfo<NotAForm>& info) { return std::string(info.param.name); });

TEST_F(SaveRestore, aFormInAnMdiSubWindowIsAForm) {
    open();
    QMainWindow frame;
    auto* area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    auto* child = new QWidget;
    child->setObjectName(uniqueFormName(QStringLiteral("Form4")));
    area->addSubWindow(child);
    EXPECT_TRUE(ctl->SaveForm(child, true, App));
    EXPECT_TRUE(ctl->RestoreForm(child, true, App));
}

// A restored window stays where its user can reach it. The offscreen
// platform has one screen (800 x 600 as a rule); its available area is what
// the window must be brought back to. The stand-in screen only sets the
// twips per pixel (15).
class Reachable : public SaveRestore {
protected:
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // A text for a window of w x h pixels at x, y.
    static QString textAt(qint64 x, qint64 y, int w, int h) {
        return QStringLiteral("%1,%2,%3,%4,0")
            .arg(x * TwipsPerPixel)
            .arg(y * TwipsPerPixel)
            .arg(w * TwipsPerPixel)
            .arg(h * TwipsPerPixel);
    }
    void restore(const QString& text) {
        PrivateSettings::setLastSavedState(App, name(), text);
        ctl->RestoreForm(form.get(), true, App);
    }
    // The window's frame on the screen, as far as the platform has it.
    QRect frame() const { return form->frameGeometry(); }
};

// Texts that put a 300 x 150 frameless window wholly off the screen, at an
// offset from the near corner of the screen's available area (from the far
// corner on an axis marked fromFar).
struct OffScreenCase {
    const char* name;
    friend void PrintTo(const OffScreenCase& row, std::ostream* os) { *os << row.name; }
    qint64 x, y;
    bool fromFarX, fromFarY;
};

class OffScreen : public Reachable, public ::testing::WithParamInterface<OffScreenCase> {};

TEST_P(OffScreen, isRefusedWithAWarningAndTheFormKeepsItsDesignGeometry) {
    const OffScreenCase& c = GetParam();
    open();
    const QRect a = area();
    const QRect before = frame();
    const qint64 x = c.fromFarX ? a.x() + a.width() + c.x : a.x() + c.x;
    const qint64 y = c.fromFarY ? a.y() + a.height() + c.y : a.y() + c.y;
    LogRecorder log;
    restore(textAt(x, y, 300, 150));
    settle(60);
    EXPECT_EQ(frame(), before) << "the design geometry, where the form was";
    EXPECT_TRUE(a.contains(frame())) << ::testing::PrintToString(frame());
    ASSERT_EQ(log.warnings.size(), 1);
    EXPECT_TRUE(log.warnings.first().contains(QStringLiteral("refused")))
        << log.warnings.first().toStdString();
    EXPECT_EQ(PrivateSettings::lastSavedState(App, name()), textAt(x, y, 300, 150))
        << "reading the text leaves it as it was";
}

INSTANTIATE_TEST_SUITE_P(Texts, OffScreen,
                         ::testing::Values(
                             // 32767 pixels right (491505 twips on a screen at 0, 0).
                             OffScreenCase{"farRight", 32767, 0, false, false},
                             OffScreenCase{"justPastTheRightEdge", 0, 100, true, false},
                             OffScreenCase{"belowTheScreen", 100, 2000, false, true},
                             OffScreenCase{"pastTheFarCorner", 5000, 5000, true, true},
                             OffScreenCase{"justLeftOfTheScreen", -300, 40, false, false},
                             OffScreenCase{"aboveTheScreen", 60, -151, false, false},
                             // -1,500,000,000 twips: a hundred million pixels up and left.
                             OffScreenCase{"farUpAndLeft", -100000000, -100000000, false, false}),
                         [](const ::testing::TestParamInfo<OffScreenCase>& info) {
                             return std::string(info.param.name);
                         });

// Texts a damaged file or a broken save leaves: a window of no size, or one
// below the form's own minimum, would be no window to use.
TEST_F(Reachable, aTextBelowTheMinimumSizeGivesTheDesignGeometryAndAWarning) {
    open();
    ctl->setMinFormWidth(150 * TwipsPerPixel);
    ctl->setMinFormHeight(0);
    const QRect before = frame();
    for (const QString& text : {QStringLiteral("1500,1200,0,0,0"), textAt(100, 100, 149, 80),
                                QStringLiteral("1500,1200,-3000,1500,0")}) {
        SCOPED_TRACE(text.toStdString());
        LogRecorder log;
        restore(text);
        settle(60);
        EXPECT_EQ(frame(), before);
        EXPECT_TRUE(form->isVisible());
        ASSERT_EQ(log.warnings.size(), 1);
        EXPECT_TRUE(log.warnings.first().contains(QStringLiteral("minimum")))
            << log.warnings.first().toStdString();
        EXPECT_EQ(PrivateSettings::lastSavedState(App, name()), text);
    }
    // At the minimum it is taken.
    restore(textAt(100, 100, 150, 80));
    EXPECT_TRUE(waitFor([&] { return frame() == QRect(100, 100, 150, 80); }))
        << ::testing::PrintToString(frame());
}

TEST_F(Reachable, aRefusedTextBringsAMovedFormBackToItsDesignSizeOnTheScreen) {
    open();
    moveTo(QRect(40, 30, 500, 400));
    LogRecorder log;
    restore(textAt(-5000, -5000, 300, 150));
    EXPECT_TRUE(waitFor([&] { return frame() == QRect(40, 30, 200, 100); }))
        << ::testing::PrintToString(frame());
    EXPECT_EQ(log.warnings.size(), 1);
}

// Texts that leave some of a 300 x 150 window on the screen, as offsets
// from the area's corners: it stays exactly where the text puts it.
struct PartlyOnCase {
    const char* name;
    friend void PrintTo(const PartlyOnCase& row, std::ostream* os) { *os << row.name; }
    qint64 x, y;
    bool fromFarX, fromFarY;
};

class PartlyOnScreen : public Reachable, public ::testing::WithParamInterface<PartlyOnCase> {};

TEST_P(PartlyOnScreen, staysWhereTheTextPutsIt) {
    const PartlyOnCase& c = GetParam();
    open();
    const QRect a = area();
    const qint64 x = c.fromFarX ? a.x() + a.width() + c.x : a.x() + c.x;
    const qint64 y = c.fromFarY ? a.y() + a.height() + c.y : a.y() + c.y;
    restore(textAt(x, y, 300, 150));
    const QRect want(int(x), int(y), 300, 150);
    EXPECT_TRUE(waitFor([&] { return frame() == want; })) << ::testing::PrintToString(frame());
    settle(60);
    EXPECT_EQ(frame(), want);
}

INSTANTIATE_TEST_SUITE_P(Texts, PartlyOnScreen,
                         ::testing::Values(
                             // One pixel column or row of the window on the screen.
                             PartlyOnCase{"lastColumnOnTheLeft", -299, 50, false, false},
                             PartlyOnCase{"firstColumnOnTheRight", -1, 50, true, false},
                             PartlyOnCase{"firstRowAtTheBottom", 50, -1, false, true},
                             // Its title bar above the screen, the rest on it.
                             PartlyOnCase{"titleBarAbove", 50, -100, false, false},
                             PartlyOnCase{"cornerOverTheFarCorner", -10, -10, true, true}),
                         [](const ::testing::TestParamInfo<PartlyOnCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Reachable, aRestoreAskedForWhileLoadingIsRefusedAfterTheFirstPass) {
    open(false);
    const QRect a = area();
    PrivateSettings::setLastSavedState(App, name(), textAt(-5000, a.y() + 30, 300, 150));
    LogRecorder log;
    ctl->RestoreForm(form.get(), true, App);
    EXPECT_TRUE(ctl->RestorePending());
    showAndSettle(form.get());
    ASSERT_TRUE(waitFor([&] { return form->size() == QSize(200, 100); }));
    settle();
    EXPECT_EQ(frame().topLeft(), QPoint(90, 60));
    EXPECT_EQ(log.warnings.size(), 1);
}

TEST_F(Reachable, aFormInAnMdiSubWindowIsLeftInItsFrame) {
    ScreenStandIn small{1024, 768};
    QMainWindow main;
    main.setWindowFlag(Qt::FramelessWindowHint);
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.setGeometry(10, 10, 600, 400);
    form = loadForm(QStringLiteral("small.ui"));
    ASSERT_TRUE(form);
    ctl = resizerOf(form.get());
    QMdiSubWindow* sub = mdi->addSubWindow(form.get());
    main.show();
    sub->show();
    ASSERT_TRUE(waitFor([&] { return ResizeFunctions::FindFormRecord(form.get()) >= 0; }));
    settle();
    // Far outside the MDI area and the screen: the area scrolls to it.
    restore(QStringLiteral("491505,0,4500,2250,0"));
    EXPECT_TRUE(waitFor([&] { return sub->geometry() == QRect(32767, 0, 300, 150); }))
        << ::testing::PrintToString(sub->geometry());
    settle();
    EXPECT_EQ(sub->geometry(), QRect(32767, 0, 300, 150));
    // The sub-window is the form's parent: it must not delete the form, which
    // the fixture owns.
    sub->setWidget(nullptr);
    form->setParent(nullptr);
}

}  // namespace
