// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "mdiform1.h"

#include <QApplication>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include "chartexport.h"
#include "tessaro/version.h"
#include "gamewindows.h"
#include "messages.h"
#include "model/runcommand.h"
#include "mschart.h"
#include "store/numbertext.h"

namespace tessaro::ui {
namespace {

// The board's design: client area 11880 x 8190 twips, Picture1 11880 x 8000.
constexpr double kClientWidth = 11880;
constexpr double kClientHeight = 8190;
constexpr double kPictureHeight = 8000;

const QColor kBlack = QColor(0, 0, 0);
const QColor kCyan = QColor(0, 255, 255);
const QColor kMagenta = QColor(255, 0, 255);
const QColor kYellow = QColor(255, 255, 0);
const QColor kRed = QColor(255, 0, 0);
const QColor kWhite = QColor(255, 255, 255);
const QColor kMaroon = QColor(128, 0, 0);
const QColor kBoardGrey = QColor(173, 190, 199);
// The system's inactive-caption-text colour of the classic desktop.
const QColor kInactiveCaptionText = QColor(212, 208, 200);

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

QString qs(const std::string& s) { return QString::fromStdString(s); }

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
    m_mdiArea->setBackground(QColor(128, 128, 128));
    // A child window that stops being the active one, because another child
    // window became active, shows the board again.
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* now) {
        if (m_activeChild && m_activeChild != now && now)
            if (auto* form = qobject_cast<Form*>(m_activeChild->widget())) form->deactivated();
        if (now) m_activeChild = now;
    });
    buildBoard();
    buildMenus();
    resize(pixelsAcross(kClientWidth), pixelsDown(kClientHeight) + menuBar()->sizeHint().height());
    m_client->resize(pixelsAcross(kClientWidth), pixelsDown(kClientHeight));
    layoutClient();
    load();
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildBoard() {
    m_picture1 = add(new QWidget(m_client), "Picture1", 0, 0, kClientWidth, kPictureHeight);
    setBackColor(m_picture1, kBoardGrey);
    QWidget* pic = m_picture1;

    // Plan Brief.
    auto* frame1 = add(new QGroupBox("Plan Brief", pic), "Frame1", 120, 0, 2535, 5775);
    frame1->setFont(gameFont("MS Sans Serif", 12, true));
    setColors(frame1, kBlack, kYellow);
    const QFont headingFont = gameFont("MS Sans Serif", 16, true, true);
    const QFont captionFont = gameFont("MS Sans Serif", 14, true);
    const std::array<double, 7> tops = {675, 1020, 1815, 2160, 2955, 3750, 4545};
    const std::array<double, 5> headingTops = {300, 1440, 2580, 3375, 4170};
    int heading = 0;
    for (std::size_t i = 0; i < kBriefControls.size(); ++i) {
        const auto& line = model::briefLines()[i];
        if (kBriefControls[i].heading) {
            auto* h = add(new QLabel(line.heading, frame1), kBriefControls[i].heading, 120,
                          headingTops[static_cast<std::size_t>(heading++)], 2295, 375);
            styled(h, headingFont, kBlack, kCyan);
        }
        auto* c = add(new QLabel(line.caption, frame1), kBriefControls[i].caption, 120, tops[i], 1095, 345);
        styled(c, captionFont, kBlack, kCyan);
        m_brief[i] = add(new FitLabel(frame1), kBriefControls[i].value, 1215, tops[i], 1200, 345);
        styled(m_brief[i], captionFont, kBlack, kMagenta, Qt::AlignCenter);
    }
    // Thin maroon rules between the parts of the brief.
    const std::array<double, 12> ruleTops = {270, 660, 1395, 1800, 2535, 2940, 3330, 3735, 4125,
                                             4530, 4920, 5010};
    for (std::size_t i = 0; i < ruleTops.size(); ++i) {
        const std::string name = "Label" + std::to_string(83 + i);
        auto* rule = add(new QLabel(frame1), "", 60, ruleTops[i], 2415, 15);
        rule->setObjectName(QString::fromStdString(name));
        setBackColor(rule, kMaroon);
    }
    auto* command8 = add(new QPushButton("Save As", frame1), "Command8", 720, 5280, 1095, 375);
    command8->setFont(gameFont("Times New Roman", 11.25, true));
    connect(command8, &QPushButton::clicked, this, [this] { saveChartAsBitmap(this, *m_chart, *m_dialog); });
    m_dialog = new CommonDialog(this);
    m_dialog->setObjectName("CommonDialog1");

    // Header strip.
    auto* frame4 = add(new QWidget(pic), "Frame4", 2640, 0, 8415, 615);
    setBackColor(frame4, kBlack);
    const QFont headerFont = gameFont("GEORGIA", 14, true);
    styled(add(new FitLabel("   T H E  G A M E  B O A R D", frame4), "Label67", 120, 120, 3855, 375),
           headerFont, kMagenta, kWhite);
    styled(add(new FitLabel("   PLAN-QUARTER NO.    ::  ", frame4), "Label2", 4080, 120, 3495, 375),
           headerFont, kMagenta, kWhite);
    m_planCount = styled(add(new FitLabel(frame4), "Label69", 7560, 120, 735, 375),
                         gameFont("Arial", 14, true), kMagenta, kWhite, Qt::AlignCenter);

    // The chart has no font of its own to scale.
    m_chart = add(new MSChart(pic), "MSChart1", 2640, 600, 8415, 5175);
    setScalesFont(m_chart, false);

    // Value table.
    auto* frame2 = add(new QWidget(pic), "Frame2", 120, 5760, 10935, 1575);
    setColors(frame2, kBlack, kYellow);
    frame2->setFont(gameFont("MS Sans Serif", 12, true));
    const QFont rowHeadFont = gameFont("MS Sans Serif", 14, true);
    styled(add(new QLabel("Before Plan", frame2), "Label3", 0, 240, 1695, 345), rowHeadFont, kBlack, kYellow);
    styled(add(new QLabel("After Plan", frame2), "Label4", 0, 600, 1695, 345), rowHeadFont, kBlack, kCyan);
    styled(add(new QLabel("100% Means :", frame2), "Label23", 0, 960, 1695, 345), rowHeadFont, kBlack,
           kMagenta);
    const QFont headFont = gameFont("MS Sans Serif", 12, true);
    const QFont cellFont = gameFont("MS Sans Serif", 14);
    for (std::size_t i = 0; i < kIndicatorControls.size(); ++i) {
        const double left = 1695 + 920.0 * static_cast<double>(i);
        const auto& ind = model::boardIndicators()[i];
        m_heads[i] = styled(add(new FitLabel(ind.head, frame2), kIndicatorControls[i].head, left, 0, 905, 240),
                            headFont, kInactiveCaptionText, QColor(0, 0, 255), Qt::AlignCenter);
        m_heads[i]->setToolTip(ind.tooltip);
        m_before[i] = styled(add(new FitLabel(frame2), kIndicatorControls[i].before, left, 240, 905, 345),
                             cellFont, kBlack, kYellow, Qt::AlignCenter);
        m_after[i] = styled(add(new FitLabel(frame2), kIndicatorControls[i].after, left, 600, 905, 345),
                            cellFont, kBlack, kCyan, Qt::AlignCenter);
        m_means[i] = styled(add(new FitLabel(frame2), kIndicatorControls[i].means, left, 960, 905, 345),
                            cellFont, kBlack, kMagenta, Qt::AlignCenter);
    }
    const std::array<std::pair<const char*, double>, 4> rules = {
        {{"Label76", 225}, {"Label70", 585}, {"Label71", 945}, {"Label72", 1305}}};
    for (const auto& [name, top] : rules) setBackColor(add(new QLabel(frame2), name, 0, top, 10935, 15), kMaroon);

    // Title and side bars.
    m_title = styled(add(new QLabel("Tessaro", pic), "Label1", 0, 7320, 11775, 495),
                     gameFont("georgia", 16, true), kBoardGrey, kBlack, Qt::AlignCenter);
    setBackColor(add(new QLabel(pic), "Label56", 0, 0, 135, 7330), kBlack);
    setBackColor(add(new QLabel(pic), "Label24", 11040, 0, 735, 7410), kBlack);

    // The title's blink timer: created without an interval and never started.
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    connect(m_timer1, &QTimer::timeout, this, [this] { m_title->setVisible(!m_title->isVisible()); });
}

void MDIForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    auto open = [](const char* form, std::int16_t* selector, std::int16_t value) {
        return [=] {
            if (selector) *selector = value;
            GameWindows::instance().openForm(form);
        };
    };
    auto action = [this](QMenu* menu, const char* name, const char* caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto submenu = [](QWidget* parent, const char* name, const char* caption) {
        auto* m = new QMenu(caption, parent);
        m->setObjectName(name);
        return m;
    };

    QMenu* plan = submenu(bar, "menuplan", "Decision and Run");
    bar->addMenu(plan);
    action(plan, "menu_new_plan_decision", "Enter New Decision and Run System Dynamics Model",
           open("Form4", nullptr, 0));

    QMenu* plot = submenu(bar, "menuplot", "Plot");
    bar->addMenu(plot);
    QMenu* during = submenu(plot, "menuduringplanplotmenu", "During Plan Plot");
    plot->addMenu(during);
    const char* const subjects[] = {"expop", "trpop", "pqlty", "ccmpl", "prinv", "oblog", "hrdec", "prdec"};
    const char* const captions[] = {"Experienced People", "Trainee People", "Product Quality",
                                    "Customer Complaints", "Product Inventory", "Order Backlog",
                                    "Hiring Decision", "Production Decision"};
    for (std::int16_t i = 0; i < 6; ++i) {
        const std::string name = std::string("menu_") + subjects[i] + "_dur";
        action(during, name.c_str(), captions[i], open("Form1", &p, static_cast<std::int16_t>(i + 1)));
    }
    QMenu* past = submenu(plot, "menupastplanplot", "Past Plan Plot");
    plot->addMenu(past);
    for (std::int16_t i = 0; i < 8; ++i) {
        const std::string name = std::string("menu_") + subjects[i] + "_past";
        action(past, name.c_str(), captions[i], open("Form2", &p2, static_cast<std::int16_t>(i + 1)));
    }
    action(past, "menu_pgval_past", "Plan Game Value", open("Form3", &p3, 1));
    action(past, "menu_agval_past", "Average Game Value", open("Form3", &p3, 2));

    QMenu* reports = submenu(bar, "menu_plan_reports", "Plan Reports");
    bar->addMenu(reports);
    action(reports, "menu_this_plan", "This Plan Report", open("Form7", nullptr, 0));
    action(reports, "menu_performance_sheet", "Performance Sheet", open("Form8", nullptr, 0));

    QAction* exitGame = bar->addAction("Exit Game");
    exitGame->setObjectName("menu_exit_game");
    connect(exitGame, &QAction::triggered, this, [] { GameWindows::instance().exitGame(); });
    QAction* minimize = bar->addAction("Minimize");
    minimize->setObjectName("menu_Minimize");
    connect(minimize, &QAction::triggered, this, [this] { minimizeCommand(); });
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
        for (std::size_t i = 0; i < m_brief.size(); ++i) m_brief[i]->setText(qs(board.brief[i].toText()));
        m_planCount->setText(QString::number(board.planCount));
    }
    if (board.failure) {
        showMessage(this, *board.failure);
        return;
    }
    // 9. The chart; 10. to 13. the table.
    buildChart(board);
    for (int i = 0; i < model::kIndicatorCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        m_before[k]->setText(qs(board.beforeCellText(i)));
        setForeColor(m_before[k], board.beforeCellRed(i) ? kRed : kYellow);
        m_after[k]->setText(qs(board.afterCellText(i)));
        setForeColor(m_after[k], board.afterCellRed(i) ? kRed : kCyan);
        m_means[k]->setText(model::boardIndicators()[k].referenceText);
    }
}

