// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/leaguewindow.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "model/gamefile.h"
#include "ui/components/chartexport.h"
#include "ui/components/mschart.h"
#include "ui/components/msflexgrid.h"
#include "ui/look/palette.h"
#include "ui/look/reportlook.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

using Align = MSFlexGrid::Alignment;

constexpr const char* kCaption = "League";
// How often a live league connects again, or shows what its connection is
// doing; a team's run itself arrives on the socket at once.
constexpr int kListenerTickMs = 250;
constexpr const char* kOpenFilter = "Game files (*.mdb)|*.mdb|All files (*)|*";

// Design layout in twips, in the size of the reports: a heading strip with
// the buttons, a line of totals, then the ranking, the value of the game per
// quarter and the chart below each other. The grids are as high as their
// rows need, as far as the chart keeps a height to be read at.
constexpr double kLeft = kReportGridLeft;
constexpr double kWidth = kReportGridWidth;
constexpr double kSummaryTop = 840;
constexpr double kSummaryHeight = 270;
constexpr double kGridsTop = 1170;
constexpr double kGap = 90;
constexpr double kChartBottom = 7530;
constexpr double kLeastChartHeight = 3000;
constexpr double kButtonTop = 180;
constexpr double kButtonWidth = 1455;
constexpr double kButtonHeight = 375;
constexpr int kHeadRowTwips = 510;  // two lines of the 10 pt cells
constexpr int kRowTwips = 270;
constexpr int kLineTwips = 240;
constexpr double kGridFrame = 30;
constexpr double kCellPoints = 10;
// Rows drawn lower than this share of their height would leave their texts
// too small to read: a grid with more rows than that scrolls to them.
constexpr double kLeastRowShrink = 0.8;

struct Column {
    const char* head;
    int twips;
};
constexpr int kTeamColumnTwips = 2700;
// The ranking's columns fill the grid's width.
constexpr int kRankingTeamTwips = 2890;
constexpr std::array<Column, 8> kRankingColumns = {{
    {"Place", 700},
    {"Team", kRankingTeamTwips},
    {"Quarters Played", 1100},
    {"Running Total", 1400},
    {"Average Value", 1400},
    {"Place by Average", 1200},
    {"Last Production", 1400},
    {"Last Hiring", 1100},
}};
constexpr int kLeastQuarterTwips = 700;

const QColor kLeaderBack = kHeadingBack;
const QColor kAxisLabels = kViolet;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString notReadText(const model::LeagueTeam& team) {
    return "Not read: " + qs(team.reason);
}

// The height, in twips on the design, of a row whose text wraps in a cell
// of that width (at least one line's row).
int rowTwipsFor(const QString& text, double widthTwips) {
    const QFontMetricsF metrics(gameFont("MS Sans Serif", kCellPoints, true));
    const double width = widthTwips / 15.0 - 8;
    const double lines =
        metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height() /
        metrics.lineSpacing();
    return std::max(kRowTwips, static_cast<int>(std::lround(std::ceil(lines - 0.05))) * kLineTwips +
                                   (kRowTwips - kLineTwips));
}

// The width the merged cells of a file not read give its reason.
constexpr double kReasonTwips = kWidth - kGridFrame - kTeamColumnTwips;

void boldCentredCells(MSFlexGrid& g) {
    g.setFillStyle(MSFlexGrid::FillStyle::Repeat);
    selectCells(g, 0, 0, g.rows() - 1, g.cols() - 1);
    g.setCellFontBold(true);
    g.setCellFontSize(kCellPoints);
    g.setCellAlignment(Align::CenterCenter);
}

}  // namespace

