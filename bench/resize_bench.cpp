// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// What one layout pass of the resize control costs on shown forms of 100,
// 1,000 and 5,000 controls, beside what Qt's own relayout of the same widgets
// in a QGridLayout costs, measured in the same iterations of one run.
//
// Every form holds the same mix of named widgets (push buttons, labels, line
// edits, check boxes, in turn) in a grid pattern. The resize control's form
// places them at absolute positions, taken from where the QGridLayout of the
// Qt form puts them at the design size, so both forms start out alike. Each
// iteration brings the shown top-level windows to the other of two client
// sizes, the design size and 150 % of it, so every pass moves and resizes
// every control; then, timed one after the other (order alternating):
//   - the resize control's pass, Morvane::ResizeControls(), as the control
//     runs it from its form's resize handler (its first, registering pass
//     ran before the timing);
//   - Qt's relayout: the widget that holds the grid is resized and the grid
//     activated; with fonts on, every widget's font is first scaled the way
//     the control scales it (smaller of the two percents);
//   - the same Qt relayout with the form's updates suspended around it;
//   - the floor: a third form of the same widgets at absolute places, each
//     moved by one bare setGeometry() call to where the pass puts it, after
//     the same repaint mark the pass makes: what Qt itself costs for moving
//     the widgets, whoever computes the places.
// After the passes (untimed) the event loop paints the windows, so every
// pass starts from a painted window as it would in a program. The CPU column
// counts that painting too; read the time column and the counters.
// BM_ResizeFormEngine times the layout engine alone, ResizeFunctions::
// ResizeForm with the working copies set as the control sets them.
//
// Moving shown widgets one by one makes Qt add every vacated and every new
// rectangle to the window's dirty region, a region that grows with each move,
// so the cost per widget grows with their number. BM_MoveEachShown shows that
// cost and its removal by suspended updates on plain setGeometry() calls.
// The control's pass keeps updates on and instead marks the whole client for
// repainting once before it moves anything, so each move falls inside the
// marked region. The pass benchmarks count, in one more untimed pass, the
// moves and resizes of the controls and how many of them were made with
// updates enabled (moves_updates_on), and check that the pass moved them
// all; the per-control figures across the sizes show whether the cost per
// move stays flat.
//
// The counters are medians of the iterations: pass_ms and pass_us_per_control
// (the control), qt_ms (Qt's relayout), qt_susp_ms (the same with suspended
// updates), floor_ms and the ratios; the time column is the control's pass.
// A summary of the goals follows the table.
//
//   QT_QPA_PLATFORM=offscreen build/bin/resize_bench [--benchmark_repetitions=3]
//
// Instruction counts of the pass and of the floor, the same on any machine
// however loaded: (inclusive Ir of timedPass and of placeBare, each called
// once per iteration)
//   RESIZE_BENCH_ITERATIONS=4 QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind
//       --toggle-collect='*timedPass*' --toggle-collect='*placeBare*'
//       build/bin/resize_bench --benchmark_filter='BesideQtGrid/controls:1000/fonts:0/'
//   callgrind_annotate --inclusive=yes callgrind.out.PID | grep -E 'timedPass|placeBare'
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "latebinding.h"
#include "morvane/messagebox.h"
#include "morvane/morvane.h"
#include "morvane/screen.h"
#include "resizefunctions.h"

namespace {

using MorvaneCtl::Morvane;
namespace ResizeFunctions = MorvaneCtl::ResizeFunctions;
namespace LateBound = MorvaneCtl::LateBound;

constexpr int kLargePercent = 150;

// Medians of every benchmark run, for the summary of the goals.
std::map<std::string, double> g_results;

std::string key(const char* what, int controls, bool fonts) {
    return std::string(what) + "/" + std::to_string(controls) + (fonts ? "/fonts" : "/nofonts");
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Paints what the last passes left dirty and delivers the events they posted.
void settle() {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
}

// Control i of a form: the mix cycles through four kinds, each named as a
// form designer names them.
QWidget* makeControl(int i, QWidget* parent) {
    const QString n = QString::number(i);
    QWidget* w = nullptr;
    switch (i % 4) {
        case 0:
            w = new QPushButton(QStringLiteral("Button ") + n, parent);
            w->setObjectName("Command" + n);
            break;
        case 1:
            w = new QLabel(QStringLiteral("Label ") + n, parent);
            w->setObjectName("Label" + n);
            break;
        case 2:
            w = new QLineEdit(QStringLiteral("Text ") + n, parent);
            w->setObjectName("Text" + n);
            break;
        default:
            w = new QCheckBox(QStringLiteral("Option ") + n, parent);
            w->setObjectName("Check" + n);
            break;
    }
    return w;
}

int columnsFor(int controls) {
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(controls))));
}

