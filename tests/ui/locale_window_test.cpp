// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The windows under the locale a player's desktop sets. CTest starts this
// program with LC_ALL naming a German or a Turkish locale (and LOCPATH the
// folder the test locales are built in), and QApplication itself sets the C
// library's locale from the environment, as it does for a player. The
// decisions are typed into the decision window and run as a player runs
// them; the league shows its numbers as in every other locale.
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <cwctype>

#include "model/gamefile.h"
#include "store/gamelocation.h"
#include "testlocale.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "ui/components/msflexgrid.h"
#include "ui/windows/form4.h"
#include "ui/windows/leaguewindow.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

// The locale CTest asked for; the program fails without one.
std::string expectedLocale() {
    const char* name = std::getenv("TESSARO_EXPECTED_LOCALE");
    return name ? name : "";
}

bool german() {
    return expectedLocale().rfind("de_DE", 0) == 0;
}

TEST(LocaleOfTheWindows, isTheOneThePlayersDesktopSets) {
    const std::string expected = expectedLocale();
    ASSERT_FALSE(expected.empty()) << "run through ctest, which names the locale";
    bool known = false;
    for (const char* name : testlocale::kOtherLocales) known = known || expected == name;
    ASSERT_TRUE(known) << expected;
    // Set by QApplication from LC_ALL, not by this program.
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(numeric, nullptr);
    ASSERT_NE(ctype, nullptr);
    EXPECT_EQ(std::string(numeric), expected)
        << "the test locales are built by the build_test_locales fixture into "
        << (std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "<LOCPATH not set>");
    EXPECT_EQ(std::string(ctype), expected);
    // What makes the locale a test: the C library's own decimal comma, or
    // its dotted capital I.
    if (german())
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    else
        EXPECT_EQ(std::towupper(L'i'), static_cast<std::wint_t>(0x130));
}

class LocaleWindows : public WindowTest {
protected:
    void TearDown() override {
        CommonDialog::setOpenAnswerHook({});
        LeagueWindow::files.clear();
        WindowTest::TearDown();
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Form4* decisionWindow() {
        find<QAction>(GameWindows::instance().mainWindow(), "menu_new_plan_decision")->trigger();
        settle();
        return qobject_cast<Form4*>(GameWindows::instance().openWindow("Form4"));
    }
    static void type(QLineEdit* box, const char* text) {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    std::string plio(const std::string& column, int plan) {
        return testing::scalarText(
            cs, "SELECT " + column + " FROM PLIO WHERE PNPLPD=" + std::to_string(plan));
    }
};

TEST_F(LocaleWindows, theDecisionWindowRunsAPointDecisionAndReinitialisesWithLowerCase) {
    start();
    Form4* form = decisionWindow();
    ASSERT_NE(form, nullptr);
    type(form->box(model::Box::Production), "1999.6");
    type(form->box(model::Box::Hiring), "10");
    type(form->box(model::Box::Password), "wota");
    QTest::keyClick(form->box(model::Box::Password), Qt::Key_Return);
    settle();
    EXPECT_EQ(texts(), (std::vector<std::string>{"The decisions are entered successfully.....",
                                                 "SD Simulation Run is now over !!!"}));
    ASSERT_EQ(testing::count(cs, "PLIO"), 3);
    EXPECT_EQ(plio("PORD", 1), "2000");
    EXPECT_EQ(plio("PRORD", 1), "2000");
    EXPECT_EQ(plio("PHRD", 1), "10");
    EXPECT_EQ(textOf(GameWindows::instance().mainWindow(), "Label69"), "3");

    // Both boxes empty and "pelix": the game is back at its start.
    messages.clear();
    form = decisionWindow();
    ASSERT_NE(form, nullptr);
    type(form->box(model::Box::Password), "pelix");
    QTest::keyClick(form->box(model::Box::Password), Qt::Key_Return);
    settle();
    EXPECT_EQ(testing::count(cs, "PLIO"), 2);
    testing::TempDir fresh;
    EXPECT_EQ(testing::dump(cs), testing::dump(testing::newGame(fresh)));
    EXPECT_EQ(textOf(GameWindows::instance().mainWindow(), "Label69"), "2");
    for (const auto& box : messages) EXPECT_NE(box.icon, model::Icon::Critical) << box.text;
}

TEST_F(LocaleWindows, theLeagueShowsItsNumbersAsInEveryLocale) {
    testing::press(cs, "3000", "10", "WOTA");
    // A value with a fraction, which a decimal comma would misread.
    testing::sql(cs, "UPDATE PLDI SET ZVG=1234.5, ZTVG=2345.25, ZCVG=1172.625 WHERE ZNPLPD=2");
    const std::string game = store::pathFromConnectionString(cs);
    CommonDialog::setOpenAnswerHook(
        [&](CommonDialog&) { return std::optional(QStringList{QString::fromStdString(game)}); });
    start();
    find<QAction>(GameWindows::instance().mainWindow(), "menu_league")->trigger();
    settle();
    auto* form = qobject_cast<LeagueWindow*>(GameWindows::instance().openWindow("LeagueWindow"));
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->league().rankedCount(), 1u);
    EXPECT_EQ(form->rankingGrid()->textMatrix(1, 3), "2345");
    EXPECT_EQ(form->rankingGrid()->textMatrix(1, 4), "1173");
    EXPECT_EQ(form->quarterGrid()->textMatrix(1, 2), "1234");  // halves to even
    EXPECT_EQ(form->chart()->value(2, 1), 1234.5);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tessaro::ui
