// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The main window's "Debrief Report (PDF)..." command: asks where the debrief
// of the game goes and on which paper, and writes it there.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace tessaro::ui {

class CommonDialog;

inline constexpr const char* kPdfFilter = "PDF documents (*.pdf)|*.pdf";
inline constexpr const char* kPdfExt = "pdf";
inline constexpr const char* kDebriefTitle = "Debrief Report";
// The paper options of the save dialog, in the order it offers them.
inline constexpr const char* kPaperCaption = "&Paper:";
inline constexpr const char* kPaperA4 = "A4";
inline constexpr const char* kPaperLetter = "Letter";

// Shows the save dialog (PDF documents, A4 or Letter, A4 first) and writes
// the debrief of the game in `connectionString` to the file chosen. Cancel
// writes nothing and says nothing; a failure shows one critical box titled
// "Debrief Report" with what went wrong; success shows one box that names
// the file. No window is opened or closed.
void saveDebriefReport(QWidget* window, CommonDialog& dialog, const std::string& connectionString);

}  // namespace tessaro::ui
