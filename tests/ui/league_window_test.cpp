// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The league window opened from the main window's menu on real team games
// and on files that cannot be read: what its grids and chart show, the file
// chooser, one window of its kind, its buttons and keys, and its fit at the
// smallest and a large screen.
#include <QAccessible>
#include <QAction>
#include <QBarCategoryAxis>
#include <QChart>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>

#include "model/gamefile.h"
#include "model/league.h"
#include "placement.h"
#include "readable.h"
#include "store/gamelocation.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "ui/windows/leaguewindow.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

using Files = std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>>;

// Every file in a folder with its bytes and its modification time.
Files snapshot(const std::filesystem::path& dir) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = {
            std::string(std::istreambuf_iterator<char>(in), {}), entry.last_write_time()};
    }
    return files;
}

std::vector<std::vector<std::string>> cells(const MSFlexGrid& g) {
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < g.rows(); ++r) {
        out.emplace_back();
        for (int c = 0; c < g.cols(); ++c) out.back().push_back(g.textMatrix(r, c).toStdString());
    }
    return out;
}

// The names the chart's legend shows, in order.
std::vector<std::string> legendNames(MSChart& chart) {
    std::vector<std::string> names;
    for (QLegendMarker* m : chart.chart()->legend()->markers())
        if (m->isVisible()) names.push_back(m->label().toStdString());
    return names;
}

class LeagueWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        north = team("north", {{"4200", "17"}, {"2600", "8"}, {"3100", "12"}});
        south = team("south", {{"3000", "10"}});
        east = team("east", {{"5000", "25"}, {"2000", "5"}});
        // Totals pinned so that the two orders differ: north leads on the
        // running total, south on the average.
        setLast(north, "ZTVG=3000, ZCVG=750");
        setLast(south, "ZTVG=2000, ZCVG=1000");
        setLast(east, "ZTVG=2500, ZCVG=833.5");
        missing = dir.file("west.mdb");
        notes = dir.file("notes.mdb");
        std::ofstream(notes) << "minutes of the team meeting";
    }
    void TearDown() override {
        CommonDialog::setOpenAnswerHook({});
        CommonDialog::setAnswerHook({});
        LeagueWindow::files.clear();
        WindowTest::TearDown();
    }

    std::string team(const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& decisions) {
        const std::string file = dir.file(name + ".mdb");
        const std::string game = store::connectionStringForFile(file);
        model::ensureGameDatabase(game);
        for (const auto& [production, hiring] : decisions)
            EXPECT_EQ(testing::press(game, production, hiring, "WOTA"), model::RunOutcome::PlanRun);
        return file;
    }
    static void setLast(const std::string& file, const std::string& set) {
        testing::sql(store::connectionStringForFile(file),
                     "UPDATE PLDI SET " + set + " WHERE ZNPLPD=(SELECT MAX(ZNPLPD) FROM PLDI)");
    }

    // The chooser answers with these files (nothing: Cancel), noting how it
    // was set up.
    void choose(std::optional<std::vector<std::string>> files) {
        CommonDialog::setOpenAnswerHook(
            [this, files](CommonDialog& d) -> std::optional<QStringList> {
                ++chooserShown;
                seenFilters = d.nameFilters();
                seenDir = d.initDir();
                if (!files) return std::nullopt;
                QStringList names;
                for (const auto& f : *files) names << QString::fromStdString(f);
                return names;
            });
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static LeagueWindow* league() {
        return qobject_cast<LeagueWindow*>(GameWindows::instance().openWindow("LeagueWindow"));
    }
    void chooseFromMenu() {
        find<QAction>(GameWindows::instance().mainWindow(), "menu_league")->trigger();
        settle();
    }
    int windowsOpen() const {
        return static_cast<int>(
            GameWindows::instance().mainWindow()->mdiArea()->subWindowList().size());
    }

    std::string north, south, east, missing, notes;
    int chooserShown = 0;
    QStringList seenFilters;
    QString seenDir;
};

