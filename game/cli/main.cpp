// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include <iostream>

#include "cli.h"
#include "store/gamelocation.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tessaro::cli::runCli(args, tessaro::store::programDirectory(), std::cout, std::cerr);
}
