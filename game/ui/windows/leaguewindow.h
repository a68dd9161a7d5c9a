// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The league window: the games of several teams, each in a file of its own,
// ranked by running total and by average value of the game, with the
// quarters played and the last decisions; every team's value of the game
// per plan-quarter as a grid and as a chart with a line per team; and the
// files that could not be read, each with the reason. The files are only
// read, when the window loads.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/league.h"
#include "model/leaguesource.h"
#include "ui/windows/form.h"

class QPushButton;
class QSocketNotifier;
class QTimer;

namespace tessaro::ui {

class CommonDialog;
class MSChart;
class MSFlexGrid;

class LeagueWindow : public Form {
    Q_OBJECT

public:
    // The team files the window reads when it loads, for a game in a file
    // (a game on a class server shows every team of its class). The file
    // chooser sets them right before it opens the window, as the menu sets
    // the plot selectors; they keep their values while the program runs.
    static inline std::vector<std::string> files;

    LeagueWindow();

    const model::League& league() const { return m_league; }
    MSFlexGrid* rankingGrid() const { return m_grid1; }
    MSFlexGrid* quarterGrid() const { return m_grid2; }
    MSChart* chart() const { return m_chart; }
    CommonDialog* commonDialog() const { return m_dialog; }

    // Close and Esc unload the window and show the board.
    void closeCommand() override { closeShowingBoard(); }
    void saveAsCommand();
    QWidget* firstFocus() const override;

    // The menu's command and the window's "Other Files" button: asks for
    // team files, several at once, and opens the league of those chosen in
    // place of the open one. Cancel leaves everything as it was. A game on a
    // class server opens its class's league without asking.
    static void chooseFilesAndOpen(QWidget* parent);

    // The colour of the line of the team at this place (0-based) in the
    // chart, and of its name in the grid.
    static QColor teamColour(std::size_t rank);

private:
    // The design heights of the grids' rows, heads first.
    std::vector<int> rankingRowTwips() const;
    std::vector<int> quarterRowTwips() const;
    void layOut();
    void load();
    void fillRanking();
    void fillQuarters();
    void buildChart();
    QString summary() const;
    QString leagueSummary() const;
    // Reads the league from the source; a failure is kept for the load to
    // tell, or shown beside a live league that keeps what it showed.
    bool readLeague();
    // A live league: takes in what the source heard, and shows it.
    void startListening();
    void pollSource();
    void refresh();
    // Whether a legend of this many names fits beside the chart's plot.
    bool legendFits(std::size_t names) const;

    std::unique_ptr<model::LeagueSource> m_source;
    model::League m_league;
    std::optional<std::string> m_failure;
    std::string m_sourceStatus;  // the live source's words, "" while all is well
    QTimer* m_pollTimer = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    int m_watchedSocket = -1;
    QLabel* m_label1 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    MSFlexGrid* m_grid1 = nullptr;  // the ranking
    MSFlexGrid* m_grid2 = nullptr;  // value of the game per quarter, files not read
    MSChart* m_chart = nullptr;
    CommonDialog* m_dialog = nullptr;
    QPushButton* m_command1 = nullptr;  // Close
    QPushButton* m_command2 = nullptr;  // Minimize
    QPushButton* m_command3 = nullptr;  // Other Files
    QPushButton* m_command4 = nullptr;  // Save As
};

}  // namespace tessaro::ui