void MDIForm1::buildChart(const model::GameBoard& board) {
    MSChart& c = *m_chart;
    for (auto axis : {Axis::X, Axis::Y, Axis::Y2})
        c.setAxisLabelFont(axis, 11, true, QColor(0, 100, 0));
    c.setSeriesFill(1, QColor(128, 0, 0));
    c.setSeriesFill(2, QColor(0, 0, 128));
    c.setPlotBackdrop(kWhite);
    c.setLegendVisible(true);
    c.setLegendFont("Times New Roman", 14, true, QColor(148, 0, 211));
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

QRectF MDIForm1::windowTwips() const {
    return QRectF(twipsAcross(x()), twipsDown(y()), twipsAcross(m_client->width()),
                  twipsDown(m_client->height()));
}

void MDIForm1::moveWindowTwips(const QRectF& t) {
    const int menu = menuBar()->sizeHint().height();
    setGeometry(pixelsAcross(t.left()), pixelsDown(t.top()), pixelsAcross(t.width()),
                pixelsDown(t.height()) + menu);
    m_client->resize(pixelsAcross(t.width()), pixelsDown(t.height()));
    layoutClient();
}

void MDIForm1::setBoardVisible(bool visible) {
    m_picture1->setVisible(visible);
    layoutClient();
}

void MDIForm1::layoutClient() {
    // Picture1 is aligned to the top: as wide as the client area, its own
    // height; the child windows get the rest, or all of it when it is hidden.
    const int width = m_client->width();
    const int boardHeight = m_picture1->isVisible() ? m_picture1->height() : 0;
    m_picture1->setGeometry(0, 0, width, m_picture1->height());
    m_mdiArea->setGeometry(0, boardHeight, width, std::max(0, m_client->height() - boardHeight));
}

void MDIForm1::minimizeCommand() {
    scaling.minimizeCommand(*this);
    showMinimized();
}

void MDIForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const int menu = menuBar()->isVisible() ? menuBar()->height() : 0;
    const QSize client(event->size().width(), event->size().height() - menu);
    m_client->resize(client);
    scaling.resized(*this, QSizeF(twipsAcross(client.width()), twipsDown(client.height())));
    layoutClient();
}

}  // namespace tessaro::ui