LeagueWindow::LeagueWindow() : Form("LeagueWindow", kReportClientWidth, kReportClientHeight) {
    // Until the load says otherwise the window has its design caption.
    setWindowTitle(kCaption);
    m_source = model::leagueSourceFor(GameWindows::instance().connectionString(), files);
    if (!readLeague()) m_league = {};

    m_label1 = add(new FitLabel(this), "Label1", 240, 120, 4800, 495);
    m_command3 = add(new QPushButton("Other Files", this), "Command3", 5280, kButtonTop,
                     kButtonWidth, kButtonHeight);
    m_command4 = add(new QPushButton("Save As", this), "Command4", 6855, kButtonTop, kButtonWidth,
                     kButtonHeight);
    m_command2 = add(new QPushButton("Minimize", this), "Command2", 8430, kButtonTop, kButtonWidth,
                     kButtonHeight);
    m_command1 = add(new QPushButton("Close", this), "Command1", 10005, kButtonTop, kButtonWidth,
                     kButtonHeight);
    m_label3 = add(new QLabel(this), "Label3", kLeft, 690, kWidth, 90);
    m_label4 = add(new FitLabel(this), "Label4", kLeft, kSummaryTop, kWidth, kSummaryHeight);
    layOut();

    const QFont buttonFont = gameFont("Times New Roman", 12, true);
    for (QPushButton* b : {m_command1, m_command2, m_command3, m_command4}) b->setFont(buttonFont);
    connect(m_command1, &QPushButton::clicked, this, [this] { closeCommand(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });
    connect(m_command3, &QPushButton::clicked, this, [this] { chooseFilesAndOpen(this); });
    connect(m_command4, &QPushButton::clicked, this, [this] { saveAsCommand(); });
    setTabOrder(m_command3, m_command4);
    setTabOrder(m_command4, m_command2);
    setTabOrder(m_command2, m_command1);
    setAccessibleText(m_command3, "Other Files", "Chooses the team files of the league");
    setAccessibleText(m_command4, "Save As", "Saves the chart as a bitmap file");
    setAccessibleText(m_grid1, "League ranking by running total");
    setAccessibleText(m_grid2, "Plan game value of every team per plan-quarter, files not read");
    setAccessibleText(m_chart, "Chart of the plan game value of every team per plan-quarter");

    load();
    fitTextsToBoxes();
    // The bands the load left without a caption.
    nameDecorations(controlList(), "Colour band");
    if (m_source->onServer()) {
        // Every team of the class is shown; there are no files to choose.
        m_command3->setEnabled(false);
        startListening();
    }
}

bool LeagueWindow::readLeague() {
    try {
        m_league = m_source->read();
        m_failure.reset();
        return true;
    } catch (const std::exception& e) {
        m_failure = e.what();
        return false;
    }
}

void LeagueWindow::startListening() {
    // The timer connects (and connects again after a drop) and keeps the
    // status shown; the socket brings a team's run at once.
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(kListenerTickMs);
    connect(m_pollTimer, &QTimer::timeout, this, [this] { pollSource(); });
    m_pollTimer->start();
    pollSource();
}

void LeagueWindow::pollSource() {
    bool changed = false;
    try {
        changed = m_source->poll();
    } catch (const std::exception& e) {
        m_failure = e.what();
    }
    if (m_source->socket() != m_watchedSocket) {
        delete m_notifier;
        m_notifier = nullptr;
        m_watchedSocket = m_source->socket();
        if (m_watchedSocket >= 0) {
            m_notifier = new QSocketNotifier(m_watchedSocket, QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, [this] { pollSource(); });
        }
    }
    const std::string status = m_source->statusText();
    if (changed) {
        refresh();
    } else if (status != m_sourceStatus) {
        m_sourceStatus = status;
        m_label4->setText(summary());
    }
}

void LeagueWindow::refresh() {
    m_sourceStatus = m_source->statusText();
    // A league that cannot be read now keeps what it showed, and says why.
    if (readLeague()) {
        fillRanking();
        fillQuarters();
        buildChart();
    }
    m_label4->setText(summary());
}

std::vector<int> LeagueWindow::rankingRowTwips() const {
    std::vector<int> rows = {kHeadRowTwips};
    for (std::size_t index : m_league.ranking(model::LeagueOrder::RunningTotal))
        rows.push_back(rowTwipsFor(qs(m_league.teams[index].team), kRankingTeamTwips));
    return rows;
}

std::vector<int> LeagueWindow::quarterRowTwips() const {
    std::vector<int> rows = {kHeadRowTwips};
    for (std::size_t index : m_league.ranking(model::LeagueOrder::RunningTotal))
        rows.push_back(rowTwipsFor(qs(m_league.teams[index].team), kTeamColumnTwips));
    for (const auto& team : m_league.teams)
        if (!team.ranked)
            rows.push_back(std::max(rowTwipsFor(qs(team.team), kTeamColumnTwips),
                                    rowTwipsFor(notReadText(team), kReasonTwips)));
    if (m_league.teams.empty()) rows.push_back(kRowTwips);
    return rows;
}

void LeagueWindow::layOut() {
    const auto sum = [](const std::vector<int>& rows) {
        double total = 0;
        for (int r : rows) total += r;
        return total;
    };
    const double rows1 = sum(rankingRowTwips());
    const double rows2 = sum(quarterRowTwips());
    // Together the grids leave the chart its least height; rows that do not
    // fit then are drawn lower, down to the least shrink, or scrolled to.
    const double room = kChartBottom - kGridsTop - 2 * kGap - kLeastChartHeight;
    const double squeeze = std::min(1.0, room / (rows1 + rows2 + 2 * kGridFrame));
    const double h1 = std::round((rows1 + kGridFrame) * squeeze);
    const double h2 = std::round((rows2 + kGridFrame) * squeeze);

    m_grid1 = add(new MSFlexGrid(this), "MSFlexGrid1", kLeft, kGridsTop, kWidth, h1);
    reportGridLook(*m_grid1);
    m_grid1->setLeastRowShrink(kLeastRowShrink);

    const double top2 = kGridsTop + h1 + kGap;
    m_grid2 = add(new MSFlexGrid(this), "MSFlexGrid2", kLeft, top2, kWidth, h2);
    reportGridLook(*m_grid2);
    m_grid2->setLeastRowShrink(kLeastRowShrink);

    const double top3 = top2 + h2 + kGap;
    // The chart scales its own fonts with the window.
    m_chart = add(new MSChart(this), "MSChart1", kLeft, top3, kWidth, kChartBottom - top3);
    setScalesFont(m_chart, false);
    m_dialog = new CommonDialog(this);
    m_dialog->setObjectName("CommonDialog1");
}

QWidget* LeagueWindow::firstFocus() const {
    return m_command3;
}

void LeagueWindow::load() {
    scaleToScreen();
    setBackColor(this, kChildWindowBack);
    setWindowTitle(kCaption);
    m_label1->setText("League of Teams");
    reportHeading(m_label1, Qt::AlignLeft | Qt::AlignVCenter, *this);
    m_label3->setText("");
    setBackColor(m_label3, kHeadingBack);
    setControlFont(m_label4, gameFont("Times New Roman", 10, true), *this);
    setForeColor(m_label4, kHeadingText);
    m_label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    fillRanking();
    fillQuarters();
    buildChart();
    m_label4->setText(summary());
    if (m_failure) showMessage(this, {*m_failure, kCaption, model::Icon::Critical});
}

void LeagueWindow::fillRanking() {
    MSFlexGrid& g = *m_grid1;
    const auto order = m_league.ranking(model::LeagueOrder::RunningTotal);
    // The heads in a fixed row; the team names are no fixed column, for
    // the leader's row is shaded whole.
    g.setCols(static_cast<int>(kRankingColumns.size()));
    g.setRows(1 + static_cast<int>(order.size()));
    g.setFixedRows(1);
    g.setFixedCols(0);
    for (int c = 0; c < g.cols(); ++c) {
        g.setColWidth(c, kRankingColumns[static_cast<std::size_t>(c)].twips);
        g.setTextMatrix(0, c, kRankingColumns[static_cast<std::size_t>(c)].head);
    }
    const std::vector<int> heights = rankingRowTwips();
    for (int r = 0; r < g.rows(); ++r) g.setRowHeight(r, heights[static_cast<std::size_t>(r)]);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        const model::LeagueTeam& team = m_league.teams[order[i]];
        const QString cells[] = {
            QString::number(r),
            qs(team.team),
            QString::number(team.quarters),
            qs(team.runningTotalText()),
            qs(team.averageValueText()),
            QString::number(m_league.rankOf(order[i], model::LeagueOrder::AverageValue)),
            QString::number(team.productionDecision),
            QString::number(team.hiringDecision),
        };
        for (int c = 0; c < g.cols(); ++c) g.setTextMatrix(r, c, cells[c]);
    }

    boldCentredCells(g);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        const model::LeagueTeam& team = m_league.teams[order[i]];
        g.setFillStyle(MSFlexGrid::FillStyle::Single);
        g.setRow(r);
        g.setCol(1);
        g.setCellAlignment(Align::LeftCenter);
        for (int c : {3, 4}) {
            g.setCol(c);
            const double value = c == 3 ? team.runningTotal : team.averageValue;
            g.setCellForeColor(value < 0 ? kRed : kBlack);
        }
    }
    // The leader stands out.
    if (!order.empty()) {
        g.setFillStyle(MSFlexGrid::FillStyle::Repeat);
        selectCells(g, 1, 0, 1, g.cols() - 1);
        g.setCellBackColor(kLeaderBack);
    }
    g.setRow(0);
    g.setCol(0);
}

