// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief report: one PDF with the game's title and plan-quarter, the
// performance sheet and the plan report of the quarter played last, the past
// plan plots and game value plots of every quarter, and a page that explains
// the score. Charts are drawn as vectors and the fonts are embedded.
//
//   ui::HeadlessApplication app;  // only where no QApplication runs yet
//   const std::string error = ui::writeDebrief(cs, "debrief.pdf", ui::Paper::A4);
//   if (!error.empty()) tell(error);
#pragma once

#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QApplication;

namespace tessaro::ui {

enum class Paper { A4, Letter };

// "a4" or "letter" in any case; nothing for any other text.
std::optional<Paper> paperFromName(std::string_view name);

// Writes the debrief of the game in `connectionString` to `file`. The file
// appears whole or not at all: the PDF is written beside it under a
// temporary name and renamed. Returns the empty text when done, else one
// message that says what went wrong (the file is then left as it was).
// The game file is only read. Needs a running QApplication.
std::string writeDebrief(const std::string& connectionString, const std::string& file, Paper paper);

// The Qt application the writer needs, for a program that has no window:
// it runs on the offscreen platform unless QT_QPA_PLATFORM names another,
// so it works without a display and lays the charts out the same on every
// machine. Does nothing when the process already has an application.
class HeadlessApplication {
public:
    HeadlessApplication();
    ~HeadlessApplication();
    HeadlessApplication(const HeadlessApplication&) = delete;
    HeadlessApplication& operator=(const HeadlessApplication&) = delete;

private:
    int m_argc = 1;
    char* m_argv[2] = {};
    std::unique_ptr<QApplication> m_app;
    QtMessageHandler m_previousHandler = nullptr;
};

}  // namespace tessaro::ui
