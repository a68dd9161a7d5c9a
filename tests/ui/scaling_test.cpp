// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

#include "ui/windows/form.h"
#include "ui/windows/form4.h"
#include "windowtest.h"

namespace tessaro::ui {
namespace {

// A bare window for the scaling routine: controls and its own rect.
class PlainWindow : public ScalableWindow, public ControlCollection {
public:
    std::vector<QWidget*> controls() const override { return controlList(); }
    QRectF windowTwips() const override { return rect; }
    void moveWindowTwips(const QRectF& t) override {
        rect = t;
        ++moves;
    }
    template <class W>
    W* place(W* w, const char* name, double l, double t, double width, double h) {
        return add(w, name, l, t, width, h);
    }
    QRectF rect{0, 0, 11880, 8490};
    int moves = 0;
};

class Scaling : public ::testing::Test {
protected:
    void SetUp() override { scale_window_too = true; }
    void TearDown() override { setScreenOverride(std::nullopt); }
    QWidget parent;
};

TEST_F(Scaling, aLabelAt1024By768GrowsByOnePointTwentyEight) {
    setScreenOverride(ScreenSpec{1024, 768, 96, 96});
    workOutScreenMetrics();
    EXPECT_EQ(screenMetrics.twips_per_pixel_x, 15);
    EXPECT_EQ(screenMetrics.screen_width_px, 1024);
    EXPECT_EQ(screenMetrics.screen_height_px, 768);

    PlainWindow w;
    auto* label = w.place(new QLabel(&parent), "Label3", 1320, 5760, 3735, 495);
    QFont f = label->font();
    f.setPointSizeF(14.25);
    label->setFont(f);
    const float x = 1024.0f / 800, y = 768.0f / 600;
    ScaleFormControls(x, y, w);
    // 1689.6, 7372.8, 4780.8 and 633.6 twips, kept as whole twips.
    EXPECT_EQ(controlTwips(label), QRectF(1690, 7373, 4781, 634));
    EXPECT_NEAR(label->font().pointSizeF(), 18.24, 1e-4);
    // Its edges at 112.7, 491.5, 431.4 and 533.8 pixels, rounded.
    EXPECT_EQ(label->geometry(), QRect(113, 492, 318, 42));
    EXPECT_NEAR(w.rect.width(), 11880 * 1.28, 0.01);
    EXPECT_NEAR(w.rect.height(), 8490 * 1.28, 0.01);
}

TEST_F(Scaling, widthsAndHeightsFollowTheirOwnRatioAndFontsTheMean) {
    PlainWindow w;
    auto* label = w.place(new QLabel(&parent), "Label9", 480, 1560, 10815, 495);
    QFont f = label->font();
    f.setPointSizeF(14.25);
    label->setFont(f);
    const float x = 1280.0f / 800, y = 1024.0f / 600;
    ScaleFormControls(x, y, w);
    EXPECT_EQ(controlTwips(label), QRectF(768, 2662, 17304, 845));
    EXPECT_NEAR(label->font().pointSizeF(), 14.25 * (1.6 + 1024.0 / 600) / 2, 1e-3);
}

TEST_F(Scaling, comboBoxesKeepTheirHeightAndFontlessControlsTheirFont) {
    PlainWindow w;
    auto* combo = w.place(new QComboBox(&parent), "Combo1", 100, 100, 1500, 315);
    const int height = combo->height();
    auto* chart = w.place(new QLabel(&parent), "MSChart1", 0, 0, 3000, 3000);
    setScalesFont(chart, false);
    const double chartFont = chart->font().pointSizeF();
    auto* unplaced = new QLabel(&parent);
    w.add(unplaced, "Timer1");
    unplaced->setGeometry(7, 8, 9, 10);
    ScaleFormControls(2, 3, w);
    EXPECT_EQ(controlTwips(combo).width(), 3000);
    EXPECT_EQ(controlTwips(combo).top(), 300);
    EXPECT_EQ(combo->height(), combo->sizeHint().height());
    EXPECT_NE(combo->height(), 3 * height);
    EXPECT_EQ(chart->font().pointSizeF(), chartFont);
    EXPECT_EQ(controlTwips(chart), QRectF(0, 0, 6000, 9000));
    EXPECT_EQ(unplaced->geometry(), QRect(7, 8, 9, 10));
}

TEST_F(Scaling, aWindowWithoutControlsIsOnlyMovedAndOnlyWhenAsked) {
    PlainWindow w;
    ScaleFormControls(1.5, 2, w);
    EXPECT_EQ(w.rect, QRectF(0, 0, 17820, 16980));
    scale_window_too = false;
    ScaleFormControls(2, 2, w);
    EXPECT_EQ(w.moves, 1);
}

TEST_F(Scaling, screenMetricsGuardAgainstOddScreens) {
    setScreenOverride(ScreenSpec{1920, 1080, 0, 0});
    workOutScreenMetrics();
    EXPECT_EQ(screenMetrics.twips_per_pixel_x, 15);
    EXPECT_EQ(screenMetrics.screen_width_px, 1920);
    setScreenOverride(ScreenSpec{1920, 1080, 5000, 5000});
    workOutScreenMetrics();
    // 0.288 twips per pixel rounds to 0: the size is still worked out.
    EXPECT_EQ(screenMetrics.twips_per_pixel_x, 0);
    EXPECT_GT(screenMetrics.screen_width_px, 0);
    EXPECT_GT(pixelsAcross(1500), 0);
    setScreenOverride(ScreenSpec{1280, 1024, 120, 120});
    workOutScreenMetrics();
    EXPECT_EQ(screenMetrics.twips_per_pixel_x, 12);
    EXPECT_EQ(screenMetrics.screen_width_px, 1280);
}

using FormScaling = WindowTest;

std::map<QString, std::pair<QRectF, double>> layoutOf(Form* form) {
    std::map<QString, std::pair<QRectF, double>> out;
    for (QWidget* c : form->controls()) out[c->objectName()] = {controlTwips(c), controlPoints(c)};
    return out;
}

TEST_F(FormScaling, decisionWindowLoadsAt800By600AsDesignedAndAt1024By768Grows) {
    start();
    // The load alone, before the window is placed in the main window.
    auto form = std::make_unique<Form4>();
    EXPECT_EQ(controlTwips(find<QWidget>(form.get(), "Text2")), QRectF(5280, 5760, 2415, 495));
    EXPECT_EQ(controlTwips(find<QWidget>(form.get(), "Label3")), QRectF(1320, 5760, 3735, 495));
    EXPECT_EQ(controlPoints(find<QWidget>(form.get(), "Label3")), 14);
    EXPECT_EQ(form->windowTwips().size(), QSizeF(11880, 8490));
    const auto design = layoutOf(form.get());
    form.reset();

    setScreenOverride(ScreenSpec{1024, 768, 96, 96});
    auto big = std::make_unique<Form4>();
    for (const auto& [name, was] : layoutOf(big.get())) {
        const QRectF d = design.at(name).first;
        const QRectF now = was.first;
        EXPECT_NEAR(now.left(), std::round(d.left() * 1.28), 0.5) << name.toStdString();
        EXPECT_NEAR(now.top(), std::round(d.top() * 1.28), 0.5) << name.toStdString();
        EXPECT_NEAR(now.width(), std::round(d.width() * 1.28), 0.5) << name.toStdString();
        EXPECT_NEAR(now.height(), std::round(d.height() * 1.28), 0.5) << name.toStdString();
        EXPECT_NEAR(was.second, design.at(name).second * 1.28, 1e-3) << name.toStdString();
    }
    EXPECT_NEAR(big->windowTwips().width(), 11880 * 1.28, 15);
}

TEST_F(FormScaling, aWindowTallerThanTheMainWindowIsShrunkToFitAsIfResizedThere) {
    start();
    const auto design = layoutOf(std::make_unique<Form4>().get());
    // 8490 twips do not fit the 8190 of the main window's client area.
    Form* form = GameWindows::instance().openForm("Form4");
    ASSERT_NE(form, nullptr);
    const QRectF placed = form->windowTwips();
    const double x = placed.width() / 11880, y = placed.height() / 8490;
    EXPECT_LT(y, 0.97);
    EXPECT_GT(y, 0.85);
    EXPECT_LE(x, 1);
    EXPECT_NEAR(form->font_zoom, (x + y) / 2, 0.01);
    for (const auto& [name, was] : layoutOf(form)) {
        const QRectF d = design.at(name).first;
        EXPECT_NEAR(was.first.top(), d.top() * y, 30) << name.toStdString();
        EXPECT_NEAR(was.first.height(), d.height() * y, 30) << name.toStdString();
        EXPECT_NEAR(was.first.width(), d.width() * x, 30) << name.toStdString();
        EXPECT_NEAR(was.second, design.at(name).second * (x + y) / 2, 0.05) << name.toStdString();
    }
    // The shrinking resize was the window's own: the next one is the player's.
    EXPECT_TRUE(resize_armed);
}

TEST_F(FormScaling, resizingIsCumulativeAndReturnsToTheOldLayout) {
    start();
    Form* form = GameWindows::instance().openForm("Form4");
    ASSERT_NE(form, nullptr);
    QApplication::processEvents();
    const auto before = layoutOf(form);
    QMdiSubWindow* sub = form->subWindow();
    const QSize frame = sub->size() - form->size();
    sub->resize(form->size() * 2 + frame);
    QApplication::processEvents();
    const QRectF grown = controlTwips(find<QWidget>(form, "Text2"));
    EXPECT_NEAR(grown.width(), before.at("Text2").first.width() * 2, 30);
    EXPECT_NEAR(grown.left(), before.at("Text2").first.left() * 2, 30);
    sub->resize(form->size() / 2 + frame);
    QApplication::processEvents();
    for (const auto& [name, was] : layoutOf(form)) {
        EXPECT_NEAR(was.first.left(), before.at(name).first.left(), 30) << name.toStdString();
        EXPECT_NEAR(was.first.width(), before.at(name).first.width(), 30) << name.toStdString();
        EXPECT_NEAR(was.second, before.at(name).second, 0.05) << name.toStdString();
    }
}

TEST_F(FormScaling, minimizeOnAnUnchangedScreenMovesNothingAndLeavesTheNextResizeToThePlayer) {
    start();
    Form* form = GameWindows::instance().openForm("Form4");
    ASSERT_NE(form, nullptr);
    QApplication::processEvents();
    const auto before = layoutOf(form);
    const QSize size = form->size();
    form->minimizeCommand();
    QApplication::processEvents();
    EXPECT_TRUE(form->subWindow()->isMinimized());
    EXPECT_EQ(layoutOf(form), before);
    EXPECT_EQ(form->scaling.design_width, 800);
    // An icon keeps its window's size and raises no resize to swallow: the
    // next resize, after the window is restored, is the player's own.
    EXPECT_EQ(form->size(), size);
    EXPECT_TRUE(resize_armed);
    form->subWindow()->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(layoutOf(form), before);
}

}  // namespace
}  // namespace tessaro::ui
