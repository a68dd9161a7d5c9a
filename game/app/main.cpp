// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// tessaro: the game program. Opens the game database (see
// store/gamelocation.h for where it lies, or the file given with
// --database), creating a new game when there is none, and shows the main
// window.
#include <QApplication>
#include <QCommandLineParser>
#include <QInputDialog>
#include <QLineEdit>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "display.h"
#include "model/gamefile.h"
#include "model/runcommand.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/serverplace.h"
#include "store/storeerror.h"
#include "tessaro/version.h"
#include "ui/debrief/debrief.h"
#include "ui/look/module2.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace {

// Exit statuses, as the README and --help give them.
constexpr int kDone = 0;
constexpr int kDatabaseFailed = 2;
constexpr int kUsage = 64;
constexpr int kNoDisplay = 69;

struct Options {
    QCommandLineOption database{"database", "The game database file (default: see FILES below).",
                                "PATH"};
    QCommandLineOption server{"server",
                              "Play your team's game on a class server: a libpq URI or "
                              "key=value string, with no password in it "
                              "(TESSARO_SERVER gives the default).",
                              "URI"};
    QCommandLineOption screen{
        "screen", "Lay the windows out for a screen of this size, e.g. 1024x768.", "WIDTHxHEIGHT"};
    QCommandLineOption debrief{"debrief",
                               "Write the debrief report of the game as a PDF and exit (no "
                               "window, no display needed).",
                               "OUT.pdf"};
    QCommandLineOption paper{"paper", "Paper of the debrief: a4 (default) or letter.", "SIZE"};
    QCommandLineOption open{"open",
                            "Open a window at start, as its menu item does: Form1:P, Form2:P2, "
                            "Form3:P3, Form4, Form7 or Form8.",
                            "WINDOW"};
};

const char* kEpilogue =
    "\n"
    "FILES\n"
    "  The game lies in one file, TESSARO_DB.mdb: beside the program when the\n"
    "  player may write there and the program is not installed system-wide,\n"
    "  otherwise in $XDG_DATA_HOME/tessaro (~/.local/share/tessaro). A missing\n"
    "  file is created as a new game. 'tessaro-cli status' names the file.\n"
    "  With --server (or TESSARO_SERVER) the game is the team's on a class\n"
    "  server; its password comes from ~/.pgpass, PGPASSFILE or a service\n"
    "  file, or is asked for.\n"
    "\n"
    "EXIT STATUS\n"
    "  0 the game ended normally (or the debrief was written), 2 the game\n"
    "  database could not be used (or the debrief not written), 64 wrong\n"
    "  command line, 69 no display to show the window on.\n";

// Parses the command line with no application object, so that --help and
// --version answer on a machine without a display.
QCommandLineParser* parserFor(const QStringList& arguments, Options& options, QString& error) {
    static QCommandLineParser parser;
    parser.setApplicationDescription("Tessaro " TESSARO_VERSION
                                     ", a management training game: steer a producing firm "
                                     "quarter by quarter.");
    parser.addOptions({options.database, options.server, options.screen, options.open,
                       options.debrief, options.paper});
    parser.addHelpOption();
    parser.addVersionOption();
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        error = "unexpected argument '" + parser.positionalArguments().first() + "'";
    return &parser;
}

// Qt's own options (-platform offscreen, -style fusion ...) belong to
// QApplication, which takes them out of the command line itself.
QStringList withoutQtOptions(const QStringList& arguments) {
    static const QStringList withValue = {
        "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
        "-display",         "-geometry",           "-style",         "-stylesheet",
        "-qwindowgeometry", "-qwindowtitle",       "-qwindowicon",   "-session"};
    static const QStringList alone = {"-reverse", "-nograb", "-dograb", "-widgetcount"};
    QStringList out;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (withValue.contains(a) && i + 1 < arguments.size()) {
            ++i;
        } else if (!alone.contains(a)) {
            out << a;
        }
    }
    return out;
}

int usageError(const std::string& why) {
    std::cerr << "tessaro: " << why << '\n' << tessaro::tryHelp("tessaro") << '\n';
    return kUsage;
}

// The game the command line names: a team's game on a class server
// (--server, or TESSARO_SERVER when no --database names a file), else the
// game file.
std::string gameNamed(const QCommandLineParser& parser, const Options& options) {
    using namespace tessaro;
    std::string server = parser.value(options.server).toStdString();
    if (server.empty() && !parser.isSet(options.database))
        if (const char* named = std::getenv(store::kServerVariable)) server = named;
    if (!server.empty()) {
        store::checkServerAddress(server);
        return store::connectionStringForServer(server);
    }
    const std::string named = parser.value(options.database).toStdString();
    return store::gameLocation(parser.isSet(options.database) ? &named : nullptr).connectionString;
}

