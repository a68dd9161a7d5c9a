// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A class on a PostgreSQL server (bench/server-bench starts one and makes
// the class): a plan run beside one durable single-row commit on the same
// server, side by side in one run, and forty teams pressing run in the same
// second.
//
//   bench/server-bench        (runs this with the class it made)
//   build/bin/server_bench TEACHER_ADDRESS TEAM_PREFIX
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <algorithm>
#include <barrier>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "model/runcommand.h"
#include "store/connection.h"
#include "store/serverplace.h"

namespace {

using namespace tessaro;
using Clock = std::chrono::steady_clock;

std::string g_teacher;  // libpq address of the teacher's role
std::string g_prefix;   // the teams are PREFIX0 ... PREFIX40

// The decision window with its answers typed in.
class QuietPanel : public model::DecisionPanel {
public:
    std::string text(model::Box box) const override {
        return box == model::Box::Production ? "3000" : box == model::Box::Hiring ? "10" : "WOTA";
    }
    void setText(model::Box, const std::string&) override {}
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox&) override {}
    void rebuildBoard() override {}
};

std::string teamAddress(int i) {
    std::string address = g_teacher;
    const auto user = address.find("user=");
    address.resize(user);
    return address + "user=" + g_prefix + std::to_string(i);
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()))];
}

void reinitialise(const std::string& cs) {
    store::Connection db(cs);
    store::Transaction t(db);
    model::reinitialiseGame(db);
    t.commit();
}

// Each iteration: one durable single-row commit (its own connection kept
// open, as psql -c's would be), then one plan run, on the same server.
void BM_PlanRunBesideCommit(benchmark::State& state) {
    PGconn* one = PQconnectdb(g_teacher.c_str());
    PQclear(PQexec(one, "CREATE TABLE IF NOT EXISTS bench_commit (a double precision)"));
    const auto cs = store::connectionStringForServer(teamAddress(0));
    QuietPanel panel;
    std::vector<double> commits, runs;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        PQclear(PQexec(one, "INSERT INTO bench_commit VALUES (1.5)"));
        const auto t1 = Clock::now();
        model::RunCommand(cs).run(panel);
        const auto t2 = Clock::now();
        commits.push_back(ms(t1 - t0));
        runs.push_back(ms(t2 - t1));
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
        if (runs.size() % 40 == 0) reinitialise(cs);
    }
    PQfinish(one);
    state.counters["commit_ms"] = percentile(commits, 0.5);
    state.counters["run_ms"] = percentile(runs, 0.5);
    state.counters["ratio"] = percentile(runs, 0.5) / percentile(commits, 0.5);
}

// Forty teams, each on its own PC (thread, connection), press run in the
// same second, again and again: every run's time from press to commit.
void BM_FortyTeamsAtOnce(benchmark::State& state) {
    constexpr int kTeams = 40;
    std::vector<double> latencies;
    double seconds = 0;
    int failed = 0;
    for (auto _ : state) {
        std::vector<std::vector<double>> each(kTeams);
        std::vector<int> fails(kTeams, 0);
        std::barrier start(kTeams + 1);
        std::vector<std::thread> pcs;
        pcs.reserve(kTeams);
        for (int i = 0; i < kTeams; ++i)
            pcs.emplace_back([&, i] {
                const auto cs = store::connectionStringForServer(teamAddress(i + 1));
                QuietPanel panel;
                start.arrive_and_wait();
                const auto t0 = Clock::now();
                fails[i] += model::RunCommand(cs).run(panel) != model::RunOutcome::PlanRun;
                each[i].push_back(ms(Clock::now() - t0));
            });
        const auto t0 = Clock::now();
        start.arrive_and_wait();
        for (auto& pc : pcs) pc.join();
        const auto took = std::chrono::duration<double>(Clock::now() - t0).count();
        seconds += took;
        state.SetIterationTime(took);
        for (int i = 0; i < kTeams; ++i) {
            latencies.insert(latencies.end(), each[i].begin(), each[i].end());
            failed += fails[i];
        }
    }
    state.counters["p50_ms"] = percentile(latencies, 0.50);
    state.counters["p95_ms"] = percentile(latencies, 0.95);
    state.counters["p99_ms"] = percentile(latencies, 0.99);
    state.counters["runs_per_s"] = static_cast<double>(latencies.size()) / seconds;
    state.counters["failed"] = failed;
}

BENCHMARK(BM_PlanRunBesideCommit)->UseManualTime()->Iterations(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FortyTeamsAtOnce)->UseManualTime()->Iterations(25)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: server_bench TEACHER_ADDRESS TEAM_PREFIX (see bench/server-bench)\n");
        return 64;
    }
    g_teacher = argv[1];
    g_prefix = argv[2];
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
