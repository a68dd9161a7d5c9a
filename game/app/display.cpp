// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "display.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace tessaro::app {
namespace {

// The value of a Qt option given on the command line (-platform NAME), or
// a null string.
QString optionValue(const QStringList& arguments, const QString& option) {
    const qsizetype at = arguments.indexOf(option);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

// The platforms Qt tries, in order, by the rule QGuiApplication follows:
// -platform, else QT_QPA_PLATFORM, else the session's kind with xcb last.
QStringList platformsTried(const QStringList& arguments) {
    QString names = optionValue(arguments, "-platform");
    if (names.isEmpty()) names = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (names.isEmpty()) {
        const bool wayland =
            qEnvironmentVariable("XDG_SESSION_TYPE") == "wayland" &&
            !qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains("gnome", Qt::CaseInsensitive) &&
            !qEnvironmentVariable("XDG_SESSION_DESKTOP").contains("gnome", Qt::CaseInsensitive);
        names = wayland ? "wayland;xcb" : "xcb";
    }
    QStringList platforms;
    for (const QString& entry : names.split(';', Qt::SkipEmptyParts))
        platforms << entry.section(':', 0, 0);  // "xcb:arg=value": the name alone
    return platforms;
}

QString xDisplayName(const QStringList& arguments) {
    const QString given = optionValue(arguments, "-display");
    return given.isEmpty() ? qEnvironmentVariable("DISPLAY") : given;
}

std::string describeDisplays(const QStringList& arguments) {
    const QString x = xDisplayName(arguments);
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    return "DISPLAY " + (x.isEmpty() ? std::string("not set") : "'" + x.toStdString() + "'") +
           ", WAYLAND_DISPLAY " +
           (wayland.isEmpty() ? std::string("not set") : "'" + wayland.toStdString() + "'");
}

// What the guard needs inside Qt's message handler, which takes no context.
struct GuardState {
    QtMessageHandler previous = nullptr;
    std::string platforms;
    std::string displays;
    int status = 0;
};
GuardState g_guard;

void fatalEndsQuietly(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (g_guard.previous) g_guard.previous(type, context, text);
        return;
    }
    const std::string message = noDisplayMessage("the Qt platform '" + g_guard.platforms +
                                                 "' could not start; " + g_guard.displays);
    std::fputs(message.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(g_guard.status);
}

}  // namespace

std::string displayProblem(const QStringList& arguments) {
    const QStringList platforms = platformsTried(arguments);
    // Another platform (wayland, offscreen, vnc ...) is asked by starting it.
    if (platforms.isEmpty() || platforms.count("xcb") != platforms.size()) return {};
    const QByteArray name = xDisplayName(arguments).toLocal8Bit();
    if (name.isEmpty()) return "DISPLAY is not set";
    xcb_connection_t* connection = xcb_connect(name.constData(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);  // a connection in error is freed the same way
    if (failed) return "cannot connect to the X display '" + name.toStdString() + "'";
    return {};
}

std::string noDisplayMessage(const std::string& why) {
    return "tessaro: there is no display to show the game window on (" + why +
           ").\nStart it from a desktop session, or play from a terminal with tessaro-cli.\n";
}

PlatformStartGuard::PlatformStartGuard(const QStringList& arguments, int status) {
    g_guard = {nullptr, platformsTried(arguments).join(';').toStdString(),
               describeDisplays(arguments), status};
    g_guard.previous = qInstallMessageHandler(fatalEndsQuietly);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(g_guard.previous);
}

}  // namespace tessaro::app
