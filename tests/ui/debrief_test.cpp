// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief report written for real games and read back with the poppler
// tools: the texts of every page, the page count and size, pages that
// render, charts drawn as vectors and fonts embedded.
#include "ui/debrief/debrief.h"

#include <gtest/gtest.h>

#include <QImage>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "model/reports.h"
#include "pdftools.h"
#include "store/gamelocation.h"
#include "testgame.h"
#include "testlocale.h"

namespace tessaro::ui {

// Names the paper in the test's name.
void PrintTo(Paper paper, std::ostream* os) {
    *os << (paper == Paper::A4 ? "A4" : "Letter");
}

namespace {

using testing::press;

using pdf::fileBytes;
using pdf::haveTools;
using pdf::Output;
using pdf::pageCount;
using pdf::pageSize;
using pdf::PageSize;
using pdf::pageText;
using pdf::quoted;
using pdf::shell;
using pdf::squeezed;

// A page rendered at 40 dots per inch.
QImage renderedPage(const std::string& pdf, int page, const std::string& dir) {
    const std::string base = dir + "/page" + std::to_string(page);
    shell("pdftoppm -png -r 40 -singlefile -f " + std::to_string(page) + " -l " +
          std::to_string(page) + " " + quoted(pdf) + " " + quoted(base));
    return QImage(QString::fromStdString(base + ".png"));
}

struct Pixels {
    double inked = 0;  // share of pixels that are not white
    int red = 0;       // the plots' line colour
    int green = 0;     // their markers
};

Pixels countPixels(const QImage& image) {
    Pixels p;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 235 || c.green() < 235 || c.blue() < 235) ++inked;
            if (c.red() > 200 && c.green() < 90 && c.blue() < 90) ++p.red;
            if (c.green() > 200 && c.red() < 90 && c.blue() < 90) ++p.green;
        }
    p.inked = double(inked) / (image.width() * image.height());
    return p;
}

std::string whole(const std::string& cs, const std::string& column, int plan) {
    return testing::scalarText(
        cs,
        "SELECT CAST(" + column + " AS INTEGER) FROM PLDI WHERE ZNPLPD=" + std::to_string(plan));
}

class DebriefTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTools())
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo ...) are not installed";
        cs = testing::newGame(dir);
    }
    // Plays the quarters; the new game has played its first already.
    void play(const std::vector<std::pair<std::string, std::string>>& decisions) {
        for (const auto& [production, hiring] : decisions)
            ASSERT_EQ(press(cs, production, hiring, "WOTA"), model::RunOutcome::PlanRun);
    }
    std::string write(Paper paper, const std::string& name = "debrief.pdf") {
        const std::string pdf = dir.file(name);
        const std::string error = writeDebrief(cs, pdf, paper);
        EXPECT_EQ(error, "");
        return pdf;
    }
    static void expectHas(const std::string& page, const std::string& text, int number) {
        EXPECT_NE(page.find(squeezed(text)), std::string::npos)
            << "page " << number << " lacks \"" << text << "\":\n"
            << page;
    }
    testing::TempDir dir;
    std::string cs;
};

class DebriefOnPaper : public DebriefTest, public ::testing::WithParamInterface<Paper> {};

