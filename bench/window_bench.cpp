// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// How long the windows take, offscreen: from loading the main window until
// its board is painted, and from the run button's press until the rebuilt
// board of the next quarter is painted (message boxes answered at once).
//
//   QT_QPA_PLATFORM=offscreen build/bin/window_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "model/gamefile.h"
#include "model/runcommand.h"
#include "store/gamelocation.h"
#include "ui/form4.h"
#include "ui/forms.h"
#include "ui/gamewindows.h"
#include "ui/mdiform1.h"
#include "ui/messages.h"

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
    const auto cs = store::connectionStringForFile(path);
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

BENCHMARK(BM_StartUntilBoardPainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_RunUntilRebuiltBoardPainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

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