// A game on a server whose password libpq finds nowhere is opened with the
// password typed into a masked prompt; cancelling it ends the attempt.
void askForServerPassword(const std::string& connectionString) {
    using namespace tessaro;
    if (!store::isServerConnectionString(connectionString)) return;
    for (int attempt = 0;; ++attempt) {
        try {
            store::Connection probe(connectionString, store::Access::Read);
            return;
        } catch (const store::StoreError& e) {
            const bool asked = e.cause() == store::StoreCause::PasswordNeeded ||
                               (attempt > 0 && e.cause() == store::StoreCause::LoginRefused);
            if (!asked || attempt == 3) throw;
            bool ok = false;
            const QString password = QInputDialog::getText(
                nullptr, "Class Server",
                attempt == 0 ? "Password of your team on the class server:"
                             : "Wrong password. Password of your team on the class server:",
                QLineEdit::Password, "", &ok);
            if (!ok) throw;
            store::setServerPassword(password.toStdString());
        }
    }
}

// The debrief on its own, for tessaro-cli's debrief command and scripts:
// no window is shown, so no display is needed. A report only reads the
// game: a missing game file is an error, not a new game.
int writeDebrief(const QCommandLineParser& parser, const Options& options, const std::string& file,
                 tessaro::ui::Paper paper) {
    using namespace tessaro;
    ui::HeadlessApplication app;
    std::string error;
    try {
        error = ui::writeDebrief(gameNamed(parser, options), file, paper);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!error.empty()) {
        std::cerr << "Debrief Report: " << error << '\n';
        return kDatabaseFailed;
    }
    std::cout << "Debrief Report: written to " << file << '\n';
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessaro;
    QCoreApplication::setApplicationName("tessaro");
    QCoreApplication::setApplicationVersion(TESSARO_VERSION);

    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    QString error;
    const QStringList withQtOptions = arguments;
    QCommandLineParser& parser = *parserFor(withoutQtOptions(arguments), options, error);
    if (!error.isEmpty()) return usageError(error.toStdString());
    if (parser.isSet("help") || parser.isSet("help-all")) {
        QString help = parser.helpText();
        help.replace("<executable_name>", "tessaro");
        std::cout << help.toStdString() << kEpilogue;
        return kDone;
    }
    if (parser.isSet("version")) {
        std::cout << "tessaro " TESSARO_VERSION "\n";
        return kDone;
    }

    if (parser.isSet(options.paper) && !parser.isSet(options.debrief))
        return usageError("--paper goes with --debrief");
    if (parser.isSet(options.debrief)) {
        const auto paper = ui::paperFromName(parser.value(options.paper).toStdString());
        if (parser.isSet(options.paper) && !paper)
            return usageError("unknown paper size '" + parser.value(options.paper).toStdString() +
                              "' (a4 or letter)");
        return writeDebrief(parser, options, parser.value(options.debrief).toStdString(),
                            paper.value_or(ui::Paper::A4));
    }

    std::optional<ui::ScreenSpec> screenOverride;
    if (parser.isSet(options.screen)) {
        const QStringList parts = parser.value(options.screen).split('x');
        bool okW = false, okH = false;
        const int w = parts.value(0).toInt(&okW);
        const int h = parts.value(1).toInt(&okH);
        if (parts.size() != 2 || !okW || !okH || w < 320 || h < 240 || w > 32767 || h > 32767)
            return usageError("--screen wants WIDTHxHEIGHT in pixels, such as 1024x768");
        screenOverride = ui::ScreenSpec{w, h, 96, 96};
    }
    if (const std::string problem = app::displayProblem(withQtOptions); !problem.empty()) {
        std::cerr << app::noDisplayMessage(problem);
        return kNoDisplay;
    }

    std::optional<app::PlatformStartGuard> guard(std::in_place, withQtOptions, kNoDisplay);
    QApplication app(argc, argv);
    guard.reset();
    QApplication::setApplicationName("Tessaro");
    QApplication::setApplicationVersion(TESSARO_VERSION);
    if (screenOverride) ui::setScreenOverride(*screenOverride);

    ui::setUpLook();
    std::string connectionString;
    try {
        connectionString = gameNamed(parser, options);
        askForServerPassword(connectionString);
        model::ensureGameDatabase(connectionString);
    } catch (const std::exception& e) {
        ui::showMessage(nullptr, model::databaseFailureBox(e));
        return kDatabaseFailed;
    }
    ui::registerGameForms();
    ui::GameWindows::instance().start(connectionString);
    if (parser.isSet(options.open)) {
        const QStringList parts = parser.value(options.open).split(':');
        const QString form = parts.value(0);
        const auto selector = static_cast<std::int16_t>(parts.value(1).toInt());
        if (form == "Form1") ui::MDIForm1::p = selector;
        if (form == "Form2") ui::MDIForm1::p2 = selector;
        if (form == "Form3") ui::MDIForm1::p3 = selector;
        if (!ui::GameWindows::instance().hasForm(form))
            return usageError("no window " + form.toStdString() + " to open");
        ui::GameWindows::instance().openForm(form);
    }
    const int status = QApplication::exec();
    ui::GameWindows::instance().stop();
    return status;
}
