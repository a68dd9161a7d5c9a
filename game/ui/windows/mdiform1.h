// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The main window: the menu bar, the game board on Picture1 (Plan Brief,
// the before/after chart of ten indicators, the value table, the header
// with the plan-quarter number) and the area the child windows live in.
// The board is built from the database when the window loads.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>

#include "model/gameboard.h"
#include "ui/windows/form.h"

class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QTimer;

namespace tessaro::ui {

class MSChart;
class CommonDialog;

class MDIForm1 : public QMainWindow, public ScalableWindow, private ControlCollection {
    Q_OBJECT

public:
    // The plot selectors the menu sets and the plot windows read; they keep
    // their values for the whole run of the program.
    static inline std::int16_t p = 0;
    static inline std::int16_t p2 = 0;
    static inline std::int16_t p3 = 0;

    MDIForm1();
    ~MDIForm1() override;

    WindowScaling scaling;

    std::vector<QWidget*> controls() const override { return controlList(); }
    QRectF windowTwips() const override;
    void moveWindowTwips(const QRectF& twips) override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QWidget* picture1() const { return m_picture1; }
    MSChart* chart() const { return m_chart; }
    CommonDialog* commonDialog() const { return m_dialog; }
    void setBoardVisible(bool visible);

    // Lays out the client area: the board along its top, the child windows'
    // area below it, or over all of it while the board is hidden. While the
    // board shows, the area still reaches up far enough to show the icons
    // of minimised child windows.
    void layoutClient();

    // The main window's Minimize command.
    void minimizeCommand();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The board, part by part, on Picture1.
    void buildBoard();
    void buildPlanBrief(QWidget* pic);
    void buildHeader(QWidget* pic);
    void buildValueTable(QWidget* pic);
    void addIndicatorColumn(QWidget* frame2, std::size_t i);
    void buildMenus();
    void load();
    void buildChart(const model::GameBoard& board);
    // The menu bar's height at a window width (it can wrap into two rows).
    int menuHeight(int width) const;

    QWidget* m_client = nullptr;
    QWidget* m_picture1 = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    QPointer<QMdiSubWindow> m_activeChild;
    MSChart* m_chart = nullptr;
    CommonDialog* m_dialog = nullptr;
    QTimer* m_timer1 = nullptr;
    QLabel* m_title = nullptr;      // Label1
    QLabel* m_planCount = nullptr;  // Label69
    std::array<QLabel*, 7> m_brief{};
    std::array<QLabel*, 10> m_heads{};
    std::array<QLabel*, 10> m_before{};
    std::array<QLabel*, 10> m_after{};
    std::array<QLabel*, 10> m_means{};
};

}  // namespace tessaro::ui
