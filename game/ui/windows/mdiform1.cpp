// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/mdiform1.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <functional>
#include <vector>

#include "model/runcommand.h"
#include "store/numbertext.h"
#include "tessaro/version.h"
#include "ui/components/chartexport.h"
#include "ui/components/frame.h"
#include "ui/components/mschart.h"
#include "ui/debrief/debriefexport.h"
#include "ui/look/palette.h"
#include "ui/look/textfit.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/leaguewindow.h"
#include "ui/windows/messages.h"
#include "ui/windows/takebackcommand.h"

namespace tessaro::ui {
namespace {

// The board's design: client area 11880 x 8190 twips, Picture1 11880 x 8000.
constexpr double kClientWidth = 11880;
constexpr double kClientHeight = 8190;
constexpr double kPictureHeight = 8000;

// Column head, Before Plan, After Plan and 100 % cell names per indicator.
struct IndicatorControls {
    const char* head;
    const char* before;
    const char* after;
    const char* means;
};
constexpr std::array<IndicatorControls, 10> kIndicatorControls = {{
    {"Label5", "Label6", "Label7", "Label57"},
    {"Label8", "Label9", "Label10", "Label58"},
    {"Label11", "Label12", "Label13", "Label59"},
    {"Label14", "Label15", "Label16", "Label60"},
    {"Label17", "Label18", "Label19", "Label61"},
    {"Label20", "Label21", "Label22", "Label62"},
    {"Label25", "Label45", "Label46", "Label63"},
    {"Label47", "Label48", "Label49", "Label64"},
    {"Label50", "Label51", "Label52", "Label65"},
    {"Label53", "Label54", "Label55", "Label66"},
}};

// Plan Brief headings, captions and value labels, with their tops in Frame1.
struct BriefControls {
    const char* heading;
    const char* caption;
    const char* value;
};
constexpr std::array<BriefControls, 7> kBriefControls = {{
    {"Label26", "Label27", "Label28"},
    {nullptr, "Label29", "Label30"},
    {"Label31", "Label32", "Label33"},
    {nullptr, "Label34", "Label35"},
    {"Label36", "Label37", "Label38"},
    {"Label39", "Label40", "Label41"},
    {"Label42", "Label43", "Label44"},
}};

QLabel* styled(QLabel* label, const QFont& font, const QColor& back, const QColor& fore,
               Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    label->setFont(font);
    setColors(label, back, fore);
    label->setAlignment(align);
    return label;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A value exactly as stored. A long one may show only in part in its cell;
// its tooltip and accessible description hold it whole.
void showValue(QLabel* label, const QString& text) {
    label->setText(text);
    label->setToolTip(text);
    label->setAccessibleDescription(text);
}

// One entry of the menu bar: a command, or a submenu of entries. Captions
// are as stored; the mnemonic is the letter of the caption that Alt (in the
// menu bar) or the key alone (in an open menu) chooses the entry by.
struct MenuEntry {
    const char* name;
    const char* caption;
    char mnemonic;
    std::function<void()> command;  // empty for a submenu
    std::vector<MenuEntry> entries;
};

MenuEntry command(const char* name, const char* caption, char mnemonic, std::function<void()> run) {
    return {name, caption, mnemonic, std::move(run), {}};
}

MenuEntry submenu(const char* name, const char* caption, char mnemonic,
                  std::vector<MenuEntry> entries) {
    return {name, caption, mnemonic, {}, std::move(entries)};
}

// The caption (UTF-8) with its mnemonic marked: the first time the letter
// starts a word, or else its first occurrence.
QString withMnemonic(const char* caption, char mnemonic) {
    QString text = QString::fromUtf8(caption);
    text.replace(u'&', QStringLiteral("&&"));
    if (!mnemonic) return text;
    qsizetype at = -1;
    for (qsizetype i = 0; i < text.size() && at < 0; ++i)
        if (text[i] == QLatin1Char(mnemonic) && (i == 0 || text[i - 1] == u' ')) at = i;
    if (at < 0) at = text.indexOf(QLatin1Char(mnemonic));
    if (at >= 0) text.insert(at, u'&');
    return text;
}

}  // namespace

MDIForm1::MDIForm1() {
    workOutScreenMetrics();
    setObjectName("MDIForm1");
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_client = new QWidget(this);
    m_client->setObjectName("MDIClient");
    setCentralWidget(m_client);
    m_mdiArea = new QMdiArea(m_client);
    m_mdiArea->setObjectName("MDIArea");
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setBackground(kDesktopGrey);
    // A child window that stops being the active one, because another child
    // window became active, shows the board again.
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* now) {
        if (m_activeChild && m_activeChild != now && now)
            if (auto* form = qobject_cast<Form*>(m_activeChild->widget())) form->deactivated(now);
        if (now) m_activeChild = now;
    });
    buildBoard();
    // The child windows' area lies over the board's foot where it must
    // show the icons of minimised windows.
    m_mdiArea->raise();
    buildMenus();
    // The client area is laid out whenever the frame gives it a new size.
    m_client->installEventFilter(this);
    const int width = pixelsAcross(kClientWidth);
    resize(width, pixelsDown(kClientHeight) + menuHeight(width));
    m_client->resize(width, pixelsDown(kClientHeight));
    layoutClient();
    load();
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildBoard() {
    m_picture1 = add(new QWidget(m_client), "Picture1", 0, 0, kClientWidth, kPictureHeight);
    setBackColor(m_picture1, kBoardBack);
    buildPlanBrief(m_picture1);
    buildHeader(m_picture1);
    // The chart scales its own fonts with the board.
    m_chart = add(new MSChart(m_picture1), "MSChart1", 2640, 600, 8415, 5175);
    setScalesFont(m_chart, false);
    setAccessibleText(m_chart,
                      "Chart of the ten indicators before and after the plan, in per cent");
    buildValueTable(m_picture1);

    // Title and side bars.
    m_title = styled(add(new FitLabel("Tessaro", m_picture1), "Label1", 0, 7320, 11775, 495),
                     gameFont("georgia", 16, true), kBoardBack, kBlack, Qt::AlignCenter);
    setBackColor(add(new QLabel(m_picture1), "Label56", 0, 0, 135, 7330), kBlack);
    setBackColor(add(new QLabel(m_picture1), "Label24", 11040, 0, 735, 7410), kBlack);
    setAccessibleText(m_picture1, "Game board");
    nameDecorations(controlList(), "Decoration");

    // The title's blink timer: created without an interval and never started.
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    connect(m_timer1, &QTimer::timeout, this,
            [this] { m_title->setVisible(!m_title->isVisible()); });
}

void MDIForm1::buildPlanBrief(QWidget* pic) {
    auto* frame1 = add(new Frame("Plan Brief", pic), "Frame1", 120, 0, 2535, 5775);
    frame1->setFont(gameFont("MS Sans Serif", 12, true));
    setColors(frame1, kBlack, kYellow);
    const QFont headingFont = gameFont("MS Sans Serif", 16, true, true);
    const QFont captionFont = gameFont("MS Sans Serif", 14, true);
    const std::array<double, 7> tops = {675, 1020, 1815, 2160, 2955, 3750, 4545};
    const std::array<double, 5> headingTops = {300, 1440, 2580, 3375, 4170};
    std::size_t heading = 0;
    for (std::size_t i = 0; i < kBriefControls.size(); ++i) {
        const auto& line = model::briefLines()[i];
        if (kBriefControls[i].heading) {
            auto* h = add(new FitLabel(line.heading, frame1), kBriefControls[i].heading, 120,
                          headingTops[heading++], 2295, 375);
            styled(h, headingFont, kBlack, kCyan);
        }
        auto* c = add(new FitLabel(line.caption, frame1), kBriefControls[i].caption, 120, tops[i],
                      1095, 345);
        styled(c, captionFont, kBlack, kCyan);
        m_brief[i] = add(new FitLabel(frame1), kBriefControls[i].value, 1215, tops[i], 1200, 345);
        styled(m_brief[i], captionFont, kBlack, kMagenta, Qt::AlignCenter);
        keepTextOffSides(m_brief[i]);
        // "Orders In ::", "Production Done ::" ...
        const char* const group = model::briefLines()[line.heading[0] ? i : i - 1].heading;
        setAccessibleText(
            m_brief[i], QString("%1 %2").arg(group, QString(line.caption).remove(u':').trimmed()));
    }
    setAccessibleText(frame1, "Plan Brief");
    // Thin maroon rules between the parts of the brief.
    const std::array<double, 12> ruleTops = {270,  660,  1395, 1800, 2535, 2940,
                                             3330, 3735, 4125, 4530, 4920, 5010};
    for (std::size_t i = 0; i < ruleTops.size(); ++i) {
        const std::string name = "Label" + std::to_string(83 + i);
        auto* rule = add(new QLabel(frame1), "", 60, ruleTops[i], 2415, 15);
        rule->setObjectName(QString::fromStdString(name));
        setBackColor(rule, kMaroon);
    }
    auto* command8 = add(new QPushButton("Save As", frame1), "Command8", 720, 5280, 1095, 375);
    command8->setFont(gameFont("Times New Roman", 11.25, true));
    connect(command8, &QPushButton::clicked, this,
            [this] { saveChartAsBitmap(this, *m_chart, *m_dialog); });
    setAccessibleText(command8, "Save As", "Saves the chart as a bitmap file");
    m_dialog = new CommonDialog(this);
    m_dialog->setObjectName("CommonDialog1");
}

void MDIForm1::buildHeader(QWidget* pic) {
    auto* frame4 = add(new QWidget(pic), "Frame4", 2640, 0, 8415, 615);
    setAccessibleText(frame4, "Header");
    setBackColor(frame4, kBlack);
    const QFont headerFont = gameFont("GEORGIA", 14, true);
    styled(
        add(new FitLabel("   T H E  G A M E  B O A R D", frame4), "Label67", 120, 120, 3855, 375),
        headerFont, kMagenta, kWhite);
    styled(add(new FitLabel("   PLAN-QUARTER NO.    ::  ", frame4), "Label2", 4080, 120, 3495, 375),
           headerFont, kMagenta, kWhite);
    m_planCount = styled(add(new FitLabel(frame4), "Label69", 7560, 120, 735, 375),
                         gameFont("Arial", 14, true), kMagenta, kWhite, Qt::AlignCenter);
    setAccessibleText(m_planCount, "Plan-quarter number");
}

void MDIForm1::buildValueTable(QWidget* pic) {
    auto* frame2 = add(new QWidget(pic), "Frame2", 120, 5760, 10935, 1575);
    setColors(frame2, kBlack, kYellow);
    frame2->setFont(gameFont("MS Sans Serif", 12, true));
    setAccessibleText(frame2, "Table of the ten indicators");
    const QFont rowHeadFont = gameFont("MS Sans Serif", 14, true);
    styled(add(new FitLabel("Before Plan", frame2), "Label3", 0, 240, 1695, 345), rowHeadFont,
           kBlack, kYellow);
    styled(add(new FitLabel("After Plan", frame2), "Label4", 0, 600, 1695, 345), rowHeadFont,
           kBlack, kCyan);
    styled(add(new FitLabel("100% Means :", frame2), "Label23", 0, 960, 1695, 345), rowHeadFont,
           kBlack, kMagenta);
    for (std::size_t i = 0; i < kIndicatorControls.size(); ++i) addIndicatorColumn(frame2, i);
    const std::array<std::pair<const char*, double>, 4> rules = {
        {{"Label76", 225}, {"Label70", 585}, {"Label71", 945}, {"Label72", 1305}}};
    for (const auto& [name, top] : rules)
        setBackColor(add(new QLabel(frame2), name, 0, top, 10935, 15), kMaroon);
}

void MDIForm1::addIndicatorColumn(QWidget* frame2, std::size_t i) {
    const double left = 1695 + 920.0 * static_cast<double>(i);
    const auto& ind = model::boardIndicators()[i];
    const auto& names = kIndicatorControls[i];
    m_heads[i] =
        styled(add(new FitLabel(ind.head, frame2), names.head, left, 0, 905, 240),
               gameFont("MS Sans Serif", 12, true), kInactiveCaptionText, kBlue, Qt::AlignCenter);
    m_heads[i]->setToolTip(ind.tooltip);
    setAccessibleText(m_heads[i], ind.tooltip);
    // The cells stand 15 twips apart: their texts keep off the cells' sides,
    // so that neighbouring values never run together.
    const QFont cellFont = gameFont("MS Sans Serif", 14);
    const auto cell = [&](const char* name, double top, const QColor& fore, const char* row) {
        auto* label = styled(add(new FitLabel(frame2), name, left, top, 905, 345), cellFont, kBlack,
                             fore, Qt::AlignCenter);
        keepTextOffSides(label);
        setAccessibleText(label, QString("%1, %2").arg(ind.tooltip, row));
        return label;
    };
    m_before[i] = cell(names.before, 240, kYellow, "Before Plan");
    m_after[i] = cell(names.after, 600, kCyan, "After Plan");
    m_means[i] = cell(names.means, 960, kMagenta, "100% Means");
}

void MDIForm1::buildMenus() {
    const auto open = [](const char* form, std::int16_t* selector = nullptr,
                         std::int16_t value = 0) {
        return [=] {
            if (selector) *selector = value;
            GameWindows::instance().openForm(form);
        };
    };

    // The whole menu bar, in order. New entries go into these lists.
    const std::vector<MenuEntry> bar = {
        submenu("menuplan", "Decision and Run", 'D',
                {command("menu_new_plan_decision",
                         "Enter New Decision and Run System Dynamics Model", 'E', open("Form4")),
                 command("menu_take_back", "Take Back Last Quarter", 'T',
                         [this] {
                             takeBackLastQuarter(this, GameWindows::instance().connectionString());
                         })}),
        submenu(
            "menuplot", "Plot", 'P',
            {submenu("menuduringplanplotmenu", "During Plan Plot", 'D',
                     {command("menu_expop_dur", "Experienced People", 'E', open("Form1", &p, 1)),
                      command("menu_trpop_dur", "Trainee People", 'T', open("Form1", &p, 2)),
                      command("menu_pqlty_dur", "Product Quality", 'Q', open("Form1", &p, 3)),
                      command("menu_ccmpl_dur", "Customer Complaints", 'C', open("Form1", &p, 4)),
                      command("menu_prinv_dur", "Product Inventory", 'I', open("Form1", &p, 5)),
                      command("menu_oblog_dur", "Order Backlog", 'O', open("Form1", &p, 6))}),
             submenu(
                 "menupastplanplot", "Past Plan Plot", 'P',
                 {command("menu_expop_past", "Experienced People", 'E', open("Form2", &p2, 1)),
                  command("menu_trpop_past", "Trainee People", 'T', open("Form2", &p2, 2)),
                  command("menu_pqlty_past", "Product Quality", 'Q', open("Form2", &p2, 3)),
                  command("menu_ccmpl_past", "Customer Complaints", 'C', open("Form2", &p2, 4)),
                  command("menu_prinv_past", "Product Inventory", 'I', open("Form2", &p2, 5)),
                  command("menu_oblog_past", "Order Backlog", 'O', open("Form2", &p2, 6)),
                  command("menu_hrdec_past", "Hiring Decision", 'H', open("Form2", &p2, 7)),
                  command("menu_prdec_past", "Production Decision", 'D', open("Form2", &p2, 8)),
                  command("menu_pgval_past", "Plan Game Value", 'G', open("Form3", &p3, 1)),
                  command("menu_agval_past", "Average Game Value", 'A', open("Form3", &p3, 2))})}),
        submenu("menu_plan_reports", "Plan Reports", 'R',
                {command("menu_this_plan", "This Plan Report", 'T', open("Form7")),
                 command("menu_performance_sheet", "Performance Sheet", 'P', open("Form8")),
                 command("menu_debrief_report", "Debrief Report (PDF)\u2026", 'D',
                         [this] {
                             saveDebriefReport(this, *m_dialog,
                                               GameWindows::instance().connectionString());
                         }),
                 command("menu_league", "League of Teams\u2026", 'L',
                         [this] { LeagueWindow::chooseFilesAndOpen(this); })}),
        command("menu_exit_game", "Exit Game", 'E', [] { GameWindows::instance().exitGame(); }),
        command("menu_Minimize", "Minimize", 'M', [this] { minimizeCommand(); }),
    };

    // Submenus become menus, commands actions, at every level alike.
    const std::function<void(QWidget*, const MenuEntry&)> place = [&](QWidget* parent,
                                                                      const MenuEntry& entry) {
        const QString caption = withMnemonic(entry.caption, entry.mnemonic);
        if (entry.command) {
            auto* action = new QAction(caption, parent);
            action->setObjectName(entry.name);
            connect(action, &QAction::triggered, this, entry.command);
            parent->addAction(action);
            return;
        }
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(entry.name);
        for (const MenuEntry& item : entry.entries) place(menu, item);
        parent->addAction(menu->menuAction());
    };
    for (const MenuEntry& entry : bar) place(menuBar(), entry);
}

void MDIForm1::load() {
    // 1. Scale to the screen.
    scaling.load(*this);
    // 2. Title and caption.
    m_title->setText("Tessaro");
    setWindowTitle("Tessaro V " TESSARO_VERSION);

    model::GameBoard board;
    try {
        board = model::loadGameBoard(GameWindows::instance().connectionString());
    } catch (const std::exception& e) {
        showMessage(this, model::databaseFailureBox(e));
        return;
    }
    // 3. and 4. The plan count and the Plan Brief; 5. the header shows the
    // count once both tables have rows.
    if (board.reached >= model::GameBoard::Stage::Brief) {
        for (std::size_t i = 0; i < m_brief.size(); ++i)
            showValue(m_brief[i], qs(board.brief[i].toText()));
        m_planCount->setText(QString::number(board.planCount));
    }
    fitTexts(*this);
    if (board.failure) {
        showMessage(this, *board.failure);
        return;
    }
    // 9. The chart; 10. to 13. the table.
    buildChart(board);
    for (int i = 0; i < model::kIndicatorCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        showValue(m_before[k], qs(board.beforeCellText(i)));
        setForeColor(m_before[k], board.beforeCellRed(i) ? kRed : kYellow);
        showValue(m_after[k], qs(board.afterCellText(i)));
        setForeColor(m_after[k], board.afterCellRed(i) ? kRed : kCyan);
        m_means[k]->setText(model::boardIndicators()[k].referenceText);
    }
    fitTexts(*this);
}

void MDIForm1::buildChart(const model::GameBoard& board) {
    MSChart& c = *m_chart;
    for (auto axis : {Axis::X, Axis::Y, Axis::Y2}) c.setAxisLabelFont(axis, 11, true, kDarkGreen);
    c.setSeriesFill(1, kBeforePlanBars);
    c.setSeriesFill(2, kAfterPlanBars);
    c.setPlotBackdrop(kWhite);
    c.setLegendVisible(true);
    c.setLegendFont("Times New Roman", 14, true, kViolet);
    c.setRowCount(10);
    c.setColumnCount(2);
    c.setColumn(1);
    c.setColumnLabel("Before Plan");
    c.setColumn(2);
    c.setColumnLabel("After Plan");
    for (int row = 1; row <= 10; ++row) {
        c.setRow(row);
        c.setRowLabel(model::boardIndicators()[static_cast<std::size_t>(row - 1)].chartLabel);
    }
    for (int row = 1; row <= 10; ++row) {
        const auto k = static_cast<std::size_t>(row - 1);
        c.setRow(row);
        c.setColumn(1);
        c.setData(qs(store::numberText(board.beforePercent[k])));
        c.setColumn(2);
        c.setData(qs(store::numberText(board.afterPercent[k])));
    }
}

int MDIForm1::menuHeight(int width) const {
    // The frame's layout gives the menu bar this height; it is worked out
    // here because the bar has no height of its own before it is shown.
    const QMenuBar* bar = menuBar();
    const int height = bar->heightForWidth(width);
    return height > 0 ? height : bar->sizeHint().height();
}

QRectF MDIForm1::windowTwips() const {
    // The window's place is that of its frame (title bar and border
    // included, as x() and y() give it), its size that of its client area,
    // below the menu bar. Read and written alike, so that a window moved to
    // where it is stays there under any window manager.
    return QRectF(twipsAcross(x()), twipsDown(y()), twipsAcross(width()),
                  twipsDown(height() - menuHeight(width())));
}

void MDIForm1::moveWindowTwips(const QRectF& t) {
    const int width = pixelsAcross(t.width());
    const int client = pixelsDown(t.height());
    // move() places the frame; setGeometry() would place the client area
    // there and push the title bar off the screen's top.
    resize(width, client + menuHeight(width));
    move(pixelsAcross(t.left()), pixelsDown(t.top()));
    // Before the window is first shown its layout has not placed the client
    // area yet; give it its size now, as the layout will.
    if (!isVisible()) {
        m_client->setGeometry(0, menuHeight(width), width, client);
        layoutClient();
    }
}

void MDIForm1::setBoardVisible(bool visible) {
    m_picture1->setVisible(visible);
    layoutClient();
}

void MDIForm1::layoutClient() {
    // Picture1 is aligned to the top: as wide as the client area, its own
    // height; the child windows get the rest, or all of it when it is hidden.
    const int width = m_client->width();
    const int height = m_client->height();
    const bool board = !m_picture1->isHidden();
    m_picture1->setGeometry(0, 0, width, m_picture1->height());
    int top = board ? std::min(m_picture1->height(), height) : 0;
    if (board) {
        // Minimised windows lie along the area's foot: it reaches up over
        // the board's foot as far as their icons need.
        int icons = 0;
        for (const QMdiSubWindow* sub : m_mdiArea->subWindowList())
            if (sub->isMinimized() && !sub->isHidden()) icons = std::max(icons, sub->height());
        top = std::max(0, std::min(top, height - icons));
    }
    m_mdiArea->setGeometry(0, top, width, height - top);
}

void MDIForm1::minimizeCommand() {
    scaling.minimizeCommand(*this);
    showMinimized();
    scaling.minimized();
}

void MDIForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // A window shown as an icon has no layout to follow.
    if (isMinimized()) return;
    const int width = event->size().width();
    const QSize client(width, event->size().height() - menuHeight(width));
    scaling.resized(*this, QSizeF(twipsAcross(client.width()), twipsDown(client.height())));
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) layoutClient();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tessaro::ui
