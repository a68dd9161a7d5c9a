// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// "Decision and Run" → "Take Back Last Quarter": the password prompt, the
// quarter taken back in the game file, and the board rebuilt to show it.
#include <QAction>
#include <QMenu>

#include "model/takeback.h"
#include "ui/windows/takebackcommand.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

class TakeBackMenu : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const char* d : {"4200", "2600"}) testing::press(cs, d, "12", "WOTA");
    }
    void TearDown() override {
        setPasswordPrompt({});
        WindowTest::TearDown();
    }
    // The prompt answers with this password (nothing: Cancel).
    void answer(std::optional<std::string> password) {
        setPasswordPrompt([this, password](QWidget*) {
            ++prompts;
            return password;
        });
    }
    void chooseFromMenu() {
        find<QAction>(GameWindows::instance().mainWindow(), "menu_take_back")->trigger();
        QApplication::processEvents();
    }
    QString planCount() { return textOf(GameWindows::instance().mainWindow(), "Label69"); }
    int prompts = 0;
};

TEST_F(TakeBackMenu, standsUnderDecisionAndRunWithItsMnemonic) {
    MDIForm1* main = start();
    const QMenu* menu = find<QMenu>(main, "menuplan");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    const QAction* entry = menu->actions()[1];
    EXPECT_EQ(entry->objectName(), "menu_take_back");
    EXPECT_EQ(entry->text(), "&Take Back Last Quarter");
}

TEST_F(TakeBackMenu, theRightPasswordTakesTheQuarterBackAndRebuildsTheBoard) {
    start();
    EXPECT_EQ(planCount(), "4");
    const std::string before = testing::dump(cs);
    answer("pelix");  // not case-sensitive, as the re-initialisation
    chooseFromMenu();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(testing::count(cs, "PLIO"), 3);
    EXPECT_EQ(testing::count(cs, "PLDI"), 2);
    // The rebuilt board shows the quarter the game stands at again.
    EXPECT_EQ(planCount(), "3");
    EXPECT_FALSE(messages.empty());
    EXPECT_NE(testing::dump(cs), before);

    // The same decisions again give the very game that was taken back.
    testing::press(cs, "2600", "12", "WOTA");
    EXPECT_EQ(testing::dump(cs), before);
}

TEST_F(TakeBackMenu, aWrongPasswordOrCancelChangesNothing) {
    start();
    const std::string before = testing::dump(cs);
    answer(std::nullopt);
    chooseFromMenu();
    EXPECT_TRUE(messages.empty());  // Cancel says nothing
    EXPECT_EQ(testing::dump(cs), before);

    answer("WOTA");  // the run password is not enough
    chooseFromMenu();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Invalid Password");
    EXPECT_EQ(testing::dump(cs), before);
    EXPECT_EQ(planCount(), "4");
}

}  // namespace
}  // namespace tessaro::ui
