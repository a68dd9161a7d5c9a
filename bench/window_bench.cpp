// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// How long the windows take, offscreen: from loading the main window until
// its board is painted, from the run button's press until the rebuilt board
// of the next quarter is painted (message boxes answered at once), opening
// a window of a kind that is open already (it is unloaded and loaded
// afresh), and one resize of the decision window by the player (the layout
// scaled and every text fitted again).
//
//   QT_QPA_PLATFORM=offscreen build/bin/window_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <filesystem>

#include "model/gamefile.h"
#include "model/runcommand.h"
#include "store/gamelocation.h"
#include "ui/windows/form4.h"
#include "ui/windows/forms.h"
#include "ui/windows/gamewindows.h"
#include "ui/windows/mdiform1.h"
#include "ui/windows/messages.h"

namespace {

using namespace tessaro;

// Counts the paint events of the board.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

std::string gameFile(const char* name) {
    const auto path = (std::filesystem::current_path() / name).string();
    std::filesystem::remove(path);
    auto cs = store::connectionStringForFile(path);
    model::ensureGameDatabase(cs);
    return cs;
}

void waitForPaint(ui::MDIForm1* w, PaintWatch& watch) {
    watch.painted = false;
    w->picture1()->installEventFilter(&watch);
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BM_StartUntilBoardPainted(benchmark::State& state) {
    const auto cs = gameFile("bench-window.mdb");
    PaintWatch watch;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        ui::GameWindows::instance().start(cs);
        waitForPaint(ui::GameWindows::instance().mainWindow(), watch);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        ui::GameWindows::instance().stop();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_RunUntilRebuiltBoardPainted(benchmark::State& state) {
    const auto cs = gameFile("bench-window.mdb");
    ui::GameWindows::instance().start(cs);
    PaintWatch watch;
    int quarters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++quarters % 40 == 0) {
            ui::GameWindows::instance().stop();
            std::filesystem::remove(store::pathFromConnectionString(cs));
            model::ensureGameDatabase(cs);
            ui::GameWindows::instance().start(cs);
        }
        auto* form = qobject_cast<ui::Form4*>(ui::GameWindows::instance().openForm("Form4"));
        form->box(model::Box::Production)->setText("3000");
        form->box(model::Box::Hiring)->setText("10");
        form->box(model::Box::Password)->setText("WOTA");
        QApplication::processEvents();
        auto* button = form->findChild<QPushButton*>("Command1");
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        button->click();
        waitForPaint(ui::GameWindows::instance().mainWindow(), watch);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
    ui::GameWindows::instance().stop();
}

void BM_OpenAnOpenWindowAgain(benchmark::State& state) {
    const auto cs = gameFile("bench-window.mdb");
    ui::GameWindows::instance().start(cs);
    // Quarters played, so that the report has values.
    auto* form = qobject_cast<ui::Form4*>(ui::GameWindows::instance().openForm("Form4"));
    form->box(model::Box::Production)->setText("3000");
    form->box(model::Box::Hiring)->setText("10");
    form->box(model::Box::Password)->setText("WOTA");
    form->findChild<QPushButton*>("Command1")->click();
    ui::GameWindows::instance().openForm("Form7");
    QApplication::processEvents();
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        ui::GameWindows::instance().openForm("Form7");
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    ui::GameWindows::instance().stop();
}

void BM_ResizeTheDecisionWindow(benchmark::State& state) {
    const auto cs = gameFile("bench-window.mdb");
    ui::GameWindows::instance().start(cs);
    ui::Form* form = ui::GameWindows::instance().openForm("Form4");
    QMdiSubWindow* sub = form->subWindow();
    QApplication::processEvents();
    const QSize normal = sub->size();
    const QSize smaller = normal * 9 / 10;
    bool small = false;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        small = !small;
        sub->resize(small ? smaller : normal);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
    ui::GameWindows::instance().stop();
}

BENCHMARK(BM_StartUntilBoardPainted)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);
BENCHMARK(BM_RunUntilRebuiltBoardPainted)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);
BENCHMARK(BM_OpenAnOpenWindowAgain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ResizeTheDecisionWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setUpLook();
    ui::registerGameForms();
    ui::setMessageRecorder([](const model::MessageBox&) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(std::filesystem::current_path() / "bench-window.mdb");
    return 0;
}
