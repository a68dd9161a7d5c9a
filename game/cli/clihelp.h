// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The texts tessaro-cli --help and COMMAND --help print.
#pragma once

#include <map>
#include <string>

namespace tessaro::cli {

extern const char* const kUsageText;
const std::map<std::string, std::string>& commandHelp();

}  // namespace tessaro::cli
