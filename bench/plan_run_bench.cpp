// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// What a plan run costs on a file database, beside what one durable
// single-row SQLite commit costs on the same file system, for each journal
// mode. A run is one transaction (the decisions and the quarter together),
// waiting for the disk as often as the single-row commit does, so the commit
// is its floor; the 25 model steps are measured on their own too.
//
//   build/bin/plan_run_bench [--benchmark_repetitions=5] [directory]
// The directory (default: the current one) should be on the disk the game
// runs from, not a RAM file system.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "model/gamefile.h"
#include "model/module1.h"
#include "model/runcommand.h"
#include "model/simulation.h"
#include "store/connection.h"
#include "store/gamelocation.h"

namespace {

using namespace tessaro;

std::filesystem::path g_directory = std::filesystem::current_path();

const char* const kModes[] = {"DELETE", "TRUNCATE", "PERSIST", "WAL"};

// The runs are measured over games of a realistic length, re-initialised
// between them (bench/long_game_bench.cpp measures far longer games).
constexpr int kQuartersPerGame = 40;

// The decision window with its answers typed in; every box is answered at once.
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

std::string freshFile(const std::string& name) {
    auto path = (g_directory / name).string();
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::filesystem::remove(path + suffix);
    return path;
}

// One row inserted and committed per iteration, synchronous=FULL.
void BM_DurableCommit(benchmark::State& state) {
    const char* mode = kModes[state.range(0)];
    const auto path = freshFile("bench-commit.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, (std::string("PRAGMA journal_mode=") + mode).c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "CREATE TABLE t(a REAL)", nullptr, nullptr, nullptr);
    for (auto _ : state) sqlite3_exec(db, "INSERT INTO t VALUES(1.5)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    state.SetLabel(mode);
}

// The decision window's button on a file database: the decision update, the
// simulation and the accounting, all committed; connections opened and
// closed as the command does.
void BM_PlanRun(benchmark::State& state) {
    const char* mode = kModes[state.range(0)];
    store::setJournalMode(mode);
    const auto path = freshFile("bench-game.mdb");
    const auto cs = store::connectionStringForFile(path);
    model::ensureGameDatabase(cs);
    QuietPanel panel;
    int runs = 0;
    for (auto _ : state) {
        model::RunCommand(cs).run(panel);
        if (++runs % kQuartersPerGame == 0) {  // a long class game, then a new one
            state.PauseTiming();
            store::Connection db(cs);
            store::Transaction t(db);
            model::reinitialiseGame(db);
            t.commit();
            state.ResumeTiming();
        }
    }
    state.SetLabel(mode);
    store::setJournalMode("DELETE");
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The two side by side in one run: each iteration makes one durable commit
// and then one plan run on the same file system, so that both see the same
// disk at the same moment. Reports the medians and their ratio.
void BM_PlanRunBesideCommit(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const char* mode = kModes[state.range(0)];
    store::setJournalMode(mode);
    const auto commitPath = freshFile("bench-commit.db");
    sqlite3* one = nullptr;
    sqlite3_open(commitPath.c_str(), &one);
    sqlite3_exec(one, (std::string("PRAGMA journal_mode=") + mode).c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_exec(one, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(one, "CREATE TABLE t(a REAL)", nullptr, nullptr, nullptr);

    const auto cs = store::connectionStringForFile(freshFile("bench-game.mdb"));
    model::ensureGameDatabase(cs);
    QuietPanel panel;
    std::vector<double> commits, runs;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        sqlite3_exec(one, "INSERT INTO t VALUES(1.5)", nullptr, nullptr, nullptr);
        const auto t1 = Clock::now();
        model::RunCommand(cs).run(panel);
        const auto t2 = Clock::now();
        commits.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        runs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
        if (runs.size() % kQuartersPerGame == 0) {
            store::Connection db(cs);
            store::Transaction t(db);
            model::reinitialiseGame(db);
            t.commit();
        }
    }
    sqlite3_close(one);
    state.counters["commit_ms"] = median(commits);
    state.counters["run_ms"] = median(runs);
    state.counters["ratio"] = median(runs) / median(commits);
    state.SetLabel(mode);
    store::setJournalMode("DELETE");
}

// The 25 model steps of a quarter with their statement texts, no database.
void BM_SimulateQuarterInMemory(benchmark::State& state) {
    model::ModelTables tables;
    model::fillTables(tables);
    model::StartingRow start;
    start.planNumber = 1;
    start.productionOrders = 3000;
    start.traineesHiring = 10;
    auto& s = start.state;
    s.experiencedPeople = 100, s.traineePeople = 10, s.productQuality = 1, s.customerComplaints = 1;
    s.inventory = s.orderBacklog = 1000;
    s.productionStage1 = s.productionStage2 = s.productionRate = 1000;
    s.trainingStage1 = s.trainingStage2 = s.trainingCompletionRate = 2.84;
    s.quittingStage1 = s.quittingStage2 = s.quittingRate = 2.84;
    std::size_t bytes = 0;
    for (auto _ : state) {
        model::simulateQuarter(start, tables, [&](const std::string& t) { bytes += t.size(); });
    }
    benchmark::DoNotOptimize(bytes);
}

BENCHMARK(BM_DurableCommit)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlanRun)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlanRunBesideCommit)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Iterations(400)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateQuarterInMemory)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) g_directory = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : {"bench-commit.db", "bench-game.mdb"})
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            std::filesystem::remove(g_directory / (std::string(name) + suffix));
    return 0;
}
