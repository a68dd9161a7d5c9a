// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The debrief PDF, drawn by the game window program.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cli.h"
#include "clioutput.h"
#include "store/asciitext.h"
#include "store/gamelocation.h"
#include "store/serverplace.h"

extern char** environ;

namespace tessaro::cli {
namespace {

// The debrief is drawn by the game window program, tessaro, which lies
// beside this one: tessaro-cli itself stays free of the window toolkit and
// starts in a few milliseconds. The program's output comes back as this
// command's own.
std::string windowProgram() {
    if (const char* override = std::getenv("TESSARO_WINDOW_PROGRAM"); override && *override)
        return override;
    return (std::filesystem::path(store::programDirectory()) / "tessaro").string();
}

// Runs `argv` and hands its standard output and error to `to`; returns its
// exit status, or -1 (with errno) when it could not be started.
int runAndForward(const std::vector<std::string>& argv, const Streams& to) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return -1;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        errno = spawned;
        return -1;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::ostream* sinks[2] = {&to.out, &to.err};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->write(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kDatabaseFailed;
}

}  // namespace

int writeDebrief(const std::string& cs, const std::string& file,
                 const std::optional<std::string>& paperName, const Streams& to) {
    const auto server = store::serverPlace(cs);
    std::vector<std::string> argv = {windowProgram(), server ? "--server" : "--database",
                                     server ? server->address : store::pathFromConnectionString(cs),
                                     "--debrief", file};
    if (paperName) {
        argv.push_back("--paper");
        argv.push_back(store::lowerAscii(*paperName));
    }
    const int status = runAndForward(argv, to);
    if (status >= 0) return status;
    printBox(to, {"This tessaro-cli cannot write PDFs: the debrief is drawn by the game window "
                  "program, " +
                      argv[0] + ", which could not be started (" + std::strerror(errno) +
                      "). It comes with a build that has the game "
                      "windows (Qt).",
                  "Debrief Report", model::Icon::Critical});
    return kDatabaseFailed;
}

}  // namespace tessaro::cli
