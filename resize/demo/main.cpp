// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// morvane-demo: a form of many kinds of controls, laid out in Qt Designer
// at 800 x 600 pixels on a 1024 x 768 screen, with a Morvane on it. Start it
// on another screen (or with --screen) and drag its corners: the form and
// every control follow. Save keeps the geometry for the next start.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QRegularExpression>
#include <cstdio>
#include <functional>
#include <optional>

#include "morvane/morvane.h"
#include "morvane/screen.h"
#include "morvane/version.h"
#include "ui_demoform.h"

namespace {

// The settings the form's geometry is kept under between runs.
const QString ApplicationName = QStringLiteral("MorvaneDemo");

class DemoForm : public QWidget {
public:
    DemoForm() {
        m_ui.setupUi(this);
        MorvaneCtl::Morvane* resizer = m_ui.Morvane1;
        connect(m_ui.saveButton, &QPushButton::clicked, this,
                [this, resizer] { resizer->SaveForm(this, true, ApplicationName); });
        connect(m_ui.restoreButton, &QPushButton::clicked, this,
                [this, resizer] { resizer->RestoreForm(this, true, ApplicationName); });
        // What the control cannot do it reports; the demo shows it.
        connect(resizer, &MorvaneCtl::Morvane::errorOccurred, this,
                [this](int code, const QString& text) {
                    QMessageBox::warning(
                        this, windowTitle(),
                        QStringLiteral("Morvane error %1: %2").arg(code).arg(text));
                });
        connect(m_ui.closeButton, &QPushButton::clicked, this, &QWidget::close);
        connect(resizer, &MorvaneCtl::Morvane::ResizeComplete, this, [this] { showSize(); });
        // Asked for while the form loads, the restore is carried out after
        // the form's first layout pass, so last run's geometry wins.
        resizer->RestoreForm(this, true, ApplicationName);
    }

private:
    void showSize() {
        const MorvaneCtl::ScreenMetrics screen = MorvaneCtl::currentScreen(this);
        const MorvaneCtl::Morvane* resizer = m_ui.Morvane1;
        m_ui.sizeLabel->setText(
            tr("Now %1 x %2 pixels on a %3 x %4 screen;\ndesigned %5 x %6 on %7 x %8.")
                .arg(width())
                .arg(height())
                .arg(qRound(screen.widthTwips / screen.twipsPerPixelX))
                .arg(qRound(screen.heightTwips / screen.twipsPerPixelY))
                .arg(qRound(resizer->property("FormScaleWidthDT").toInt() / screen.twipsPerPixelX))
                .arg(qRound(resizer->property("FormScaleHeightDT").toInt() / screen.twipsPerPixelY))
                .arg(resizer->ScreenWidthDT())
                .arg(resizer->ScreenHeightDT()));
    }

    Ui::DemoForm m_ui;
};

}  // namespace

// Exit codes, those of sysexits.h.
constexpr int ExitDone = 0;
constexpr int ExitUsage = 64;      // EX_USAGE: the command line is wrong
constexpr int ExitNoDisplay = 69;  // EX_UNAVAILABLE: no display to show the form on

// The command line, read before any QApplication exists: --help and
// --version need no display, and a wrong command line is told as such
// rather than as a missing display.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption screen{
        QStringLiteral("screen"),
        QStringLiteral("Lay the form out as on a screen of WIDTHxHEIGHT pixels, e.g. 1920x1080."),
        QStringLiteral("WIDTHxHEIGHT")};
    // Qt's own options, handed on to Qt.
    QCommandLineOption platform{
        QStringLiteral("platform"),
        QStringLiteral("Qt's platform plugin, e.g. offscreen (Qt's own option)."),
        QStringLiteral("name")};
    QCommandLineOption display{
        QStringLiteral("display"),
        QStringLiteral("The X display to show the form on (Qt's own option)."),
        QStringLiteral("display")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};

    CommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "A form designed for 1024 x 768 with the Morvane resize control on it. Options may "
            "stand anywhere on the line.\n\n"
            "Exit status: 0 done, 64 the command line is wrong, 69 there is no display to show "
            "the form on."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version, screen, platform, display});
    }

    QString helpText() const {
        return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                         QStringLiteral("morvane-demo"));
    }
};

void printOut(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

int usageError(const QString& text) {
    std::fprintf(stderr, "morvane-demo: %s\nTry 'morvane-demo --help'.\n",
                 text.toLocal8Bit().constData());
    return ExitUsage;
}

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine line;
    QCommandLineParser& parser = line.parser;
    if (!parser.parse(arguments)) return usageError(parser.errorText());
    if (parser.isSet(line.help)) {
        printOut(line.helpText());
        return ExitDone;
    }
    if (parser.isSet(line.version)) {
        printOut(QStringLiteral("morvane-demo %1\n").arg(QStringLiteral(MORVANE_VERSION_STRING)));
        return ExitDone;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    std::optional<MorvaneCtl::ScreenMetrics> screen;
    if (parser.isSet(line.screen)) {
        static const QRegularExpression size(
            QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
        const QString value = parser.value(line.screen);
        const QRegularExpressionMatch match = size.match(value);
        if (!match.hasMatch())
            return usageError(
                QStringLiteral("--screen wants WIDTHxHEIGHT in pixels, e.g. 1920x1080, not \"%1\"")
                    .arg(value));
        screen = MorvaneCtl::ScreenMetrics::ofPixels(match.captured(1).toInt(),
                                                     match.captured(2).toInt());
    }

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !parser.isSet(line.platform) &&
        !parser.isSet(line.display)) {
        std::fprintf(stderr,
                     "morvane-demo: no display to show the form on; start it on a desktop, "
                     "under xvfb-run, or with QT_QPA_PLATFORM=offscreen\n");
        return ExitNoDisplay;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("morvane-demo"));
    QApplication::setApplicationVersion(QStringLiteral(MORVANE_VERSION_STRING));
    if (screen) MorvaneCtl::setScreenOverride(screen);

    DemoForm form;
    form.show();
    return app.exec();
}
