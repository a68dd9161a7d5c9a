// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Comma-separated values that a spreadsheet opens as the text they hold.
#pragma once

#include <string>

namespace tessaro::cli {

// One field of a CSV line: quoted when it holds a comma, a quote, a carriage
// return or a line feed, quotes doubled inside (RFC 4180). A text that a
// spreadsheet would read as a formula (it starts with =, +, -, @, a tab or
// a carriage return) gets a ' in front, which the spreadsheet shows as
// text; a number such as -3.5 or 1E+20 is left as it is.
//   csvField("=HYPERLINK(\"x\")")  ->  "'=HYPERLINK(""x"")"  (quoted)
std::string csvField(const std::string& text);

}  // namespace tessaro::cli
