// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// tessaro-cli --server URI class ...: the teacher's commands on a class.
#pragma once

#include <string>
#include <vector>

#include "clioutput.h"

namespace tessaro::cli {

struct ClassOptions {
    std::string passwords;  // --passwords FILE of 'class init'
    bool yes = false;       // --yes: 'class drop' asks nothing
};

// Runs `class SUBCOMMAND ARGS...` on the class the connection string names.
int runClassCommand(const std::string& connectionString, const std::vector<std::string>& operands,
                    const ClassOptions& options, const Streams& to);

}  // namespace tessaro::cli
