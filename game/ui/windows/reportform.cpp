// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/reportform.h"

#include <QPushButton>

#include "model/runcommand.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/palette.h"
#include "ui/look/reportlook.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

// Design positions in twips along the window's top.
constexpr double kHeadingLeft = 240;
constexpr double kHeadingTop = 120;
constexpr double kHeadingHeight = 495;
constexpr double kPlanNumberWidth = 1095;
constexpr double kButtonTop = 180;
constexpr double kButtonWidth = 1455;
constexpr double kButtonHeight = 375;
constexpr double kMinimizeLeft = 8430;
constexpr double kCloseLeft = 10005;
constexpr double kBandTop = 750;
constexpr double kBandHeight = 90;

}  // namespace

ReportForm::ReportForm(const Design& design)
    : Form(design.name, kReportClientWidth, kReportClientHeight), m_design(design) {
    m_heading = add(new FitLabel(this), "Label1", kHeadingLeft, kHeadingTop, design.headingWidth,
                    kHeadingHeight);
    m_planNumber = add(new FitLabel(this), "Label2", kHeadingLeft + design.headingWidth,
                       kHeadingTop, kPlanNumberWidth, kHeadingHeight);
    m_minimize = add(new QPushButton("Minimize", this), "Command2", kMinimizeLeft, kButtonTop,
                     kButtonWidth, kButtonHeight);
    m_close = add(new QPushButton("Close", this), "Command1", kCloseLeft, kButtonTop, kButtonWidth,
                  kButtonHeight);
    m_band = add(new QLabel(this), design.bandName, kReportGridLeft, kBandTop, kReportGridWidth,
                 kBandHeight);
    connect(m_close, &QPushButton::clicked, this, [this] { closeCommand(); });
    connect(m_minimize, &QPushButton::clicked, this, [this] { minimizeCommand(); });
    setTabOrder(m_minimize, m_close);
    setAccessibleText(m_planNumber, {}, "Plan-quarter number");
}

MSFlexGrid* ReportForm::addGrid(const char* name, double top, double height, int rows, int cols,
                                int fixedRows, int fixedCols) {
    auto* grid = add(new MSFlexGrid(this), name, kReportGridLeft, top, kReportGridWidth, height);
    if (rows > 0) grid->setRows(rows);
    grid->setCols(cols);
    grid->setFixedRows(fixedRows);
    grid->setFixedCols(fixedCols);
    reportGridLook(*grid);
    return grid;
}

void ReportForm::showPlanNumber(const std::string& text) {
    m_planNumber->setText(QString::fromStdString(text));
}

bool ReportForm::readGame(const std::function<void(const std::string&)>& read) {
    try {
        read(GameWindows::instance().connectionString());
        return true;
    } catch (const std::exception& e) {
        showMessage(this, model::databaseFailureBox(e));
        return false;
    }
}

void ReportForm::open() {
    scaleToScreen();
    showHeadings();
    fill();
    // After the load, so that a heading is named by its caption and only
    // the bands without one are named as bands.
    nameDecorations(controlList(), "Colour band");
    fitTextsToBoxes();
}

void ReportForm::showHeadings() {
    setBackColor(this, kChildWindowBack);
    setWindowTitle(m_design.caption);
    m_heading->setText(m_design.heading);
    reportHeading(m_heading, Qt::AlignLeft | Qt::AlignVCenter, *this);
    reportHeading(m_planNumber, Qt::AlignCenter, *this);
    m_band->setText("");
    setBackColor(m_band, kHeadingBack);
}

}  // namespace tessaro::ui