void LeagueWindow::fillQuarters() {
    MSFlexGrid& g = *m_grid2;
    const auto order = m_league.ranking(model::LeagueOrder::RunningTotal);
    std::vector<std::size_t> unread;
    for (std::size_t i = 0; i < m_league.teams.size(); ++i)
        if (!m_league.teams[i].ranked) unread.push_back(i);
    const int quarters = std::max(1, m_league.mostQuarters());
    // The quarters in a fixed row, the teams in a fixed column.
    g.setCols(1 + quarters);
    g.setRows(1 + static_cast<int>(order.size() + unread.size()) +
              (m_league.teams.empty() ? 1 : 0));
    g.setFixedRows(1);
    g.setFixedCols(1);
    // The quarters share the width the team names leave, as far as they can
    // be told apart; more of them are drawn narrower.
    const int quarterTwips =
        std::max(kLeastQuarterTwips, static_cast<int>(kReasonTwips / quarters));
    g.setColWidth(0, kTeamColumnTwips);
    for (int c = 1; c <= quarters; ++c) g.setColWidth(c, quarterTwips);
    const std::vector<int> heights = quarterRowTwips();
    for (int r = 0; r < g.rows(); ++r) g.setRowHeight(r, heights[static_cast<std::size_t>(r)]);
    g.setTextMatrix(0, 0, "Plan Game Value in Quarter");
    for (int q = 1; q <= quarters; ++q) g.setTextMatrix(0, q, QString::number(q));

    int r = 1;
    for (std::size_t index : order) {
        const model::LeagueTeam& team = m_league.teams[index];
        g.setTextMatrix(r, 0, qs(team.team));
        for (int q = 1; q <= quarters; ++q)
            g.setTextMatrix(r, q, qs(team.quarterValueText(static_cast<std::size_t>(q - 1))));
        ++r;
    }
    for (std::size_t index : unread) {
        const model::LeagueTeam& team = m_league.teams[index];
        const QString why = notReadText(team);
        g.setTextMatrix(r, 0, qs(team.team));
        // One text over every quarter's cell: the row shows it once.
        for (int q = 1; q <= quarters; ++q) g.setTextMatrix(r, q, why);
        g.setMergeRow(r, true);
        ++r;
    }
    g.setMergeCells(MSFlexGrid::MergeCells::Free);

    boldCentredCells(g);
    g.setFillStyle(MSFlexGrid::FillStyle::Single);
    r = 1;
    for (std::size_t index : order) {
        const model::LeagueTeam& team = m_league.teams[index];
        g.setRow(r);
        g.setCol(0);
        g.setCellAlignment(Align::LeftCenter);
        // In the colour of the team's line in the chart.
        g.setCellForeColor(teamColour(static_cast<std::size_t>(r - 1)));
        for (int q = 1; q <= quarters; ++q) {
            const auto k = static_cast<std::size_t>(q - 1);
            const bool negative = k < team.valuePerQuarter.size() && team.valuePerQuarter[k] &&
                                  *team.valuePerQuarter[k] < 0;
            g.setCol(q);
            g.setCellForeColor(negative ? kRed : kBlack);
        }
        ++r;
    }
    for (std::size_t i = 0; i < unread.size(); ++i, ++r) {
        g.setRow(r);
        g.setCol(0);
        g.setCellAlignment(Align::LeftCenter);
        g.setCol(1);
        g.setCellAlignment(Align::LeftCenter);
        g.setCellForeColor(kRed);
    }
    g.setRow(0);
    g.setCol(0);
}

