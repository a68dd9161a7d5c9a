// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// What a pass with fonts on costs Qt: every font change makes a widget lay
// out its text again (a line edit shapes it anew), so a pass must change
// each control's font at most once, and not at all when its size stays.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "engine.h"
#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl::ResizeFunctions;
using namespace resizetest;

namespace {

// Counts the font changes each widget is told of while it lives.
class FontChanges : public QObject {
public:
    FontChanges() { qApp->installEventFilter(this); }
    ~FontChanges() override { qApp->removeEventFilter(this); }
    FontChanges(const FontChanges&) = delete;
    FontChanges& operator=(const FontChanges&) = delete;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::FontChange) ++counts[o];
        return false;
    }
    QHash<QObject*, int> counts;
};

// A hidden form designed with a client of 9000 x 6000 twips, fonts at 8
// points, holding line edits, labels, buttons and check boxes, some inside a
// frame, some with a font of their own, the others taking the form's.
class PassFontChanges : public ::testing::Test {
protected:
    PassFontChanges() {
        form.setObjectName(uniqueFormName(QStringLiteral("FormFontChanges")));
        form.resize(600, 400);
        QFont f = form.font();
        f.setPointSizeF(8);
        form.setFont(f);
        auto* frame = new QFrame(&form);
        frame->setObjectName(QStringLiteral("Frame1"));
        frame->setGeometry(300, 10, 250, 300);
        QFont own = form.font();
        own.setPointSizeF(11);
        for (int i = 0; i < 8; ++i) {
            QWidget* parent = i % 2 ? static_cast<QWidget*>(frame) : &form;
            QWidget* w = nullptr;
            switch (i % 4) {
                case 0:
                    w = new QLineEdit(QStringLiteral("Text"), parent);
                    break;
                case 1:
                    w = new QLabel(QStringLiteral("Label"), parent);
                    break;
                case 2:
                    w = new QPushButton(QStringLiteral("Button"), parent);
                    break;
                default:
                    w = new QCheckBox(QStringLiteral("Option"), parent);
                    break;
            }
            w->setObjectName(QStringLiteral("Control%1").arg(i));
            w->setGeometry(10, 10 + 30 * i, 100, 25);
            if (i >= 4) w->setFont(own);  // one font shared by four controls
            controls.push_back(w);
        }
        WorkingCopies& wc = workingCopies();
        wc = WorkingCopies{};
        wc.resizeFonts = true;
        wc.formWidthDT = wc.formScaleWidthDT = 9000;
        wc.formHeightDT = wc.formScaleHeightDT = 6000;
        ResizeForm(&form);  // registers the form at its design size
    }
    void sizeClient(int width, int height) {
        form.resize(width / TwipsPerPixel, height / TwipsPerPixel);
    }

    ScreenStandIn screen{1024, 768};
    QWidget form;
    std::vector<QWidget*> controls;
};

TEST_F(PassFontChanges, eachControlIsToldOnceAndGetsItsScaledSize) {
    sizeClient(13500, 9000);  // 150 %
    FontChanges changes;
    ResizeForm(&form);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        QWidget* w = controls[i];
        EXPECT_EQ(changes.counts.value(w), 1) << w->objectName().toStdString();
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), i >= 4 ? 16.5 : 12.0)
            << w->objectName().toStdString();
    }
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 12.0);
}

TEST_F(PassFontChanges, aPassAtTheSameFontSizeChangesNoFont) {
    sizeClient(13500, 9000);
    ResizeForm(&form);
    // Wider only: the smaller percent, and so every font, stays at 150 %.
    sizeClient(18000, 9000);
    FontChanges changes;
    ResizeForm(&form);
    for (QWidget* w : controls)
        EXPECT_EQ(changes.counts.value(w), 0) << w->objectName().toStdString();
    EXPECT_EQ(changes.counts.value(&form), 0);
    EXPECT_DOUBLE_EQ(controls.front()->font().pointSizeF(), 12.0);
    EXPECT_DOUBLE_EQ(controls.back()->font().pointSizeF(), 16.5);
    // And the controls did move: the pass ran.
    EXPECT_EQ(controls.front()->x(), 20);
}

TEST_F(PassFontChanges, backAtTheDesignSizeEveryFontIsAsDesigned) {
    sizeClient(13500, 9000);
    ResizeForm(&form);
    sizeClient(9000, 6000);
    FontChanges changes;
    ResizeForm(&form);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(changes.counts.value(controls[i]), 1);
        EXPECT_DOUBLE_EQ(controls[i]->font().pointSizeF(), i >= 4 ? 11.0 : 8.0);
    }
}

}  // namespace