TEST_P(DebriefOnPaper, everyPageShowsWhatItsWindowShows) {
    play({{"4200", "17"}, {"2600", "8"}, {"3100", "12"}});
    const std::string before = testing::dump(cs);
    const std::string pdf = write(GetParam());
    EXPECT_EQ(testing::dump(cs), before);  // the game is only read

    const PageSize size = pageSize(pdf);
    const PageSize expected = GetParam() == Paper::A4 ? PageSize{595, 842} : PageSize{612, 792};
    EXPECT_NEAR(size.width, expected.width, 0.5);
    EXPECT_NEAR(size.height, expected.height, 0.5);
    // Title and sheet, report, five pages of two plots, the score and the
    // sheet's lines against the quarter before.
    ASSERT_EQ(pageCount(pdf), 9);
    for (int p = 1; p <= 9; ++p)
        expectHas(pageText(pdf, p), "Page " + std::to_string(p) + " of 9", p);

    // Page 1: the title as the board shows it, and the performance sheet
    // with the last PLDI row's values as the sheet shows them.
    const auto sheet = model::loadPerformanceSheet(cs);
    const std::string p1 = pageText(pdf, 1);
    expectHas(p1, "Tessaro", 1);
    expectHas(p1, "PLAN-QUARTER NO. :: 5", 1);
    expectHas(p1, "Performance Sheet For Plan Quarter Number : 4", 1);
    for (const auto& row : sheet.grid()) {
        if (row[0] == row[1])
            expectHas(p1, row[0], 1);
        else
            expectHas(p1, row[0] + " " + row[1], 1);
    }
    EXPECT_EQ(sheet.grid()[1][1], whole(cs, "ZTE", 4));

    // Page 2: the plan report.
    const auto report = model::loadPlanReport(cs);
    const std::string p2 = pageText(pdf, 2);
    expectHas(p2, "Plan Report For Plan Quarter Number : 4", 2);
    expectHas(p2, "Your Decision Vs Actual", 2);
    expectHas(p2, "Production Orders Decision : 3100", 2);
    expectHas(p2, "Trainees' Hiring Decision : 12", 2);
    for (const auto& row : report.decisionGrid())
        for (const auto& cell : row) expectHas(p2, cell, 2);
    const auto grid = report.variablesGrid();
    // A row whose texts fit on one line reads across; every cell is there.
    std::string firstRow;
    for (const auto& cell : grid[1]) firstRow += cell + " ";
    expectHas(p2, firstRow, 2);
    for (const auto& row : grid)
        for (const auto& cell : row) expectHas(p2, cell.substr(0, cell.find(' ')), 2);

    // Pages 3 to 7: the past plan plots and the game value plots, with the
    // windows' titles.
    int page = 3;
    std::vector<model::PlotData> plots;
    for (int s = 1; s <= 8; ++s) plots.push_back(model::loadPlot(cs, model::PlotKind::PastPlan, s));
    for (int s = 1; s <= 2; ++s)
        plots.push_back(model::loadPlot(cs, model::PlotKind::GameValue, s));
    for (std::size_t i = 0; i < plots.size(); i += 2, ++page) {
        const std::string text = pageText(pdf, page);
        expectHas(text, "Past Plan Plots", page);
        for (std::size_t k = i; k < i + 2; ++k) {
            ASSERT_FALSE(plots[k].failure);
            expectHas(text, plots[k].title, page);
            expectHas(text, plots[k].yTitle, page);
            expectHas(text, plots[k].xTitle, page);
        }
    }

    // Page 8: the value of the game quarter by quarter, then the waterfall.
    const std::string p8 = pageText(pdf, 8);
    expectHas(p8, "How the Value of The Game Came About", 8);
    for (int q = 1; q <= 4; ++q)
        expectHas(p8,
                  std::to_string(q) + " " + whole(cs, "ZVG", q) + " " + whole(cs, "ZTVG", q) + " " +
                      whole(cs, "ZCVG", q),
                  8);
    expectHas(p8, "Value of The Game: Plan 3 to Plan 4", 8);

    // Page 9: each line of the sheet against the quarter before.
    const std::string p9 = pageText(pdf, 9);
    expectHas(p9, "Plan-Quarter 3 Plan-Quarter 4 Change", 9);
    const int e3 = std::stoi(whole(cs, "ZTE", 3));
    const int e4 = std::stoi(whole(cs, "ZTE", 4));
    const std::string change = (e4 > e3 ? "+" : "") + std::to_string(e4 - e3);
    expectHas(p9,
              "1. Earnings From Orders Filled in this plan : " + std::to_string(e3) + " " +
                  std::to_string(e4) + " " + change + " " + change,
              9);
    const int v3 = std::stoi(whole(cs, "ZVG", 3));
    const int v4 = std::stoi(whole(cs, "ZVG", 4));
    expectHas(p9, "Value of The Game : " + std::to_string(v3) + " " + std::to_string(v4), 9);
}

