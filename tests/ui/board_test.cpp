// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The board as a player reads it, measured on the pixels it draws: the Plan
// Brief's border shows, and the value cells never run together, never drop
// below a legible size and show a value that does not fit as cut short,
// with the whole value in the tooltip and for screen readers.
#include <QAccessible>
#include <QImage>
#include <algorithm>
#include <optional>

#include "ui/components/frame.h"
#include "ui/look/palette.h"
#include "ui/look/textfit.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

const ScreenSpec kScreens[] = {{800, 600, 96, 96}, {1024, 768, 96, 96}, {1920, 1080, 96, 96}};

// The value cells of the table, row by row, left to right.
const char* const kBeforeCells[] = {"Label6",  "Label9",  "Label12", "Label15", "Label18",
                                    "Label21", "Label45", "Label48", "Label51", "Label54"};
const char* const kAfterCells[] = {"Label7",  "Label10", "Label13", "Label16", "Label19",
                                   "Label22", "Label46", "Label49", "Label52", "Label55"};
const char* const kMeansCells[] = {"Label57", "Label58", "Label59", "Label60", "Label61",
                                   "Label62", "Label63", "Label64", "Label65", "Label66"};
const char* const kBriefCells[] = {"Label28", "Label30", "Label33", "Label35",
                                   "Label38", "Label41", "Label44"};

std::string sizeOf(const ScreenSpec& s) {
    return std::to_string(s.widthPx) + "x" + std::to_string(s.heightPx);
}

// The columns of `image` between `left` and `right` (inclusive) in the
// band of rows from `top` to `bottom` where any pixel differs from `back`.
struct Ink {
    int left = 0;
    int right = 0;
};
std::optional<Ink> inkAcross(const QImage& image, const QRect& band, const QColor& back) {
    std::optional<Ink> ink;
    for (int x = band.left(); x <= band.right(); ++x) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            if (image.pixelColor(x, y) == back) continue;
            if (!ink) ink = Ink{x, x};
            ink->right = x;
            break;
        }
    }
    return ink;
}

// The runs of pixels along a line of the image that stand out from `back`
// (a contrast of 3 : 1 or more), as their lengths.
std::vector<int> runsThatShow(const QImage& image, QPoint from, QPoint step, int count,
                              const QColor& back, QColor* seen) {
    std::vector<int> runs;
    bool inRun = false;
    for (int i = 0; i < count; ++i, from += step) {
        const QColor c = image.pixelColor(from);
        const bool shows = contrastRatio(c, back) >= 3;
        if (shows && seen) *seen = c;
        if (shows && !inRun) runs.push_back(0);
        if (shows) ++runs.back();
        inRun = shows;
    }
    return runs;
}

class Board : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Quarters whose stored values are long unrounded numbers.
        for (const char* d : {"3500", "2800", "4200", "3100"}) testing::press(cs, d, "15", "WOTA");
    }
    MDIForm1* startAt(const ScreenSpec& screen) {
        setScreenOverride(screen);
        MDIForm1* w = start();
        w->show();
        QApplication::processEvents();
        return w;
    }
    void stop() {
        GameWindows::instance().stop();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(Board, thePlanBriefHasOneBorderThatShowsOnItsBlackAtEverySize) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        MDIForm1* w = startAt(screen);
        auto* frame = find<Frame>(w, "Frame1");
        ASSERT_NE(frame, nullptr);
        // The board as drawn, neighbours laid over the frame included.
        const QImage board = w->picture1()->grab().toImage();
        const QRect f = frame->geometry();
        const int reach = std::max(6, f.width() / 40);  // from an edge inwards
        QColor line;
        // From inside the frame out to its edges, at half height and at the
        // middle, and from the top (past the caption) down.
        const int inside = f.height() / 12;
        const auto left = runsThatShow(board, {f.left() + reach, f.center().y()}, {-1, 0},
                                       reach + 1, kBlack, &line);
        const auto right = runsThatShow(board, {f.right() - reach, f.center().y()}, {1, 0},
                                        reach + 1, kBlack, &line);
        const auto bottom = runsThatShow(board, {f.center().x(), f.bottom() - reach}, {0, 1},
                                         reach + 1, kBlack, &line);
        const auto top = runsThatShow(board, {f.right() - reach - 2, f.top() + inside}, {0, -1},
                                      inside + 1, kBlack, &line);
        const std::pair<const char*, const std::vector<int>*> sides[] = {
            {"left", &left}, {"right", &right}, {"bottom", &bottom}, {"top", &top}};
        for (const auto& [side, runs] : sides) {
            // The first thing that shows is a thin line; beyond it there may
            // be only what lies outside the frame (the chart's white).
            ASSERT_GE(runs->size(), 1u) << "no line along the " << side;
            EXPECT_LE(runs->size(), 2u) << "more than one line along the " << side;
            EXPECT_LE(runs->front(), 2) << "a thin line along the " << side;
        }
        EXPECT_GE(contrastRatio(line, kBlack), 3);
        stop();
    }
}

