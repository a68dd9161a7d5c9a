// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/windows/form4.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "model/tables.h"
#include "ui/look/palette.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

const char* const kInstructions[] = {
    "The Game players need to make two decisions after each plan-quarter of three months duration.",
    "These are :",
    "1. Production Orders Planned (in Units)",
    "   Range : 2000 - 5,000",
    "2. Trainees' Hiring Planned (in Nos.)",
    "   Range : 5 - 25",
};

QLabel* label(QLabel* l, const QFont& font, const QColor& back, const QColor& fore,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    l->setFont(font);
    setColors(l, back, fore);
    l->setAlignment(align);
    return l;
}

}  // namespace

QString Form4::instructionText() {
    // An empty line first and between the lines; no break after the last.
    QString caption = QString("\r\n") + kInstructions[0] + "\r\n";
    const int count = static_cast<int>(std::size(kInstructions));
    for (int i = 1; i < count; ++i) {
        caption = caption + "\r\n" + kInstructions[i];
        if (i < count - 1) caption += "\r\n";
    }
    return caption;
}

Form4::Form4() : Form("Form4", 11880, 8490) {
    // The fonts stored with the controls at design; the load sets some anew.
    const QFont tnr1575 = gameFont("Times New Roman", 15.75, true);
    const QFont tnr1425 = gameFont("Times New Roman", 14.25, true);

    auto* label1 = add(new FitLabel("Label1", this), "Label1", 1920, 240, 6375, 495);
    label(label1, tnr1575, kBrown, kWhite);
    m_label2 = add(new FitLabel("Label2", this), "Label2", 8280, 240, 975, 495);
    label(m_label2, tnr1575, kBrown, kWhite, Qt::AlignCenter);
    setAccessibleText(m_label2, {}, "Plan-quarter decided");
    auto* command2 = add(new QPushButton("Minimize", this), "Command2", 9960, 480, 1455, 375);
    connect(command2, &QPushButton::clicked, this, [this] { minimizeCommand(); });

    auto* label10 = add(new FitLabel("Label10", this), "Label10", 480, 1200, 10815, 375);
    auto* label9 = add(new FitLabel("Label9", this), "Label9", 480, 1560, 10815, 495);
    label(label9, tnr1425, kSky, kBlack, Qt::AlignCenter);
    auto* label7 = add(new FitLabel("Label7", this), "Label7", 480, 2040, 2775, 2895);
    m_label5 = add(new FitLabel("Label5", this), "Label5", 3240, 2040, 5535, 2895);
    label(m_label5, gameFont("Times New Roman", 8.25, true), kSky, kBlack,
          Qt::AlignLeft | Qt::AlignTop);
    m_label5->setWordWrap(true);
    auto* label8 = add(new FitLabel("Label8", this), "Label8", 8640, 2040, 2655, 2895);
    auto* label6 = add(new FitLabel("Label6", this), "Label6", 480, 4920, 10815, 615);
    for (QLabel* l : {label10, label7, label8, label6}) setBackColor(l, kSky);

    auto* label3 = add(new FitLabel("Label3", this), "Label3", 1320, 5760, 3735, 495);
    m_text2 = add(new QLineEdit("Text2", this), "Text2", 5280, 5760, 2415, 495);
    auto* label4 = add(new FitLabel("Label4", this), "Label4", 1320, 6600, 3735, 495);
    m_text3 = add(new QLineEdit("Text3", this), "Text3", 5280, 6600, 2415, 495);
    auto* label11 = add(new FitLabel("Label11", this), "Label11", 1320, 7440, 3735, 495);
    m_text1 = add(new QLineEdit("Text1", this), "Text1", 5280, 7440, 2415, 495);
    m_text1->setEchoMode(QLineEdit::Password);
    // One "*" for each character typed, whatever the style's own mark.
    m_text1->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    setColors(m_text1, kWhite, kBlack);
    for (QLabel* l : {label3, label4, label11}) label(l, tnr1425, kSky, kBlue);
    for (QLineEdit* t : {m_text1, m_text2, m_text3}) t->setFont(gameFont("MS Sans Serif", 12));
    setAccessibleText(m_text2, "Production Orders Planned", "Units, 2000 to 5000");
    setAccessibleText(m_text3, "Trainees' Hiring Planned", "Persons, 5 to 25");
    setAccessibleText(m_text1, "Password");

    auto* frame1 =
        add(new QGroupBox("New Decision and SD Run", this), "Frame1", 8040, 5760, 2655, 2295);
    frame1->setFont(gameFont("MS Sans Serif", 9.75, true));
    m_command1 = add(new GraphicalButton("Command1", frame1), "Command1", 240, 840, 2175, 495);
    m_command1->setFont(gameFont("MS Sans Serif", 12, true));
    setBackColor(m_command1, kOrange);
    connect(m_command1, &QPushButton::clicked, this, [this] { runCommand(); });
    // Return in the password box, the last one the players fill, runs.
    connect(m_text1, &QLineEdit::returnPressed, m_command1, &QPushButton::click);

    // Of the controls that take the focus: production orders, trainees'
    // hiring, the run button, the password, the Minimize button.
    setTabOrder(m_text2, m_text3);
    setTabOrder(m_text3, m_command1);
    setTabOrder(m_command1, m_text1);
    setTabOrder(m_text1, command2);

    load();
    fitTextsToBoxes();
    // The bands the load left without a caption.
    nameDecorations(controlList(), "Colour band");
}

