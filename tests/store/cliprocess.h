// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The built tessaro-cli run as a separate process, as a second player would
// run it, with a guard against a command that never ends.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace tessaro::testing {

struct CliResult {
    int status = -1;  // the exit status; -1 when it did not exit
    std::string out;  // standard output and error together
    bool timedOut = false;
    std::chrono::milliseconds took{0};

    // The output's lines.
    std::vector<std::string> lines() const;
};

// Who the process runs as: the test's own user, or a normal one (nobody,
// when the test runs as root), for whom file modes are not bypassed.
enum class RunAs { Tester, NormalUser };

// One tessaro-cli process, started at construction.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& args, RunAs who = RunAs::Tester);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Waits for the process to end; kills it once `timeout` has passed.
    CliResult wait(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::chrono::steady_clock::time_point m_start;
};

// Runs tessaro-cli once and waits for it.
CliResult cli(const std::vector<std::string>& args,
              std::chrono::milliseconds timeout = std::chrono::seconds(20),
              RunAs who = RunAs::Tester);

}  // namespace tessaro::testing