void LeagueWindow::buildChart() {
    const model::LeagueChart data = model::leagueChart(m_league);
    MSChart& c = *m_chart;
    c.setChartType(ChartType::Line2d);
    const int rows = std::max<int>(1, static_cast<int>(data.rowLabels.size()));
    const int series = std::max<int>(1, static_cast<int>(data.seriesNames.size()));
    c.setRowCount(rows);
    c.setColumnCount(series);
    for (int s = 1; s <= series; ++s)
        c.setSeriesFill(s, teamColour(static_cast<std::size_t>(s - 1)));

    c.setTitleText(qs(data.title));
    c.setTitleFont("Times New Roman", 10, true);
    c.setAxisTitle(Axis::X, qs(data.xTitle));
    c.setAxisTitleFont(Axis::X, "Times New Roman", 8, true);
    c.setAxisTitle(Axis::Y, qs(data.yTitle));
    c.setAxisTitleFont(Axis::Y, "Times New Roman", 8, true);
    c.setAxisTitleVertical(Axis::Y, true);
    for (auto axis : {Axis::X, Axis::Y, Axis::Y2}) c.setAxisLabelFont(axis, 8, true, kAxisLabels);
    c.setPlotBackdrop(kWhite);
    // Beside the plot, a name a line, so that the plot keeps the chart's
    // height; where the names do not fit there, the team names in the grid
    // above, in their lines' colours, are the key.
    c.setLegendLocation(LegendLocation::Right);
    c.setLegendFont("Times New Roman", 9, true, kBlack);
    c.setLegendVisible(!data.seriesNames.empty() && legendFits(data.seriesNames.size()));

    for (std::size_t r = 0; r < data.rowLabels.size(); ++r) {
        c.setRow(static_cast<int>(r) + 1);
        c.setRowLabel(qs(data.rowLabels[r]));
    }
    for (std::size_t s = 0; s < data.seriesNames.size(); ++s) {
        c.setColumn(static_cast<int>(s) + 1);
        c.setColumnLabel(qs(data.seriesNames[s]));
        for (std::size_t r = 0; r < data.values[s].size(); ++r) {
            c.setRow(static_cast<int>(r) + 1);
            c.setData(qs(data.values[s][r]));
        }
    }
    c.refresh();
}

