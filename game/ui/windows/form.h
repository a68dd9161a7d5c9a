// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What every game window shares: its controls in collection order, laid out
// in twips and scaled to the screen, and the shared commands and handlers of
// the child windows (Minimize, Close, losing focus, resize, unload).
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "ui/look/module2.h"

class QMdiSubWindow;

namespace tessaro::ui {

// Fonts and colours as the windows give them (the colours: palette.h).
QFont gameFont(const QString& family, double points, bool bold = false, bool underline = false);
void setBackColor(QWidget* w, const QColor& back);
void setForeColor(QWidget* w, const QColor& fore);
void setColors(QWidget* w, const QColor& back, const QColor& fore);

// The windows' controls, in the order they were created (their collection
// order for the scaling).
class ControlCollection {
public:
    template <class W>
    W* add(W* control, const char* name, double left, double top, double width, double height) {
        control->setObjectName(name);
        placeControl(control, QRectF(left, top, width, height));
        m_controls.emplace_back(control);
        return control;
    }
    // A control with no position of its own (menu items stand outside).
    template <class W>
    W* add(W* control, const char* name) {
        control->setObjectName(name);
        m_controls.emplace_back(control);
        return control;
    }
    std::vector<QWidget*> controlList() const;

private:
    std::vector<QPointer<QWidget>> m_controls;
};

// A label as the windows draw it: its text without the blanks that end its
// lines, CR LF breaks as line breaks, in the font the text fit gave it
// (textfit.h). A one-line text still too wide at the legible size (a long
// stored number) shows as much of itself as fits, ending in "...": the
// window puts the whole text in the label's tooltip and its accessible
// description.
class FitLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The text as drawn now.
    QString displayedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A button of the graphical style: a flat face in its back colour with a
// thin raised rim (sunk while it is pressed), and a dotted mark inside the
// rim while it has the focus.
class GraphicalButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Names a control for assistive technology (Qt's accessibility). An empty
// name leaves a label or button announced by its own text, whatever that
// text becomes later.
void setAccessibleText(QWidget* control, const QString& name, const QString& description = {});
// Gives every control that has neither an accessible name nor a text of its
// own (a coloured band, a rule, a strip) the name `what`. A name hides the
// caption, so this comes after the window's load has set its captions.
void nameDecorations(const std::vector<QWidget*>& controls, const QString& what);

// A child window of the main window: a form inside the MDI area.
class Form : public QWidget, public ScalableWindow, protected ControlCollection {
    Q_OBJECT

public:
    // `clientWidth` and `clientHeight` are the design client size in twips.
    Form(const char* name, double clientWidth, double clientHeight);

    WindowScaling scaling;

    std::vector<QWidget*> controls() const override { return controlList(); }
    QRectF windowTwips() const override;
    void moveWindowTwips(const QRectF& twips) override;

    // The window's frame in the MDI area (null before it is shown there).
    QMdiSubWindow* subWindow() const;

    // The shared Minimize command.
    void minimizeCommand();
    // Close, variant 1: unload the window and show the board.
    void closeShowingBoard();
    // Close, variant 2: unload the window and rebuild the main window.
    void closeRebuildingBoard();
    // What Esc does: what the window's Close button does, or, for a window
    // without one, what the close button of its title bar does.
    virtual void closeCommand() { closeShowingBoard(); }
    // What the window does when it stops being the active window because
    // `next` became the active one.
    virtual void deactivated(QMdiSubWindow* next);

    // Whether the window stops at the size below which a caption would be
    // cut (captionroom.h) when it is dragged small.
    virtual bool keepsCaptionsWhole() const { return false; }

    // The control that has the focus when the window opens: the first one
    // in its tab order.
    virtual QWidget* firstFocus() const;

protected:
    // The load's first step: scale the design layout to the screen.
    void scaleToScreen() { scaling.load(*this); }
    // The load's last step: every text in a size at which it shows whole.
    void fitTextsToBoxes();
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tessaro::ui