TEST_F(LeagueWindowTest, showsTheRankingEveryQuarterAndTheFilesItCouldNotRead) {
    start();
    choose(std::vector<std::string>{north, south, missing, east, notes});
    const Files before = snapshot(dir.path());
    chooseFromMenu();
    LeagueWindow* form = league();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(messages.empty()) << texts().front();
    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(seenFilters, (QStringList{"Game files (*.mdb)", "All files (*)"}));
    // The chooser starts beside the game.
    EXPECT_EQ(seenDir.toStdString(), dir.path().string());
    // The files are only read; the missing one is not made a new game.
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(form->windowTitle(), "League");
    EXPECT_EQ(textOf(form, "Label1"), "League of Teams");
    EXPECT_EQ(textOf(form, "Label4"), "3 teams ranked, 2 files not read. Values in 1000 Rs.");

    // By running total, with the place by average beside it, and the
    // decisions of the quarter each team played last.
    const model::League& data = form->league();
    const auto& ranking = cells(*form->rankingGrid());
    ASSERT_EQ(ranking.size(), 4u);
    EXPECT_EQ(ranking[0], (std::vector<std::string>{
                              "Place", "Team", "Quarters Played", "Running Total", "Average Value",
                              "Place by Average", "Last Production", "Last Hiring"}));
    EXPECT_EQ(ranking[1],
              (std::vector<std::string>{"1", "north", "4", "3000", "750", "3", "3100", "12"}));
    EXPECT_EQ(ranking[2],
              (std::vector<std::string>{"2", "east", "3", "2500", "834", "2", "2000", "5"}));
    EXPECT_EQ(ranking[3],
              (std::vector<std::string>{"3", "south", "2", "2000", "1000", "1", "3000", "10"}));

    // Every team's value of the game per quarter as stored, then the files
    // not read, each with the store's reason over the whole row.
    const MSFlexGrid& quarters = *form->quarterGrid();
    ASSERT_EQ(quarters.rows(), 6);
    ASSERT_EQ(quarters.cols(), 5);
    EXPECT_EQ(quarters.textMatrix(0, 4), "4");
    const std::pair<int, const std::string*> played[] = {{1, &north}, {2, &east}, {3, &south}};
    for (const auto& [row, file] : played) {
        SCOPED_TRACE(*file);
        EXPECT_EQ(quarters.textMatrix(row, 0).toStdString(), model::teamName(*file));
        const std::string game = store::connectionStringForFile(*file);
        const int rows = static_cast<int>(testing::count(game, "PLDI"));
        for (int q = 1; q <= 4; ++q) {
            const std::string stored =
                q <= rows ? testing::scalarText(game,
                                                "SELECT CAST(ZVG AS INTEGER) FROM PLDI "
                                                "WHERE ZNPLPD=" +
                                                    std::to_string(q))
                          : "";
            EXPECT_EQ(quarters.textMatrix(row, q).toStdString(), stored) << q;
        }
    }
    const std::pair<int, std::size_t> unread[] = {{4, 2}, {5, 4}};
    for (const auto& [row, index] : unread) {
        const model::LeagueTeam& t = data.teams[index];
        SCOPED_TRACE(t.file);
        ASSERT_FALSE(t.ranked);
        EXPECT_EQ(quarters.textMatrix(row, 0).toStdString(), t.team);
        EXPECT_EQ(quarters.textMatrix(row, 1).toStdString(), "Not read: " + t.reason);
        EXPECT_NE(t.reason.find(t.file), std::string::npos) << t.reason;
        EXPECT_EQ(quarters.mergedArea(row, 1), QRect(1, row, 4, 1));
        EXPECT_EQ(quarters.shownForeColor(row, 3), QColor(255, 0, 0));
    }
    EXPECT_EQ(quarters.textMatrix(4, 1).toStdString(),
              "Not read: The game database " + missing + " does not exist.");

    // A line per ranked team, in the order of the ranking, over the quarters.
    MSChart& chart = *form->chart();
    EXPECT_EQ(chart.chartType(), ChartType::Line2d);
    EXPECT_TRUE(chart.legendVisible());
    EXPECT_EQ(legendNames(chart), (std::vector<std::string>{"north", "east", "south"}));
    EXPECT_EQ(chart.columnCount(), 3);
    ASSERT_EQ(chart.rowCount(), 4);
    EXPECT_EQ(chart.rowLabel(4), " 4");
    EXPECT_EQ(chart.titleText(), " Plan Game Value of Every Team ");
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(chart.value(r, 1),
                  data.teams[0].valuePerQuarter[static_cast<std::size_t>(r - 1)]);
    EXPECT_FALSE(chart.value(3, 3).has_value());  // south played two quarters
    // The lines have colours of their own.
    EXPECT_NE(chart.seriesFill(1), chart.seriesFill(2));
    EXPECT_NE(chart.seriesFill(2), chart.seriesFill(3));
}

