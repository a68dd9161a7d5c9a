// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/plotform.h"

#include <QPushButton>

#include "model/runcommand.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "ui/look/palette.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

// Design layout in twips. The chart takes the window but for a strip of
// buttons along the bottom: Save As on the left, Minimize and Close on the
// right, where a window's closing buttons usually are.
constexpr double kMargin = 120;
constexpr double kChartTop = 120;
constexpr double kChartHeight = 6735;
constexpr double kButtonTop = 7005;
constexpr double kButtonWidth = 1815;
constexpr double kButtonHeight = 495;
constexpr double kButtonGap = 240;
// Where the window stands in the main window's client area: in the middle
// of it on an 800 x 600 screen, where its frame leaves it only a few pixels.
constexpr double kDesignLeft = 60;
constexpr double kDesignTop = 75;

const QColor kMarkerFill = kLime;
const QColor kLine = kRed;
const QColor kAxisLabels = kViolet;
const QColor kPlotBack = kWhite;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

int PlotForm::selectorFor(model::PlotKind kind) {
    switch (kind) {
        case model::PlotKind::DuringPlan:
            return MDIForm1::p;
        case model::PlotKind::PastPlan:
            return MDIForm1::p2;
        case model::PlotKind::GameValue:
            return MDIForm1::p3;
    }
    return 0;
}

PlotForm::PlotForm(const Design& design)
    : Form(design.name, kClientWidth, kClientHeight), m_design(design) {
    // Until the load says otherwise the window has the caption it was
    // designed with, its own name.
    setWindowTitle(design.name);
    move(pixelsAcross(kDesignLeft), pixelsDown(kDesignTop));

    const QFont buttonFont = gameFont("Times New Roman", 12, true);
    // The chart scales its own fonts with the window.
    m_chart = add(new MSChart(this), "MSChart1", kMargin, kChartTop, kClientWidth - 2 * kMargin,
                  kChartHeight);
    setScalesFont(m_chart, false);
    setAccessibleText(m_chart, "Plot");
    m_dialog = new CommonDialog(this);
    m_dialog->setObjectName("CommonDialog1");

    const double right = kClientWidth - kMargin - kButtonWidth;
    m_command1 = add(new QPushButton("Close", this), "Command1", right, kButtonTop, kButtonWidth,
                     kButtonHeight);
    m_command2 = add(new QPushButton(design.saveCaption, this), "Command2", kMargin, kButtonTop,
                     kButtonWidth, kButtonHeight);
    m_command3 = add(new QPushButton("Minimize", this), "Command3",
                     right - kButtonGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
    for (QPushButton* b : {m_command1, m_command2, m_command3}) b->setFont(buttonFont);
    connect(m_command1, &QPushButton::clicked, this, [this] { closeCommand(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { saveAsCommand(); });
    connect(m_command3, &QPushButton::clicked, this, [this] { minimizeCommand(); });
    setTabOrder(m_command2, m_command3);
    setTabOrder(m_command3, m_command1);
    setAccessibleText(m_command2, design.saveCaption, "Saves the plot as a bitmap file");

    load();
    fitTextsToBoxes();
}

void PlotForm::load() {
    scaleToScreen();

    model::PlotData plot;
    try {
        plot = model::loadPlot(GameWindows::instance().connectionString(), m_design.kind,
                               selectorFor(m_design.kind));
    } catch (const std::exception& e) {
        ui::showMessage(this, model::databaseFailureBox(e));
        return;
    }
    if (plot.failure) {
        ui::showMessage(this, *plot.failure);
        return;
    }

    setBackColor(this, kChildWindowBack);
    setWindowTitle(qs(plot.caption));
    layOutPlotChart(*m_chart, plot);
    m_chart->refresh();
}

void layOutPlotChart(MSChart& c, const model::PlotData& plot) {
    c.setChartType(ChartType::Line2d);

    // Every point marked with a green filled circle, on a red line.
    c.setAutoMarkers(false);
    c.setPointMarker(1, MarkerStyle::FilledCircle, true, kMarkerFill);
    c.setSeriesFill(1, kLine);

    const int points = static_cast<int>(plot.labels.size());
    c.setColumnCount(1);
    c.setRowCount(points);

    c.setTitleText(qs(plot.title));
    c.setTitleFont("Times New Roman", 16, true);

    c.setAxisTitle(Axis::X, qs(plot.xTitle));
    c.setAxisTitleFont(Axis::X, "Times New Roman", 14, true);
    c.setAxisTitle(Axis::Y, qs(plot.yTitle));
    c.setAxisTitleFont(Axis::Y, "Times New Roman", 14, true);
    c.setAxisTitleVertical(Axis::Y, true);

    for (auto axis : {Axis::X, Axis::Y, Axis::Y2}) c.setAxisLabelFont(axis, 11, true, kAxisLabels);

    c.setPlotBackdrop(kPlotBack);

    c.setColumn(1);
    c.setColumnLabel("red");

    // Labels first, then the values.
    for (int row = 1; row <= points; ++row) {
        c.setRow(row);
        c.setRowLabel(qs(plot.labels[static_cast<std::size_t>(row - 1)]));
    }
    for (int row = 1; row <= points; ++row) {
        c.setRow(row);
        const auto k = static_cast<std::size_t>(row - 1);
        c.setData(k < plot.values.size() ? qs(plot.values[k]) : QString());
    }
}

void PlotForm::closeCommand() {
    switch (m_design.close) {
        case CloseVariant::ShowBoard:
            closeShowingBoard();
            break;
        case CloseVariant::RebuildBoard:
            closeRebuildingBoard();
            break;
    }
}

void PlotForm::saveAsCommand() {
    saveChartAsBitmap(this, *m_chart, *m_dialog);
}

}  // namespace tessaro::ui