QWidget* Form4::firstFocus() const {
    return m_text2;
}

void Form4::load() {
    scaleToScreen();
    setBackColor(this, kChildWindowBack);
    setWindowTitle("New Plan Decisions");
    auto* label1 = findChild<QLabel*>("Label1");
    label1->setText("Game Players' Decisions For The Plan-Quarter :    ");
    setControlFont(label1, gameFont("Times New Roman", 16, true), *this);
    setBackColor(findChild<QGroupBox*>("Frame1"), kSky);

    try {
        const int count = model::countPlanQuarters(GameWindows::instance().connectionString());
        if (count == 0) {
            ui::showMessage(
                this, {"No Data to Show Plan Number!!!", "Plan Number", model::Icon::Critical});
            return;
        }
        plan_count = static_cast<std::int16_t>(count);
    } catch (const std::exception& e) {
        ui::showMessage(this, model::databaseFailureBox(e));
        return;
    }
    m_label2->setText(QString::number(plan_count + 1));
    setControlFont(m_label2, gameFont("Times New Roman", 16, true), *this);
    m_label5->setText(instructionText());
    for (const char* name : {"Label6", "Label7", "Label8", "Label10"})
        findChild<QLabel*>(name)->setText("");
    findChild<QLabel*>("Label9")->setText("Beginning of Plan-Quarter");
    const QFont tnr14 = gameFont("Times New Roman", 14, true);
    const std::pair<const char*, const char*> captions[] = {
        {"Label3", "Production Orders Planned : "},
        {"Label4", "Trainees' Hiring Planned     : "},
        {"Label11", "Password"}};
    for (const auto& [name, caption] : captions) {
        auto* l = findChild<QLabel*>(name);
        l->setText(caption);
        setControlFont(l, tnr14, *this);
    }
    m_text1->clear();
    m_text2->clear();
    m_text3->clear();
    m_command1->setText("System Dynamics Run");
    setControlFont(m_command1, gameFont("MS Sans Serif", 10, true), *this);
}

void Form4::runCommand() {
    model::RunCommand command(GameWindows::instance().connectionString());
    command.run(*this);
}

QLineEdit* Form4::box(model::Box which) const {
    switch (which) {
        case model::Box::Production:
            return m_text2;
        case model::Box::Hiring:
            return m_text3;
        case model::Box::Password:
            return m_text1;
    }
    return nullptr;
}

std::string Form4::text(model::Box which) const {
    return box(which)->text().toStdString();
}

void Form4::setText(model::Box which, const std::string& t) {
    box(which)->setText(QString::fromStdString(t));
}

void Form4::setFocus(model::Box which) {
    box(which)->setFocus();
}

void Form4::showMessage(const model::MessageBox& b) {
    ui::showMessage(this, b);
}

void Form4::rebuildBoard() {
    // Unloading the main window unloads this window too.
    GameWindows::instance().reloadMainWindow();
}

}  // namespace tessaro::ui