QSize scaled(QSize s, int percent) {
    return {s.width() * percent / 100, s.height() * percent / 100};
}
QRect scaledRect(const QRect& r, int percent) {
    return {r.x() * percent / 100, r.y() * percent / 100, r.width() * percent / 100,
            r.height() * percent / 100};
}

// A top-level window whose widgets a QGridLayout places. The grid sits on an
// inner widget at (0, 0) so that a relayout is a child resize (synchronous,
// like the control's pass) and not a move of the window itself.
struct GridForm {
    std::unique_ptr<QWidget> window;
    QWidget* client = nullptr;
    QGridLayout* grid = nullptr;
    std::vector<QWidget*> controls;
    QFont designFont;

    GridForm(int count, const QString& name) : window(std::make_unique<QWidget>()) {
        window->setObjectName(name);
        client = new QWidget(window.get());
        grid = new QGridLayout(client);
        grid->setContentsMargins(8, 8, 8, 8);
        grid->setSpacing(4);
        const int columns = columnsFor(count);
        for (int i = 0; i < count; ++i) {
            controls.push_back(makeControl(i, client));
            grid->addWidget(controls.back(), i / columns, i % columns);
        }
        designFont = controls.front()->font();
        const QSize design = grid->sizeHint();
        window->resize(design);
        client->resize(design);
        window->show();
        grid->activate();
        settle();
    }

    // Qt's relayout at client size s, fonts first scaled by percent when asked.
    void relayout(QSize s, bool fonts, int percent) {
        if (fonts) {
            QFont f = designFont;
            f.setPointSizeF(designFont.pointSizeF() * percent / 100.0);
            for (QWidget* w : controls) w->setFont(f);
        }
        client->resize(s);
        grid->activate();
    }
};

// A top-level form with the same widgets at absolute positions, copied from
// where the grid put them at the design size.
struct AbsoluteForm {
    std::unique_ptr<QWidget> form;
    std::vector<QWidget*> controls;
    std::vector<QRect> design;

    AbsoluteForm(const GridForm& model, const QString& name) : form(std::make_unique<QWidget>()) {
        form->setObjectName(name);
        for (std::size_t i = 0; i < model.controls.size(); ++i) {
            controls.push_back(makeControl(static_cast<int>(i), form.get()));
            design.push_back(model.controls[i]->geometry());
            controls.back()->setGeometry(design.back());
        }
        form->resize(model.window->size());
    }
};

// Counts the moves and resizes of the given controls, and those of them made
// while the control's updates were enabled, i.e. not suspended.
class MoveWatch : public QObject {
public:
    explicit MoveWatch(const std::vector<QWidget*>& controls)
        : m_controls(controls.begin(), controls.end()) {}
    int moves = 0;
    int unsuspended = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && m_controls.contains(o)) {
            auto* w = static_cast<QWidget*>(o);
            ++moves;
            if (w->isVisible() && w->updatesEnabled()) ++unsuspended;
        }
        return false;
    }

private:
    QSet<QObject*> m_controls;
};

// A resize control on the form, loaded as for a form built in code: placed,
// handed the design screen (this one, so the form keeps its size when it
// loads), design sizes captured, loading finished, then the form shown. It
// never resizes on its own (the benchmark calls ResizeControls), and the
// first, registering pass is run here, outside any timing.
Morvane* attachResizer(QWidget* form, bool fonts) {
    const MorvaneCtl::ScreenMetrics screen = MorvaneCtl::currentScreen();
    auto* resizer = new Morvane(form);
    resizer->setObjectName("Morvane1");
    // Handed over as uic hands over a form's saved values.
    resizer->setProperty("ScreenWidthDT",
                         static_cast<int>(std::lround(screen.widthTwips / screen.twipsPerPixelX)));
    resizer->setProperty("ScreenHeightDT",
                         static_cast<int>(std::lround(screen.heightTwips / screen.twipsPerPixelY)));
    resizer->setResizeFonts(fonts);
    resizer->setAutoResizeControls(false);
    resizer->setAutoResizeOnLoad(false);
    resizer->CaptureDesignSize();
    resizer->finishLoading();
    form->show();
    settle();
    resizer->ResizeControls();
    settle();
    return resizer;
}

