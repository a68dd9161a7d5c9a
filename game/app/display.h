// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Whether the game window has a display to be shown on. Qt ends the program
// with an abort when its platform plugin cannot start (an X display that is
// not there, say); the program asks first, and says which display it could
// not reach.
#pragma once

#include <QStringList>
#include <string>

namespace tessaro::app {

// Why the window cannot be shown on the display the Qt platform chosen by
// `arguments` (-platform, -display) and the environment would use, such as
// "cannot connect to the X display ':99'"; empty when it can, or when only
// starting the platform can tell (PlatformStartGuard then speaks).
std::string displayProblem(const QStringList& arguments);

// The lines the program ends with when there is no display: `why` in
// brackets, and where to play instead.
std::string noDisplayMessage(const std::string& why);

// While one lives, a fatal message from Qt (its platform failing to start)
// ends the program with `status` and one line naming the platform and the
// display, instead of an abort. Lives around the QApplication's construction.
class PlatformStartGuard {
public:
    PlatformStartGuard(const QStringList& arguments, int status);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

}  // namespace tessaro::app