bool LeagueWindow::legendFits(std::size_t names) const {
    QFont font = gameFont("Times New Roman", 9, true);
    font.setPointSizeF(font.pointSizeF() * font_zoom);
    QFont title = gameFont("Times New Roman", 10, true);
    title.setPointSizeF(title.pointSizeF() * font_zoom);
    // A legend entry is a line of its font with a little space between;
    // the chart's title and margins stand above and below.
    const double entry = QFontMetricsF(font).height() + 6;
    const double room = m_chart->height() - QFontMetricsF(title).height() - 24;
    return static_cast<double>(names) * entry <= room;
}

QColor LeagueWindow::teamColour(std::size_t rank) {
    return kTeamColours[rank % kTeamColours.size()];
}

QString LeagueWindow::summary() const {
    QString text = leagueSummary();
    if (m_source && m_source->onServer() && m_failure && !m_league.teams.empty())
        text += " " + qs(*m_failure);
    if (!m_sourceStatus.empty()) text += " " + qs(m_sourceStatus);
    return text;
}

QString LeagueWindow::leagueSummary() const {
    if (m_league.teams.empty())
        return m_source && m_source->onServer()
                   ? "No team of the class has a game on the server yet."
                   : "No team files are chosen: choose them with Other Files.";
    const std::size_t ranked = m_league.rankedCount();
    const std::size_t unread = m_league.teams.size() - ranked;
    QString text = ranked == 1 ? QString("1 team ranked") : QString("%1 teams ranked").arg(ranked);
    if (unread > 0)
        text +=
            unread == 1 ? QString(", 1 file not read") : QString(", %1 files not read").arg(unread);
    return text + ". Values in 1000 Rs.";
}

void LeagueWindow::saveAsCommand() {
    saveChartAsBitmap(this, *m_chart, *m_dialog);
}

void LeagueWindow::chooseFilesAndOpen(QWidget* parent) {
    if (model::gameIsOnServer(GameWindows::instance().connectionString())) {
        GameWindows::instance().openForm("LeagueWindow");
        return;
    }
    CommonDialog dialog;
    dialog.setFilter(kOpenFilter);
    dialog.setDialogTitle("League of Teams");
    // Where the teams' files were found last, or beside the game.
    // A game on a class server has no folder to start in.
    std::string start = files.empty() ? std::string() : files.front();
    if (start.empty()) {
        try {
            start = model::gameFilePath(GameWindows::instance().connectionString()).value_or("");
        } catch (const std::exception&) {
            start.clear();
        }
    }
    if (!start.empty())
        dialog.setInitDir(QFileInfo(QFile::decodeName(start.c_str())).absolutePath());
    if (!dialog.showOpenMultiple(parent)) {
        if (!dialog.errorText().isEmpty())
            showMessage(parent,
                        {dialog.errorText().toStdString(), kCaption, model::Icon::Critical});
        return;
    }
    std::vector<std::string> chosen;
    for (const QString& name : dialog.fileNames())
        chosen.push_back(QFile::encodeName(name).toStdString());
    files = std::move(chosen);
    GameWindows::instance().openForm("LeagueWindow");
}

}  // namespace tessaro::ui