// The floor: every widget moved by one bare setGeometry() call to its place
// at percent, after the same repaint mark the pass makes. A function of its
// own, so that callgrind can count its instructions apart
// (--toggle-collect='*placeBare*').
[[gnu::noinline]] void placeBare(QWidget* form, QWidget* mark,
                                 const std::vector<QWidget*>& controls,
                                 const std::vector<QRect>& design, int percent) {
    mark->setGeometry(form->rect());
    for (std::size_t i = 0; i < controls.size(); ++i)
        controls[i]->setGeometry(scaledRect(design[i], percent));
    mark->setGeometry(0, 0, 0, 0);
}

// The control's pass as a resize of its form runs it; a function of its
// own for callgrind too (--toggle-collect='*timedPass*').
[[gnu::noinline]] void timedPass(Morvane* resizer) {
    resizer->ResizeControls();
}

// One iteration count per size: about the same time per benchmark. The
// environment can give one count for all (RESIZE_BENCH_ITERATIONS), as a
// run under callgrind wants a few iterations only: instruction counts do not
// vary from one iteration to the next.
int iterationsFor(int controls) {
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("RESIZE_BENCH_ITERATIONS", &ok);
    if (ok && given > 0) return given;
    return controls <= 100 ? 300 : controls <= 1000 ? 100 : 30;
}

// The headline: the control's pass beside Qt's relayout, in one run.
void BM_ResizeControlsBesideQtGrid(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool fonts = state.range(1) != 0;
    const QString suffix = QString::number(count);

    GridForm qt(count, "QtGrid" + suffix);
    GridForm qtSuspended(count, "QtGridSuspended" + suffix);
    AbsoluteForm absolute(qt, "Form" + suffix);
    Morvane* resizer = attachResizer(absolute.form.get(), fonts);
    QWidget* form = absolute.form.get();
    // The floor: the same widgets moved by bare setGeometry calls to where
    // the pass puts them, after the same repaint mark the pass makes.
    AbsoluteForm bare(qt, "BareForm" + suffix);
    auto* mark = new QWidget(bare.form.get());
    mark->setObjectName("qt_bench_repaint_cover");
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->setGeometry(0, 0, 0, 0);
    mark->lower();
    bare.form->show();
    settle();

    const QSize design = qt.window->size();
    const QSize large = scaled(design, kLargePercent);
    // Loading brings the form to its design outer size; the frame it gets
    // when shown can leave its client a little smaller. Every iteration sets
    // the client size anyway; the pass scales by the client against design.
    form->resize(design);
    settle();

    std::vector<double> pass, relayout, relayoutSuspended, floor;
    bool toLarge = true;
    for (auto _ : state) {
        const QSize s = toLarge ? large : design;
        const int percent = toLarge ? kLargePercent : 100;
        // The windows get their new size first, untimed; the passes follow
        // at once, before anything is painted, as a resize handler runs them.
        form->resize(s);
        qt.window->resize(s);
        qtSuspended.window->resize(s);
        bare.form->resize(s);

        auto timeControl = [&] {
            QElapsedTimer t;
            t.start();
            timedPass(resizer);
            pass.push_back(msSince(t));
        };
        auto timeQt = [&] {
            QElapsedTimer t;
            t.start();
            qt.relayout(s, fonts, percent);
            relayout.push_back(msSince(t));
            t.start();
            qtSuspended.window->setUpdatesEnabled(false);
            qtSuspended.relayout(s, fonts, percent);
            qtSuspended.window->setUpdatesEnabled(true);
            relayoutSuspended.push_back(msSince(t));
            t.start();
            placeBare(bare.form.get(), mark, bare.controls, bare.design, percent);
            floor.push_back(msSince(t));
        };
        if (pass.size() % 2 == 0) {
            timeControl();
            timeQt();
        } else {
            timeQt();
            timeControl();
        }
        state.SetIterationTime(pass.back() / 1e3);
        settle();
        toLarge = !toLarge;
    }

    if (state.error_occurred()) return;

    // One more pass, untimed, watching for controls moved with updates on,
    // and checking that the last control went where the percent puts it.
    MoveWatch watch(absolute.controls);
    form->resize(toLarge ? large : design);
    qApp->installEventFilter(&watch);
    resizer->ResizeControls();
    qApp->removeEventFilter(&watch);
    const QRect placed = absolute.controls.back()->geometry();
    const QRect wanted = scaledRect(absolute.design.back(), toLarge ? kLargePercent : 100);
    const QPoint error = placed.bottomRight() - wanted.bottomRight();

    const double passMs = median(pass), qtMs = median(relayout),
                 qtSuspMs = median(relayoutSuspended);
    const double floorMs = median(floor);
    state.counters["pass_ms"] = passMs;
    state.counters["pass_us_per_control"] = passMs * 1e3 / count;
    state.counters["qt_ms"] = qtMs;
    state.counters["qt_us_per_control"] = qtMs * 1e3 / count;
    state.counters["qt_susp_ms"] = qtSuspMs;
    state.counters["ratio_qt"] = passMs / qtMs;
    state.counters["ratio_qt_susp"] = passMs / qtSuspMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio_floor"] = passMs / floorMs;
    state.counters["moves"] = watch.moves;
    state.counters["moves_updates_on"] = watch.unsuspended;
    state.SetLabel(fonts ? "fonts on" : "fonts off");
    // A pass that moves nothing would be cheap for the wrong reason.
    if (watch.moves < count) state.SkipWithError("the pass did not move every control");
    if ((placed.topLeft() - wanted.topLeft()).manhattanLength() > 2 || error.manhattanLength() > 2)
        state.SkipWithError("the pass put the last control somewhere else than its scaled place");

    g_results[key("pass", count, fonts)] = passMs;
    g_results[key("qt", count, fonts)] = qtMs;
    g_results[key("qtsusp", count, fonts)] = qtSuspMs;
    g_results[key("floor", count, fonts)] = floorMs;
    g_results[key("unsuspended", count, fonts)] = watch.unsuspended;
}