TEST_F(LeagueWindowTest, oneWindowOfItsKindLoadedAfreshWhateverOpensIt) {
    start();
    choose(std::vector<std::string>{north, south});
    chooseFromMenu();
    QPointer<LeagueWindow> first = league();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->league().rankedCount(), 2u);
    // The main window stays: the league changes nothing of the board.
    QPointer<MDIForm1> main = GameWindows::instance().mainWindow();

    choose(std::vector<std::string>{east, north, south, notes});
    chooseFromMenu();
    EXPECT_TRUE(first.isNull());
    ASSERT_EQ(windowsOpen(), 1);
    QPointer<LeagueWindow> second = league();
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(second->league().teams.size(), 4u);

    // Other Files: the same chooser, then the league of the files chosen.
    choose(std::vector<std::string>{east});
    QTest::mouseClick(find<QPushButton>(second, "Command3"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(second.isNull());
    ASSERT_EQ(windowsOpen(), 1);
    QPointer<LeagueWindow> third = league();
    ASSERT_FALSE(third.isNull());
    EXPECT_EQ(third->league().teams.size(), 1u);
    EXPECT_EQ(legendNames(*third->chart()), (std::vector<std::string>{"east"}));
    // It starts where the last files were.
    EXPECT_EQ(seenDir.toStdString(), dir.path().string());

    // Cancel leaves the window as it was, and from the menu opens none.
    choose(std::nullopt);
    find<QPushButton>(third, "Command3")->click();
    settle();
    EXPECT_FALSE(third.isNull());
    EXPECT_EQ(third->league().teams.size(), 1u);
    third->closeCommand();
    settle();
    chooseFromMenu();
    EXPECT_EQ(league(), nullptr);
    EXPECT_EQ(windowsOpen(), 0);
    EXPECT_EQ(main.data(), GameWindows::instance().mainWindow());
    EXPECT_TRUE(messages.empty());
}

TEST_F(LeagueWindowTest, theKeysAndButtonsDoWhatTheyDoInTheOtherWindows) {
    start();
    choose(std::vector<std::string>{north, east, missing});
    QPointer<MDIForm1> main = GameWindows::instance().mainWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    // Alt+R, L: the chooser, then the window, with the focus on its first button.
    QTest::keyClick(main, Qt::Key_R, Qt::AltModifier);
    settle();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_L);
    settle();
    QPointer<LeagueWindow> form = league();
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(QApplication::focusWidget(), form->findChild<QPushButton*>("Command3"));
    EXPECT_FALSE(main->picture1()->isVisibleTo(main));

    // Every control has a name for screen readers.
    for (QWidget* c : form->controls()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << c->objectName().toStdString();
    }

    // Save As writes the chart as the other charts' buttons do, with the
    // bitmap dialog: no paper is offered there.
    const QString bitmap = QString::fromStdString(dir.file("league"));
    QStringList filters;
    QStringList choice = {"<not shown>"};
    CommonDialog::setAnswerHook([&](CommonDialog& d) {
        filters = d.nameFilters();
        choice = d.choiceOptions();
        return std::optional<QString>(bitmap);
    });
    find<QPushButton>(form, "Command4")->click();
    EXPECT_EQ(filters, QStringList{"Pictures (*.bmp)"});
    EXPECT_TRUE(choice.isEmpty());
    QFile saved(bitmap + ".bmp");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.read(2), "BM");
    EXPECT_TRUE(messages.empty());

    // Minimize makes it an icon and keeps it.
    find<QPushButton>(form, "Command2")->click();
    settle();
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->subWindow()->isMinimized());
    form->subWindow()->showNormal();
    settle();

    // Esc closes it as Close does: the board comes back, the main window
    // is the same.
    form->activateWindow();
    find<QPushButton>(form, "Command1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(form.isNull());
    ASSERT_FALSE(main.isNull());
    EXPECT_TRUE(main->picture1()->isVisibleTo(main));
    EXPECT_EQ(windowsOpen(), 0);
}

