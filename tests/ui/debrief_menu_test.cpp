// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The Plan Reports menu's entries after the performance sheet, and the
// debrief report written through the menu and its save dialog, read back
// with poppler's pdfinfo.
#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <filesystem>
#include <fstream>

#include "pdftools.h"
#include "ui/components/chartexport.h"
#include "ui/debrief/debrief.h"
#include "ui/debrief/debriefexport.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DebriefMenu : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(pdf::haveTools()) << "poppler-utils (pdfinfo ...) are not installed";
        for (const char* d : {"4200", "2600"}) testing::press(cs, d, "12", "WOTA");
        out = dir.path() / "reports";
        std::filesystem::create_directory(out);
    }
    void TearDown() override {
        CommonDialog::setAnswerHook({});
        WindowTest::TearDown();
    }
    // The dialog answers with this name and picks this paper (nothing:
    // Cancel), noting how it was set up.
    void answer(std::optional<QString> name, int paper = -1) {
        CommonDialog::setAnswerHook([this, name, paper](CommonDialog& d) {
            ++shown;
            seenFilters = d.nameFilters();
            seenExt = d.defaultExt();
            seenChoice = d.choiceOptions();
            seenChosen = d.chosen();
            if (paper >= 0) d.choose(paper);
            return name;
        });
    }
    void chooseFromMenu() {
        find<QAction>(GameWindows::instance().mainWindow(), "menu_debrief_report")->trigger();
        QApplication::processEvents();
    }
    std::string target(const std::string& name) const { return (out / name).string(); }

    std::filesystem::path out;
    int shown = 0;
    QStringList seenFilters;
    QString seenExt;
    QStringList seenChoice;
    int seenChosen = -1;
};

TEST_F(DebriefMenu, thePlanReportsMenuEndsWithTheDebriefAndTheLeague) {
    MDIForm1* main = start();
    const QMenu* menu = find<QMenu>(main, "menu_plan_reports");
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    QStringList names;
    for (const QAction* a : menu->actions()) {
        captions << a->text();
        names << a->objectName();
    }
    EXPECT_EQ(names, (QStringList{"menu_this_plan", "menu_performance_sheet", "menu_debrief_report",
                                  "menu_league"}));
    EXPECT_EQ(captions[2], QString::fromUtf8("&Debrief Report (PDF)\u2026"));
    EXPECT_EQ(captions[3], QString::fromUtf8("&League of Teams\u2026"));
    EXPECT_EQ(QKeySequence::mnemonic(captions[2]), QKeySequence(Qt::ALT | Qt::Key_D));
    EXPECT_EQ(QKeySequence::mnemonic(captions[3]), QKeySequence(Qt::ALT | Qt::Key_L));
}

TEST_F(DebriefMenu, writesTheDebriefOnThePaperChosenAndSaysWhere) {
    // The same game's debrief written directly, to compare the pages with.
    const std::string direct = target("direct.pdf");
    ASSERT_EQ(writeDebrief(cs, direct, Paper::A4), "");
    const int pages = pdf::pageCount(direct);
    ASSERT_GT(pages, 1);

    MDIForm1* main = start();
    QPointer<MDIForm1> before = main;
    const std::string game = testing::dump(cs);
    struct Case {
        int option;  // -1: as the dialog offers it
        const char* name;
        pdf::PageSize size;
    };
    for (const Case& c : {Case{-1, "offered.pdf", {595, 842}}, Case{0, "a4.pdf", {595, 842}},
                          Case{1, "letter.pdf", {612, 792}}}) {
        SCOPED_TRACE(c.name);
        messages.clear();
        answer(QString::fromStdString(target(c.name)), c.option);
        chooseFromMenu();
        EXPECT_EQ(seenFilters, QStringList{"PDF documents (*.pdf)"});
        EXPECT_EQ(seenExt, "pdf");
        EXPECT_EQ(seenChoice, (QStringList{"A4", "Letter"}));
        EXPECT_EQ(seenChosen, 0);  // A4 unless the player picks Letter

        const std::string file = target(c.name);
        EXPECT_EQ(pdf::fileBytes(file).substr(0, 5), "%PDF-");
        EXPECT_EQ(pdf::pageCount(file), pages);
        const pdf::PageSize size = pdf::pageSize(file);
        EXPECT_NEAR(size.width, c.size.width, 0.5);
        EXPECT_NEAR(size.height, c.size.height, 0.5);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].title, "Debrief Report");
        EXPECT_EQ(messages[0].icon, model::Icon::None);
        EXPECT_NE(messages[0].text.find(file), std::string::npos) << messages[0].text;
    }
    EXPECT_EQ(shown, 3);
    // The game is only read; the board and the windows stay as they were.
    EXPECT_EQ(testing::dump(cs), game);
    EXPECT_EQ(before.data(), GameWindows::instance().mainWindow());
    EXPECT_TRUE(main->picture1()->isVisibleTo(main));
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());

    // A name typed without its extension gets ".pdf".
    answer(QString::fromStdString(target("plain")), 1);
    chooseFromMenu();
    EXPECT_EQ(pdf::pageCount(target("plain.pdf")), pages);
}

TEST_F(DebriefMenu, cancelWritesNothingAndSaysNothing) {
    start();
    const auto before = filesIn(out);
    answer(std::nullopt, 1);
    chooseFromMenu();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(filesIn(out), before);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DebriefMenu, aFailureShowsOneCriticalBoxWithWhatWentWrong) {
    const std::string old = target("old.pdf");
    std::ofstream(old) << "last week's debrief";
    start();
    const auto before = filesIn(out);

    // A folder that is not there.
    const std::string nowhere = target("no/such/folder/debrief.pdf");
    answer(QString::fromStdString(nowhere));
    chooseFromMenu();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Debrief Report");
    EXPECT_EQ(messages[0].icon, model::Icon::Critical);
    EXPECT_EQ(messages[0].text,
              "The debrief cannot be written to " + nowhere + ": No such file or directory.");

    // A game the report cannot be made of leaves an older report as it was.
    messages.clear();
    testing::sql(cs, "DELETE FROM PLDI");
    answer(QString::fromStdString(old));
    chooseFromMenu();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, model::Icon::Critical);
    EXPECT_EQ(messages[0].text, "No debrief written: Plan Number: No Data to Show Plan Number!!!");
    EXPECT_EQ(pdf::fileBytes(old), "last week's debrief");

    // A dialog that cannot be shown.
    messages.clear();
    CommonDialog::setAnswerHook(
        [](CommonDialog&) -> std::optional<QString> { throw std::runtime_error("no display"); });
    chooseFromMenu();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Debrief Report");
    EXPECT_EQ(messages[0].icon, model::Icon::Critical);
    EXPECT_EQ(messages[0].text, "Cannot show the save dialog: no display");
    EXPECT_EQ(filesIn(out), before);
}

}  // namespace
}  // namespace tessaro::ui