// The layout engine alone, driven as the control drives it: working copies
// set, then ResizeFunctions::ResizeForm on a form without a control.
void BM_ResizeFormEngine(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool fonts = state.range(1) != 0;
    const QString suffix = QString::number(count);

    GridForm qt(count, "EngineModel" + suffix);
    qt.window->hide();
    // The same form name as in the control's benchmark: a second instance of
    // a form shares its records, so the tables do not grow between the two.
    AbsoluteForm absolute(qt, "Form" + suffix);
    QWidget* form = absolute.form.get();
    form->show();
    settle();

    ResizeFunctions::WorkingCopies copies;
    copies.resizeFonts = fonts;
    copies.formWidthDT = LateBound::getLong(form, "Width").value_or(0);
    copies.formHeightDT = LateBound::getLong(form, "Height").value_or(0);
    copies.formScaleWidthDT = LateBound::getLong(form, "ScaleWidth").value_or(0);
    copies.formScaleHeightDT = LateBound::getLong(form, "ScaleHeight").value_or(0);
    ResizeFunctions::workingCopies() = copies;
    ResizeFunctions::ResizeForm(form);  // registers the form and its controls
    settle();

    const QSize design = form->size();
    const QSize large = scaled(design, kLargePercent);
    std::vector<double> pass;
    bool toLarge = true;
    for (auto _ : state) {
        form->resize(toLarge ? large : design);
        QElapsedTimer t;
        t.start();
        ResizeFunctions::workingCopies() = copies;
        ResizeFunctions::ResizeForm(form);
        pass.push_back(msSince(t));
        state.SetIterationTime(pass.back() / 1e3);
        settle();
        toLarge = !toLarge;
    }
    const double passMs = median(pass);
    state.counters["pass_ms"] = passMs;
    state.counters["pass_us_per_control"] = passMs * 1e3 / count;
    state.SetLabel(fonts ? "fonts on" : "fonts off");
    g_results[key("engine", count, fonts)] = passMs;
}

// Plain Qt, no resize control: every control of a shown form moved and
// resized by one setGeometry call each, with the form's updates enabled
// (suspended = 0), suspended around the loop (suspended = 1), or enabled
// with the whole form first marked for repainting the way the control's
// pass marks it, by an empty lowest child grown over it (suspended = 2):
// the floor of any pass that places every control itself.
void BM_MoveEachShown(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool suspend = state.range(1) == 1;
    const bool cover = state.range(1) == 2;
    GridForm qt(count, "MoveModel");
    qt.window->hide();
    AbsoluteForm absolute(qt, "MoveForm");
    QWidget* form = absolute.form.get();
    const std::vector<QRect>& design = absolute.design;
    form->resize(scaled(form->size(), kLargePercent));
    QWidget* mark = nullptr;
    if (cover) {
        mark = new QWidget(form);
        mark->setObjectName("qt_bench_repaint_cover");
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->setGeometry(0, 0, 0, 0);
        mark->lower();
    }
    form->show();
    settle();

    std::vector<double> pass;
    bool toLarge = true;
    for (auto _ : state) {
        const int p = toLarge ? kLargePercent : 100;
        QElapsedTimer t;
        t.start();
        if (suspend) form->setUpdatesEnabled(false);
        if (mark) mark->setGeometry(form->rect());
        for (std::size_t i = 0; i < design.size(); ++i) {
            absolute.controls[i]->setGeometry(scaledRect(design[i], p));
        }
        if (mark) mark->setGeometry(0, 0, 0, 0);
        if (suspend) form->setUpdatesEnabled(true);
        pass.push_back(msSince(t));
        state.SetIterationTime(pass.back() / 1e3);
        settle();
        toLarge = !toLarge;
    }
    const double ms = median(pass);
    state.counters["pass_ms"] = ms;
    state.counters["us_per_control"] = ms * 1e3 / count;
    state.SetLabel(suspend ? "updates suspended" : cover ? "form marked first" : "updates on");
    g_results[key(suspend ? "move_susp" : cover ? "move_cover" : "move", count, false)] = ms;
}

