// tessaro: the game program. Opens the game database (TESSARO_DB.mdb in the
// program's directory, or the file given with --database), creating a new
// game when there is none, and shows the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <iostream>

#include "model/gamefile.h"
#include "model/runcommand.h"
#include "store/gamelocation.h"
#include "ui/forms.h"
#include "ui/gamewindows.h"
#include "ui/mdiform1.h"
#include "ui/messages.h"
#include "ui/module2.h"

int main(int argc, char** argv) {
    using namespace tessaro;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaro");
    QApplication::setApplicationVersion("1.1");

    QCommandLineParser parser;
    parser.setApplicationDescription("Tessaro, a management training game.");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption database("database", "The game database file (default: TESSARO_DB.mdb beside the program).",
                                "PATH");
    QCommandLineOption screen("screen", "Lay the windows out for a screen of this size, e.g. 1024x768.",
                              "WIDTHxHEIGHT");
    QCommandLineOption open("open",
                            "Open a window at start, as its menu item does: Form1:P, Form2:P2, Form3:P3, "
                            "Form4, Form7 or Form8 (for demonstrations and pictures).",
                            "WINDOW");
    parser.addOption(database);
    parser.addOption(screen);
    parser.addOption(open);
    parser.process(app);

    if (parser.isSet(screen)) {
        const QStringList parts = parser.value(screen).split('x');
        bool okW = false, okH = false;
        const int w = parts.value(0).toInt(&okW);
        const int h = parts.value(1).toInt(&okH);
        if (parts.size() != 2 || !okW || !okH || w < 320 || h < 240 || w > 32767 || h > 32767) {
            std::cerr << "tessaro: --screen wants WIDTHxHEIGHT in pixels, such as 1024x768\n";
            return 64;
        }
        ui::setScreenOverride(ui::ScreenSpec{w, h, 96, 96});
    }

    const std::string connectionString =
        parser.isSet(database) ? store::connectionStringForFile(parser.value(database).toStdString())
                               : store::connectionStringForDirectory(store::programDirectory());
    ui::setUpLook();
    try {
        model::ensureGameDatabase(connectionString);
    } catch (const std::exception& e) {
        ui::showMessage(nullptr, model::databaseFailureBox(e));
        return 2;
    }
    ui::registerGameForms();
    ui::GameWindows::instance().start(connectionString);
    if (parser.isSet(open)) {
        const QStringList parts = parser.value(open).split(':');
        const QString form = parts.value(0);
        const auto selector = static_cast<std::int16_t>(parts.value(1).toInt());
        if (form == "Form1") ui::MDIForm1::p = selector;
        if (form == "Form2") ui::MDIForm1::p2 = selector;
        if (form == "Form3") ui::MDIForm1::p3 = selector;
        if (!ui::GameWindows::instance().hasForm(form)) {
            std::cerr << "tessaro: no window " << form.toStdString() << " to open\n";
            return 64;
        }
        ui::GameWindows::instance().openForm(form);
    }
    const int status = QApplication::exec();
    ui::GameWindows::instance().stop();
    return status;
}
