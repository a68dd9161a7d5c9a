// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// morvane-demo: a form of many kinds of controls, laid out in Qt Designer
// at 800 x 600 pixels on a 1024 x 768 screen, with a Morvane on it. Start it
// on another screen (or with --screen) and drag its corners: the form and
// every control follow. Save keeps the geometry for the next start.
#include "ui_demoform.h"

#include "morvane/morvane.h"
#include "morvane/screen.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QRegularExpression>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// The settings the form's geometry is kept under between runs.
const QString ApplicationName = QStringLiteral("MorvaneDemo");

class DemoForm : public QWidget {
public:
    DemoForm() {
        m_ui.setupUi(this);
        MorvaneCtl::Morvane *resizer = m_ui.Morvane1;
        connect(m_ui.saveButton, &QPushButton::clicked, this,
                [this, resizer] { guarded([&] { resizer->SaveForm(this, true, ApplicationName); }); });
        connect(m_ui.restoreButton, &QPushButton::clicked, this,
                [this, resizer] { guarded([&] { resizer->RestoreForm(this, true, ApplicationName); }); });
        connect(m_ui.closeButton, &QPushButton::clicked, this, &QWidget::close);
        connect(resizer, &MorvaneCtl::Morvane::ResizeComplete, this, [this] { showSize(); });
        // Asked for while the form loads, the restore is carried out after
        // the form's first layout pass, so last run's geometry wins.
        guarded([&] { resizer->RestoreForm(this, true, ApplicationName); });
    }

private:
    void showSize() {
        const MorvaneCtl::ScreenMetrics screen = MorvaneCtl::currentScreen();
        const MorvaneCtl::Morvane *resizer = m_ui.Morvane1;
        m_ui.sizeLabel->setText(tr("Now %1 x %2 pixels on a %3 x %4 screen;\ndesigned %5 x %6 on %7 x %8.")
                                    .arg(width())
                                    .arg(height())
                                    .arg(qRound(screen.widthTwips / screen.twipsPerPixelX))
                                    .arg(qRound(screen.heightTwips / screen.twipsPerPixelY))
                                    .arg(qRound(resizer->FormScaleWidthDT() / screen.twipsPerPixelX))
                                    .arg(qRound(resizer->FormScaleHeightDT() / screen.twipsPerPixelY))
                                    .arg(resizer->ScreenWidthDT())
                                    .arg(resizer->ScreenHeightDT()));
    }

    // SaveForm and RestoreForm refuse anything but an ordinary form.
    void guarded(const std::function<void()> &call) {
        try {
            call();
        } catch (const MorvaneCtl::MorvaneError &error) {
            QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
        }
    }

    Ui::DemoForm m_ui;
};

} // namespace

// The command line; the same for the help text and for a run.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption screen{QStringLiteral("screen"),
                              QStringLiteral("Lay the form out as on a screen of WIDTHxHEIGHT pixels, e.g. 1920x1080."),
                              QStringLiteral("WIDTHxHEIGHT")};
    CommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "A form designed for 1024 x 768 with the Morvane resize control on it."));
        parser.addHelpOption();
        parser.addOption(screen);
    }
};

bool asksForHelp(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "-?"))
            return true;
    return false;
}

int main(int argc, char **argv) {
    // The help needs no display.
    if (asksForHelp(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("morvane-demo"));
        CommandLine line;
        line.parser.process(core);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "morvane-demo: no display to show the form on; start it on a desktop, "
                             "under xvfb-run, or with QT_QPA_PLATFORM=offscreen\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("morvane-demo"));
    CommandLine line;
    QCommandLineParser &parser = line.parser;
    const QCommandLineOption &screenOption = line.screen;
    parser.process(app);

    if (parser.isSet(screenOption)) {
        static const QRegularExpression size(QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
        const QString value = parser.value(screenOption);
        const QRegularExpressionMatch match = size.match(value);
        if (!match.hasMatch()) {
            std::fprintf(stderr, "morvane-demo: --screen wants WIDTHxHEIGHT in pixels, e.g. 1920x1080, not \"%s\"\n",
                         qPrintable(value));
            return 2;
        }
        MorvaneCtl::setScreenOverride(
            MorvaneCtl::ScreenMetrics::ofPixels(match.captured(1).toInt(), match.captured(2).toInt()));
    }

    DemoForm form;
    form.show();
    return app.exec();
}
