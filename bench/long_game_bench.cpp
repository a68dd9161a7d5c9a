// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What a plan run, the board's load and `tessaro-cli status` cost in games of
// 5, 1,000 and 30,000 quarters: the time in this process, and the peak
// memory of each in a process of its own.
//
//   build/bin/long_game_bench [--benchmark_filter=...] [directory]
//
// The games are made in the directory (default: the current one) by
// repeating a played quarter's rows; each run is taken back before the next
// so that the game keeps its length. Peak memory is the peak resident set
// (getrusage of a child process: this program started again with
// --memory-child, doing the one thing once), the median of five children.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "model/gameboard.h"
#include "model/gamefile.h"
#include "model/runcommand.h"
#include "model/takeback.h"
#include "store/gamelocation.h"

namespace {

using namespace tessaro;

std::filesystem::path g_directory = std::filesystem::current_path();

class QuietPanel : public model::DecisionPanel {
public:
    std::string text(model::Box box) const override {
        switch (box) {
            case model::Box::Production:
                return "3000";
            case model::Box::Hiring:
                return "10";
            case model::Box::Password:
                return "WOTA";
        }
        return {};
    }
    void setText(model::Box, const std::string&) override {}
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox&) override {}
    void rebuildBoard() override {}
};

std::string gamePath(int quarters) {
    return (g_directory / ("bench-long-" + std::to_string(quarters) + ".mdb")).string();
}

// A game standing at plan-quarter `quarters`: a new game played for one
// quarter, whose rows are then repeated up to that length.
std::string longGame(int quarters) {
    const auto path = gamePath(quarters);
    auto cs = store::connectionStringForFile(path);
    if (std::filesystem::exists(path)) return cs;
    model::ensureGameDatabase(cs);
    QuietPanel panel;
    model::RunCommand(cs).run(panel);
    const std::string last = std::to_string(quarters);
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < " + last +
        ") INSERT INTO PLIO SELECT i, PT, PTT, PFT, POQ, POC, PINV, POBL, PP1, PP2, PT1, PT2, "
        "PQ1, PQ2, PHR, PTCT, PQR, PPR, POR, POFR, 3000, 10, 3000, 10 FROM n, "
        "(SELECT * FROM PLIO WHERE PNPLPD = 2);"
        "UPDATE PLIO SET PORD=3000, PHRD=10, PRORD=3000, PRHRD=10 WHERE PNPLPD=2;"
        "UPDATE PLIO SET PORD=NULL, PHRD=NULL, PRORD=NULL, PRHRD=NULL WHERE PNPLPD=" +
        last +
        ";"
        "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        last +
        ") INSERT INTO PLDI SELECT i, ZOQ, ZOC, ZT, ZTT, ZINV, ZOBL, ZHR, ZQR, ZPR, ZOR, ZOFR, "
        "ZTE, ZTC, ZPC, ZOUC, ZINVC, ZINSC, ZHC, ZQC, ZSC, ZTTC, ZVG, ZTVG, ZCVG FROM n, "
        "(SELECT * FROM PLDI WHERE ZNPLPD = 2)";
    if (quarters > 2) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    return cs;
}

void BM_Run(benchmark::State& state) {
    const auto cs = longGame(static_cast<int>(state.range(0)));
    QuietPanel panel;
    for (auto _ : state) {
        model::RunCommand(cs).run(panel);
        state.PauseTiming();
        model::takeBackLastQuarter(cs, "PELIX");
        state.ResumeTiming();
    }
}

void BM_LoadGameBoard(benchmark::State& state) {
    const auto cs = longGame(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(model::loadGameBoard(cs));
}

void BM_Status(benchmark::State& state) {
    const auto path = store::pathFromConnectionString(longGame(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        std::ostringstream out, err;
        cli::runCli({"--database", path, "status"}, g_directory.string(), out, err);
        benchmark::DoNotOptimize(out);
    }
}

// The one thing a child process does before it exits.
int memoryChild(const std::string& what, const std::string& path) {
    const auto cs = store::connectionStringForFile(path);
    if (what == "run") {
        QuietPanel panel;
        model::RunCommand(cs).run(panel);
    } else if (what == "board") {
        model::loadGameBoard(cs);
    } else if (what == "status") {
        std::ostringstream out, err;
        cli::runCli({"--database", path, "status"}, g_directory.string(), out, err);
    }
    return 0;
}

// Peak resident set of a child process doing `what` once, in KiB.
long peakOfChild(const std::string& what, const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/proc/self/exe", "long_game_bench", "--memory-child", what.c_str(), path.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

void BM_PeakMemory(benchmark::State& state) {
    static const char* const kinds[] = {"run", "board", "status"};
    const std::string what = kinds[state.range(0)];
    const int quarters = static_cast<int>(state.range(1));
    const auto path = store::pathFromConnectionString(longGame(quarters));
    std::vector<long> peaks;
    for (auto _ : state) {
        for (int i = 0; i < 5; ++i) {
            peaks.push_back(peakOfChild(what, path));
            if (what == "run")
                model::takeBackLastQuarter(store::connectionStringForFile(path), "PELIX");
        }
    }
    std::sort(peaks.begin(), peaks.end());
    state.counters["peak_rss_KiB"] = static_cast<double>(peaks[peaks.size() / 2]);
    state.SetLabel(what);
}

BENCHMARK(BM_Run)->Arg(5)->Arg(1000)->Arg(30000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadGameBoard)->Arg(5)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Status)->Arg(5)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeakMemory)
    ->ArgsProduct({{0, 1, 2}, {5, 1000, 30000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--memory-child") == 0)
        return memoryChild(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    if (argc > 1) g_directory = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int quarters : {5, 1000, 30000})
        for (const char* suffix : {"", "-journal"})
            std::filesystem::remove(gamePath(quarters) + suffix);
    return 0;
}