TEST_F(LeagueWindowTest, fitsTheMainWindowWithEveryTextWholeOnTheSmallestAndALargeScreen) {
    // A file that is none, with a long name and a long reason.
    const std::string folder = dir.file("a folder with a long name for the class of 2026");
    std::filesystem::create_directory(folder);
    for (const ScreenSpec& screen :
         {ScreenSpec{800, 600, 96, 96}, ScreenSpec{1920, 1080, 96, 96}}) {
        SCOPED_TRACE(screen.widthPx);
        setScreenOverride(screen);
        MDIForm1* main = start();
        choose(std::vector<std::string>{north, south, folder, east});
        chooseFromMenu();
        LeagueWindow* form = league();
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(form->league().rankedCount(), 3u);
        expectWhollyInSight(*main, *form);
        for (const std::string& bad : unreadableTexts(form->controls())) ADD_FAILURE() << bad;
        // Rows at a height to read them by, and the chart too.
        EXPECT_GE(form->rankingGrid()->rowShrink(), 0.8);
        EXPECT_GE(form->quarterGrid()->rowShrink(), 0.8);
        EXPECT_GE(form->chart()->height(), form->height() / 3);
        GameWindows::instance().stop();
        settle();
    }
}

TEST_F(LeagueWindowTest, aLargeLeagueScrollsToItsRowsAndKeepsEveryTextWhole) {
    std::vector<std::string> files = {north, south, east, missing, notes};
    for (int i = 1; i <= 9; ++i)
        files.push_back(
            team("team " + std::to_string(i), {{std::to_string(2000 + 300 * i), "10"}}));
    const std::string longer = team("longer", {{"3000", "10"},
                                               {"3500", "12"},
                                               {"4000", "14"},
                                               {"2500", "9"},
                                               {"4500", "20"},
                                               {"3000", "11"},
                                               {"2200", "6"},
                                               {"4800", "24"}});
    files.push_back(longer);
    for (const ScreenSpec& screen :
         {ScreenSpec{800, 600, 96, 96}, ScreenSpec{1920, 1080, 96, 96}}) {
        SCOPED_TRACE(screen.widthPx);
        setScreenOverride(screen);
        start();
        choose(files);
        chooseFromMenu();
        LeagueWindow* form = league();
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(form->league().rankedCount(), 13u);
        EXPECT_EQ(form->quarterGrid()->cols(), 10);
        for (const std::string& bad : unreadableTexts(form->controls())) ADD_FAILURE() << bad;
        for (MSFlexGrid* grid : {form->rankingGrid(), form->quarterGrid()}) {
            SCOPED_TRACE(grid->objectName().toStdString());
            EXPECT_GE(grid->rowShrink(), 0.8);
            // Every column in sight beside the scroll bar.
            QTableWidget* t = grid->table();
            int width = 0;
            for (int c = 0; c < grid->cols(); ++c) width += t->columnWidth(c);
            EXPECT_LE(width, t->viewport()->width());
            EXPECT_FALSE(t->horizontalScrollBar()->isVisible());
        }
        EXPECT_TRUE(form->rankingGrid()->table()->verticalScrollBar()->isVisible());
        EXPECT_GE(form->chart()->height(), form->height() / 3);
        GameWindows::instance().stop();
        settle();
    }
}