TEST_F(Board, theFramesBorderColourStandsOutFromItsBack) {
    // What the line is drawn in, against the frame's black: the shade the
    // styles used (RGB 22, 22, 22) comes to 1.2 : 1, which no one sees.
    EXPECT_GE(contrastRatio(kFrameBorder, kBlack), 3);
    EXPECT_LT(contrastRatio(QColor(22, 22, 22), kBlack), 3);
    EXPECT_NEAR(contrastRatio(kWhite, kBlack), 21, 1e-9);
    EXPECT_NEAR(contrastRatio(kBlue, kBlue), 1, 1e-9);
}

// The colour a widget is drawn on: its own back where it fills it, else
// that of the nearest parent that does.
QColor backOf(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->autoFillBackground()) return w->palette().color(QPalette::Window);
    return kWhite;
}

TEST_F(Board, everyTextOnTheBoardStandsOutFromWhatItIsDrawnOn) {
    MDIForm1* w = startAt(kScreens[0]);
    int texts = 0;
    for (QLabel* label : w->picture1()->findChildren<QLabel*>()) {
        if (label->text().trimmed().isEmpty()) continue;
        ++texts;
        const QColor fore = label->palette().color(QPalette::WindowText);
        EXPECT_GE(contrastRatio(fore, backOf(label)), 3)
            << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\"";
    }
    EXPECT_GT(texts, 40);
    auto* frame = find<Frame>(w, "Frame1");
    EXPECT_GE(contrastRatio(frame->palette().color(QPalette::WindowText), backOf(frame)), 3);
}

TEST_F(Board, neighbouringValuesStandApartAtEverySize) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        MDIForm1* w = startAt(screen);
        QWidget* table = find<QWidget>(w, "Frame2");
        ASSERT_NE(table, nullptr);
        const QImage image = table->grab().toImage();
        for (const auto* row : {kBeforeCells, kAfterCells, kMeansCells}) {
            std::optional<Ink> previous;
            for (int i = 0; i < 10; ++i) {
                auto* cell = find<QLabel>(w, row[i]);
                ASSERT_NE(cell, nullptr);
                // The text's rows only, clear of the rules above and below.
                const QRect band = cell->geometry().adjusted(0, 2, 0, -2);
                const std::optional<Ink> ink = inkAcross(image, band, kBlack);
                ASSERT_TRUE(ink.has_value()) << row[i] << " draws nothing";
                if (previous) {
                    EXPECT_GE(ink->left - previous->right - 1, 2 * kLeastSideRoom)
                        << row[i] << " runs into the value on its left";
                }
                previous = ink;
            }
        }
        stop();
    }
}

TEST_F(Board, everyValueIsLegibleWholeOrCutShortWithTheWholeForReaders) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        MDIForm1* w = startAt(screen);
        int cutShort = 0;
        for (const auto* row : {kBeforeCells, kAfterCells, kMeansCells}) {
            for (int i = 0; i < 10; ++i) {
                auto* cell = find<FitLabel>(w, row[i]);
                ASSERT_NE(cell, nullptr);
                EXPECT_GE(cell->font().pointSizeF(), kLegiblePoints) << row[i];
                const QString whole = cell->text();
                const QString shown = cell->displayedText();
                // What is drawn fits the room inside the cell's margins.
                EXPECT_LE(QFontMetrics(cell->font()).horizontalAdvance(shown),
                          cell->contentsRect().width())
                    << row[i];
                if (shown == whole) continue;
                ++cutShort;
                EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << row[i] << " cut without a mark";
                EXPECT_TRUE(whole.startsWith(shown.chopped(1))) << row[i];
                EXPECT_EQ(cell->toolTip(), whole) << row[i];
                QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(cell);
                ASSERT_NE(reader, nullptr);
                EXPECT_EQ(reader->text(QAccessible::Description), whole) << row[i];
                EXPECT_FALSE(reader->text(QAccessible::Name).isEmpty()) << row[i];
            }
        }
        // The game's values run to 15 digits: at 800 x 600 some cannot fit.
        if (screen.widthPx == 800) {
            EXPECT_GT(cutShort, 0);
        }
        stop();
    }
}

TEST_F(Board, thePlanBriefValuesShowWholeAndApartFromTheirCaptions) {
    for (const ScreenSpec& screen : kScreens) {
        SCOPED_TRACE(sizeOf(screen));
        MDIForm1* w = startAt(screen);
        for (const char* name : kBriefCells) {
            auto* value = find<FitLabel>(w, name);
            ASSERT_NE(value, nullptr);
            EXPECT_FALSE(value->text().isEmpty()) << name;
            EXPECT_EQ(value->displayedText(), value->text()) << name;
            EXPECT_GE(value->font().pointSizeF(), kLegiblePoints) << name;
            EXPECT_GE(value->contentsMargins().left(), kLeastSideRoom) << name;
        }
        stop();
    }
}

}  // namespace
}  // namespace tessaro::ui
