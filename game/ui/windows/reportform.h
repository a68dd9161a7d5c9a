// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What the plan report and the performance sheet share: a child window of
// the report size with a heading and the plan-quarter number along its top,
// Minimize and Close beside them, a coloured band below, and grids across
// its width; the same load (scale, colour, caption, headings, then the
// game's figures read through the model) and the same Close, which
// rebuilds the board. Each report adds only its grids and what goes in them.
#pragma once

#include <functional>
#include <string>

#include "ui/windows/form.h"

class QPushButton;

namespace tessaro::ui {

class MSFlexGrid;

class ReportForm : public Form {
    Q_OBJECT

public:
    // Close and Esc unload the window and rebuild the main window.
    void closeCommand() override { closeRebuildingBoard(); }

protected:
    struct Design {
        const char* name;      // the window's name, "Form7"
        const char* caption;   // its title bar
        const char* heading;   // Label1's caption
        double headingWidth;   // Label1's width in twips; Label2 follows it
        const char* bandName;  // the coloured band's name
    };
    explicit ReportForm(const Design& design);

    // A grid across the window's width, at `top`, of that many rows and
    // columns, fixed ones included, in the reports' look.
    MSFlexGrid* addGrid(const char* name, double top, double height, int rows, int cols,
                        int fixedRows, int fixedCols);

    // Shows the plan-quarter number beside the heading.
    void showPlanNumber(const std::string& text);

    // Runs `read` on the game's connection string; a database that cannot
    // be read is reported in its message box, and the result is false.
    bool readGame(const std::function<void(const std::string&)>& read);

    // The subclass's constructor ends with this, once every control is
    // there: the load, then names for the bands readers meet, then every
    // text in a size at which it shows whole.
    void open();

private:
    // The report's own part of the load, after the shared headings.
    virtual void fill() = 0;
    void showHeadings();

    Design m_design;
    QLabel* m_heading = nullptr;     // Label1
    QLabel* m_planNumber = nullptr;  // Label2
    QLabel* m_band = nullptr;
    QPushButton* m_minimize = nullptr;  // Command2
    QPushButton* m_close = nullptr;     // Command1
};

}  // namespace tessaro::ui