// A number as text, the same in every locale.
QString num(double v, int decimals = 2) {
    return QString::number(v, 'f', decimals);
}

// The goals, from the medians of this run, against the floor (the bare
// moves and resizes of the same widgets, what Qt itself costs for moving
// them): with fonts off a pass costs at most 1.2 times the floor, and grows
// at most 5.0 times from 1,000 to 5,000 controls; with fonts on at most 2
// times the floor. Qt's own relayout of the same widgets in a QGridLayout is
// shown beside them.
void printGoals() {
    auto has = [](const std::string& k) { return g_results.count(k) != 0; };
    auto at = [](const char* what, int n, bool fonts) { return g_results[key(what, n, fonts)]; };
    auto verdict = [](bool met) { return met ? QStringLiteral("met") : QStringLiteral("MISSED"); };
    QString out = QStringLiteral("\nGoals (medians of this run)\n");
    for (bool fonts : {false, true}) {
        const QString f = fonts ? QStringLiteral("fonts on ") : QStringLiteral("fonts off");
        const double limit = fonts ? 2.0 : 1.2;
        for (int n : {100, 1000, 5000}) {
            if (!has(key("pass", n, fonts))) continue;
            const double r = at("pass", n, fonts) / at("floor", n, fonts);
            out += QStringLiteral(
                       "  %1  %2 controls: pass %3 ms, floor %4 ms: %5 x (goal <= %6) %7;"
                       " Qt relayout %8 ms (pass %9 x)\n")
                       .arg(f, QString::number(n).rightJustified(5), num(at("pass", n, fonts), 3),
                            num(at("floor", n, fonts), 3), num(r), num(limit, 1),
                            verdict(r <= limit), num(at("qt", n, fonts), 3))
                       .arg(num(at("pass", n, fonts) / at("qt", n, fonts)));
        }
        if (has(key("pass", 1000, fonts)) && has(key("pass", 5000, fonts))) {
            const double g = at("pass", 5000, fonts) / at("pass", 1000, fonts);
            const double fg = at("floor", 5000, fonts) / at("floor", 1000, fonts);
            const double qg = at("qt", 5000, fonts) / at("qt", 1000, fonts);
            out +=
                QStringLiteral(
                    "  %1  growth 1,000 -> 5,000 controls: pass %2 x, floor %3 x, Qt relayout "
                    "%4 x%5\n")
                    .arg(f, num(g), num(fg), num(qg),
                         fonts ? QString() : QStringLiteral(" (goal <= 5.0) ") + verdict(g <= 5.0));
        }
    }
    std::fputs(out.toUtf8().constData(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // No dialog may wait for a person during a run.
    MorvaneCtl::setMessageBoxHook([](QMessageBox::Icon, const QString&, const QString&,
                                     QMessageBox::StandardButtons) { return QMessageBox::Yes; });
    benchmark::Initialize(&argc, argv);
    // Registered here rather than with BENCHMARK() so that every size gets
    // its own iteration count: the forms are built once per benchmark run.
    const std::pair<const char*, void (*)(benchmark::State&)> benchmarks[] = {
        {"BM_ResizeControlsBesideQtGrid", BM_ResizeControlsBesideQtGrid},
        {"BM_ResizeFormEngine", BM_ResizeFormEngine},
        {"BM_MoveEachShown", BM_MoveEachShown},
    };
    for (const auto& [name, function] : benchmarks) {
        const bool moves = function == BM_MoveEachShown;
        for (int on : moves ? std::vector<int>{0, 1, 2} : std::vector<int>{0, 1})
            for (int n : {100, 1000, 5000})
                benchmark::RegisterBenchmark(name, function)
                    ->Args({n, on})
                    ->ArgNames({"controls", moves ? "suspended" : "fonts"})
                    ->Iterations(iterationsFor(n))
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printGoals();
    return 0;
}