TEST_P(DebriefOnPaper, pagesRenderWithVectorChartsAndEmbeddedFonts) {
    play({{"4200", "17"}, {"2600", "8"}});
    const std::string pdf = write(GetParam());
    const int pages = pageCount(pdf);
    ASSERT_GT(pages, 0);
    for (int p = 1; p <= pages; ++p) {
        const QImage image = renderedPage(pdf, p, dir.path().string());
        ASSERT_FALSE(image.isNull()) << "page " << p << " did not render";
        EXPECT_GT(countPixels(image).inked, 0.01) << "page " << p << " is blank";
    }
    // A plot page carries the red line and the green markers of the plots.
    const Pixels plot = countPixels(renderedPage(pdf, 3, dir.path().string()));
    EXPECT_GT(plot.inked, 0.05);
    EXPECT_GT(plot.red, 20);
    EXPECT_GT(plot.green, 20);

    // No pictures: pdfimages lists none, and no image object is in the file.
    const Output images = shell("pdfimages -list " + quoted(pdf));
    ASSERT_EQ(images.status, 0);
    EXPECT_EQ(std::count(images.text.begin(), images.text.end(), '\n'), 2) << images.text;
    const std::string bytes = fileBytes(pdf);
    EXPECT_FALSE(std::regex_search(bytes, std::regex(R"(/Subtype\s*/Image\b)")));
    // Every font is embedded.
    const Output fonts = shell("pdffonts " + quoted(pdf));
    ASSERT_EQ(fonts.status, 0);
    int listed = 0;
    std::size_t line = fonts.text.find('\n', fonts.text.find("---"));
    while (line != std::string::npos && line + 1 < fonts.text.size()) {
        const std::size_t next = fonts.text.find('\n', line + 1);
        const std::string row = fonts.text.substr(line + 1, next - line - 1);
        if (!row.empty()) {
            ++listed;
            EXPECT_NE(row.find(" yes "), std::string::npos) << "not embedded: " << row;
        }
        line = next;
    }
    EXPECT_GE(listed, 2);
    EXPECT_NE(bytes.find("/FontFile2"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Papers, DebriefOnPaper, ::testing::Values(Paper::A4, Paper::Letter),
                         [](const auto& info) {
                             return std::string(info.param == Paper::A4 ? "A4" : "Letter");
                         });

TEST_F(DebriefTest, aGameOfOneQuarterStartsItsWaterfallAtZero) {
    const std::string pdf = write(Paper::A4);
    ASSERT_GT(pageCount(pdf), 0);
    std::string all;
    for (int p = 1; p <= pageCount(pdf); ++p) all += pageText(pdf, p) + " ";
    expectHas(all, "Value of The Game: Start to Plan 1", 0);
    expectHas(all, "Plan-Quarter 1 Against the Start of Play", 0);
    const std::string earnings = whole(cs, "ZTE", 1);
    // Before play nothing was earned: the whole earnings are the change.
    expectHas(all,
              "1. Earnings From Orders Filled in this plan : 0 " + earnings + " +" + earnings +
                  " +" + earnings,
              0);
    expectHas(all, "Value of The Game : 0 " + whole(cs, "ZVG", 1), 0);
}

TEST_F(DebriefTest, theSheetShowsNegativeValuesInRed) {
    const auto redOnSheet = [&](const std::string& set, const std::string& name) {
        testing::sql(cs, "UPDATE PLDI SET " + set);
        return countPixels(renderedPage(write(Paper::A4, name), 1, dir.path().string())).red;
    };
    EXPECT_EQ(redOnSheet("ZVG=5, ZCVG=0", "black.pdf"), 0);
    const int one = redOnSheet("ZVG=-5, ZCVG=0", "one.pdf");
    EXPECT_GT(one, 0);
    EXPECT_GT(redOnSheet("ZVG=-5, ZCVG=-3", "two.pdf"), one);
}

TEST_F(DebriefTest, aPlotWithNothingToShowSaysSoInItsPlace) {
    // Only the firm's first row: the past plan plots have no point.
    testing::sql(cs, "DELETE FROM PLIO WHERE PNPLPD > 0");
    const std::string pdf = write(Paper::Letter);
    const std::string p3 = pageText(pdf, 3);
    EXPECT_NE(p3.find("Plot For Tessaro: No Data to Show on Chart!!!"), std::string::npos) << p3;
    // The game value plots still have theirs.
    const std::string p7 = pageText(pdf, 7);
    EXPECT_NE(p7.find("PLAN GAME VALUE"), std::string::npos) << p7;
}

TEST_F(DebriefTest, figuresThatDoNotAddUpGetABarOfTheirOwnAndTheWaterfallEndsAtTheSheet) {
    play({{"3000", "10"}});
    testing::sql(cs, "UPDATE PLDI SET ZVG = ZVG + 777 WHERE ZNPLPD = 2");
    const std::string pdf = write(Paper::A4);
    std::string all;
    for (int p = 8; p <= pageCount(pdf); ++p) all += pageText(pdf, p) + " ";
    expectHas(all, "Unaccounted", 8);
    expectHas(all, "+777", 8);
    expectHas(all, "+777", 8);
}

TEST_F(DebriefTest, failuresLeaveNoFileAndAnOlderDebriefAsItWas) {
    const std::string pdf = dir.file("old.pdf");
    std::ofstream(pdf) << "the debrief of last week";
    const auto files = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = files();

    testing::sql(cs, "DELETE FROM PLDI");
    EXPECT_EQ(writeDebrief(cs, pdf, Paper::A4),
              "No debrief written: Plan Number: No Data to Show Plan Number!!!");
    EXPECT_EQ(fileBytes(pdf), "the debrief of last week");

    // A missing game is not made a new one.
    const std::string missing = dir.file("nobody.mdb");
    EXPECT_EQ(writeDebrief(store::connectionStringForFile(missing), pdf, Paper::A4),
              "The game database " + missing + " does not exist.");
    EXPECT_FALSE(std::filesystem::exists(missing));

    testing::TempDir other;
    EXPECT_EQ(writeDebrief(testing::newGame(other), dir.file("no/such/folder/d.pdf"), Paper::A4),
              "The debrief cannot be written to " + dir.file("no/such/folder/d.pdf") +
                  ": No such file or directory.");
    EXPECT_EQ(files(), before);  // no temporary file stays behind
}

TEST_F(DebriefTest, theGameFileIsNeverWrittenOver) {
    const std::string game = store::pathFromConnectionString(cs);
    const std::string bytes = fileBytes(game);
    EXPECT_EQ(writeDebrief(cs, game, Paper::A4),
              "The debrief is not written over the game database " + game + ".");
    // Not by another name for it either.
    const std::string link = dir.file("report.pdf");
    std::filesystem::create_symlink(game, link);
    EXPECT_NE(writeDebrief(cs, link, Paper::A4), "");
    EXPECT_EQ(fileBytes(game), bytes);
}

TEST_F(DebriefTest, theTextsAreTheSameInEveryLocale) {
    play({{"4200", "17"}, {"2600", "8"}});
    const auto text = [&](const std::string& name) {
        const std::string pdf = write(Paper::A4, name);
        std::string all;
        for (int p = 1; p <= pageCount(pdf); ++p) all += pageText(pdf, p) + "\n";
        return all;
    };
    const std::string plain = text("c.pdf");
    for (const char* name : testlocale::kOtherLocales) {
        testlocale::Scoped locale(name);
        ASSERT_TRUE(locale.active()) << locale.why();
        EXPECT_EQ(text(std::string(name) + ".pdf"), plain) << name;
    }
}

}  // namespace
}  // namespace tessaro::ui
