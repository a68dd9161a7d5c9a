// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What the three plot windows share: a line chart of one variable, one marked
// point per week or per plan-quarter, with Close, Save As and Minimize
// buttons below it. Which variable is drawn is the main window's selector
// for the window's kind (MDIForm1::p, p2 or p3), read when the window loads.
//
// The load scales the window to the screen, reads the plot from the
// database and, unless the database has nothing to show, colours the window,
// sets its caption and builds the chart. A load that stops at a message
// leaves the chart as it was designed: the chart control's empty default.
#pragma once

#include "model/reports.h"
#include "ui/windows/form.h"

class QPushButton;

namespace tessaro::ui {

class CommonDialog;
class MSChart;

class PlotForm : public Form {
    Q_OBJECT

public:
    // What its Close button does after unloading the window.
    enum class CloseVariant {
        ShowBoard,     // show the main window's board again
        RebuildBoard,  // reload the main window, board and all, from the database
    };

    struct Design {
        const char* name;         // "Form1" ...
        model::PlotKind kind;     // which table and selector
        const char* saveCaption;  // "Save As.." or "Save As"
        CloseVariant close;
    };

    // The design client size in twips: with its frame the window fits the
    // main window's client area on an 800 x 600 screen.
    static constexpr double kClientWidth = 11640;
    static constexpr double kClientHeight = 7620;

    explicit PlotForm(const Design& design);

    MSChart* chart() const { return m_chart; }
    CommonDialog* commonDialog() const { return m_dialog; }
    model::PlotKind kind() const { return m_design.kind; }

    // The buttons' commands; Esc closes as Close does.
    void closeCommand() override;
    void saveAsCommand();

    // The main window's selector for a kind of plot.
    static int selectorFor(model::PlotKind kind);

private:
    void load();

    Design m_design;
    MSChart* m_chart = nullptr;
    CommonDialog* m_dialog = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
};

// Lays a plot out on a chart as the plot windows draw it: a 2-D line of one
// series, every point a green filled circle, the titles in Times New Roman,
// a white plot area, the points labelled and valued from `plot`. The
// debrief draws its plots with it too.
void layOutPlotChart(MSChart& chart, const model::PlotData& plot);

}  // namespace tessaro::ui
