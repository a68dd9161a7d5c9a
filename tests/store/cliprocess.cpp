// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "cliprocess.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace tessaro::testing {

std::vector<std::string> CliResult::lines() const {
    std::vector<std::string> out;
    std::istringstream in(this->out);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

namespace {

// The program as a normal user can run it: the build tree may lie in a
// folder only its owner can enter, so when the tests run as root the
// program is copied, once, into a folder of its own that everyone may enter.
std::string programFor(RunAs who) {
    if (who == RunAs::Tester || ::geteuid() != 0) return TESSARO_CLI;
    static const std::string copy = [] {
        namespace fs = std::filesystem;
        std::string folder = (fs::temp_directory_path() / "tessaro-cli-XXXXXX").string();
        if (!::mkdtemp(folder.data())) throw std::runtime_error("mkdtemp");
        const fs::path program = fs::path(folder) / "tessaro-cli";
        fs::copy_file(TESSARO_CLI, program);
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        static const std::string removeAtExit = folder;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return program.string();
    }();
    return copy;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, RunAs who)
    : m_start(std::chrono::steady_clock::now()) {
    const std::string program = programFor(who);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    cargv.reserve(argv.size() + 1);
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid < 0) throw std::runtime_error("fork");
    if (m_pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        if (who == RunAs::NormalUser && ::geteuid() == 0) {
            // nobody and nogroup, as on every Debian system.
            const gid_t nogroup = 65534;
            if (::setgroups(1, &nogroup) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(126);
        }
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    m_out = fds[0];
}

CliProcess::~CliProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) ::close(m_out);
}

CliResult CliProcess::wait(std::chrono::milliseconds timeout) {
    CliResult result;
    const auto deadline = m_start + timeout;
    bool open = true;
    while (open) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 100))) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::read(m_out, buf, sizeof buf);
        if (n > 0)
            result.out.append(buf, static_cast<std::size_t>(n));
        else
            open = false;
    }
    if (result.timedOut) ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_start);
    if (!result.timedOut && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

CliResult cli(const std::vector<std::string>& args, std::chrono::milliseconds timeout, RunAs who) {
    CliProcess process(args, who);
    return process.wait(timeout);
}

}  // namespace tessaro::testing
