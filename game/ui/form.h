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
#include <QWidget>
#include <vector>

#include "module2.h"

class QMdiSubWindow;

namespace tessaro::ui {

// Colours and fonts the windows use by name.
QColor rgb(int r, int g, int b);
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

// A label that keeps to its box: when its text is wider or taller than the
// box, it is drawn in a smaller font until it fits, so long numbers stay
// readable instead of being cut off. Its own font size stays what was set
// (and scaled).
class FitLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

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
    // What the window does when it stops being the active window.
    virtual void deactivated();

protected:
    // The load's first step: scale the design layout to the screen.
    void scaleToScreen() { scaling.load(*this); }
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tessaro::ui