TEST_F(LeagueWindowTest, aLongGameShowsEveryValueWholeAndScrollsToItsLastQuarter) {
    // 59 quarters (the first is the game's start). Production that swings
    // from quarter to quarter gives values of
    // differing widths, some of them below zero.
    std::vector<std::pair<std::string, std::string>> decisions;
    for (int q = 0; q < 58; ++q)
        decisions.emplace_back(std::to_string(2500 + (q * 937) % 2500), std::to_string(8 + q % 12));
    const std::string veteran = team("veteran", decisions);
    for (const ScreenSpec& screen :
         {ScreenSpec{800, 600, 96, 96}, ScreenSpec{1920, 1080, 96, 96}}) {
        SCOPED_TRACE(screen.widthPx);
        setScreenOverride(screen);
        start();
        choose(std::vector<std::string>{north, veteran, south});
        chooseFromMenu();
        LeagueWindow* form = league();
        ASSERT_NE(form, nullptr);
        MSFlexGrid* grid = form->quarterGrid();
        ASSERT_EQ(grid->cols(), 60);
        QTableWidget* t = grid->table();
        settle();
        // What the item view keeps clear on either side of a cell's text,
        // and the grid line.
        const int inset =
            2 * (t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1) + 1;
        for (int r = 0; r < grid->rows(); ++r) {
            for (int c = 1; c < grid->cols(); ++c) {
                if (grid->mergedArea(r, c).width() != 1) continue;
                const QString text = grid->textMatrix(r, c);
                const QFont font = grid->shownCellFont(r, c);
                EXPECT_LE(QFontMetricsF(font).horizontalAdvance(text), t->columnWidth(c) - inset)
                    << "row " << r << " quarter " << c << ": " << text.toStdString();
                EXPECT_GE(font.pointSizeF(), 8.0) << "row " << r << " quarter " << c;
            }
        }
        // The last quarter is in reach of the scroll bar and of the keys.
        QScrollBar* bar = t->horizontalScrollBar();
        EXPECT_GT(bar->maximum(), 0);
        EXPECT_NE(t->focusPolicy(), Qt::NoFocus);
        t->setFocus();
        QTest::keyClick(t, Qt::Key_End, Qt::ControlModifier);
        settle();
        const QRect last = t->visualRect(t->model()->index(grid->rows() - 1, grid->cols() - 1));
        EXPECT_TRUE(t->viewport()->rect().contains(last)) << last.x() << " " << last.right();
        EXPECT_EQ(bar->value(), bar->maximum());
        GameWindows::instance().stop();
        settle();
    }
}

TEST_F(LeagueWindowTest, withNothingToRankItSaysWhyAndDrawsNoLine) {
    start();
    choose(std::vector<std::string>{missing, notes});
    chooseFromMenu();
    LeagueWindow* form = league();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(textOf(form, "Label4"), "0 teams ranked, 2 files not read. Values in 1000 Rs.");
    EXPECT_EQ(form->rankingGrid()->rows(), 1);
    EXPECT_EQ(form->quarterGrid()->textMatrix(1, 1).toStdString(),
              "Not read: The game database " + missing + " does not exist.");
    EXPECT_TRUE(legendNames(*form->chart()).empty());
    EXPECT_TRUE(messages.empty());

    // Opened other than through the chooser, before any file was chosen.
    LeagueWindow::files.clear();
    form = qobject_cast<LeagueWindow*>(GameWindows::instance().openForm("LeagueWindow"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(textOf(form, "Label4"), "No team files are chosen: choose them with Other Files.");
    EXPECT_TRUE(form->league().teams.empty());
    for (const std::string& bad : unreadableTexts(form->controls())) ADD_FAILURE() << bad;
}

TEST_F(LeagueWindowTest, aChooserThatCannotBeShownSaysSoOnceAndOpensNothing) {
    start();
    CommonDialog::setOpenAnswerHook([](CommonDialog&) -> std::optional<QStringList> {
        throw std::runtime_error("no display");
    });
    chooseFromMenu();
    EXPECT_EQ(league(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "League");
    EXPECT_EQ(messages[0].icon, model::Icon::Critical);
    EXPECT_EQ(messages[0].text, "Cannot show the open dialog: no display");
}

}  // namespace
}  // namespace tessaro::ui
