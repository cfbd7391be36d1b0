// The continuous loop window driven headless, as the user drives it: Start,
// then the event loop runs until the loop ends or Stop is clicked.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedInteraction.h"
#include "TableRows.h"
#include "WorksheetFiles.h"
#include "charts/TrajectoryPlot.h"
#include "engine/Trajectory.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormTrajectory.h"
#include "ui/FormulaEditor.h"
#include "ui/StartUp.h"
#include "ui/TFormCalculator.h"

namespace quantaro::bench {
namespace {

// The desktop program with its loop window, in a temporary start directory.
class LoopBench {
  public:
    LoopBench() : program_(interaction_, start_.path()) { program_.show(); }

    TFormCalculator& main() { return program_.mainWindow(); }
    TFormLoopSelect& loop() { return program_.loopWindow(); }
    std::size_t boxes() const { return interaction_.boxes.size(); }

    template <typename T>
    T* child(const char* name) {
        return loop().findChild<T*>(QLatin1String(name));
    }

    void setFormula(const QString& text) { main().formulaEditor().setFormulaText(text); }
    void setVariable(int row, const char* name, const char* value) {
        program_.session().setCell(Document::Variables, NameColumn, row, name);
        program_.session().setCell(Document::Variables, ValueColumn, row, value);
    }
    // The formula and tables of an example; the angle unit stays as it is.
    bool loadExample(const char* name) {
        Worksheet sheet;
        const QString base = QStringLiteral(QUANTARO_EXAMPLES_DIR "/") + QLatin1String(name);
        if (!testing::LoadWorksheetFiles(sheet, base).empty()) return false;
        setFormula(QString::fromStdString(sheet.formula()));
        program_.session().openTable(Document::Constants, sheet.constants);
        program_.session().openTable(Document::Variables, sheet.variables);
        return true;
    }

    // Ticks or clears every variable of the loop window's record list, as
    // shown once the window has taken the table's names.
    void setRecording(bool on) {
        loop().hide();
        loop().show();
        auto* list = child<QListWidget>("ListRecord");
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    void setLoops(qint64 loops) { child<QLineEdit>("EditLoops")->setText(QString::number(loops)); }
    void click(const char* button) { child<QPushButton>(button)->click(); }

    void runUntilIdle() {
        while (!loop().loopStopped()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

  private:
    QTemporaryDir start_;
    testing::ScriptedInteraction interaction_;  // the loops here show no box
    DesktopProgram program_;
};

// Passes per second of a whole loop started with the Start button, and how
// often the progress display was refreshed while it ran.
void RunWholeLoop(benchmark::State& state, LoopBench& bench, qint64 loops) {
    qint64 passes = 0;
    qint64 refreshes = 0;
    double seconds = 0;
    QObject::connect(bench.child<QLineEdit>("EditCompleteLoops"), &QLineEdit::textChanged,
                     [&refreshes] { ++refreshes; });
    for (auto _ : state) {
        bench.setLoops(loops);
        QElapsedTimer clock;
        clock.start();
        bench.click("ButtonStart");
        bench.runUntilIdle();
        seconds += clock.nsecsElapsed() / 1e9;
        passes += loops;
    }
    if (bench.boxes() != 0) state.SkipWithError("the loop showed a box");
    state.counters["passes_per_s"] = passes / seconds;
    state.counters["refreshes_per_s"] = refreshes / seconds;
}

// Each whole-loop benchmark runs with the loop window recording nothing, then
// recording every named variable.
void WithRecordingOffAndOn(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("recording")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
}

void BM_LoopWindow_OneEquation(benchmark::State& state) {
    LoopBench bench;
    bench.setVariable(1, "X", "0");
    bench.setFormula(QStringLiteral("X + 1 = X"));
    bench.setRecording(state.range(0) != 0);
    RunWholeLoop(state, bench, 1'000'000);
}
BENCHMARK(BM_LoopWindow_OneEquation)->Apply(WithRecordingOffAndOn);

void BM_LoopWindow_IterationExample(benchmark::State& state) {
    LoopBench bench;
    if (!bench.loadExample("iteration")) {
        state.SkipWithError("the iteration example could not be read");
        return;
    }
    bench.setRecording(state.range(0) != 0);
    RunWholeLoop(state, bench, 100'000);
}
BENCHMARK(BM_LoopWindow_IterationExample)->Apply(WithRecordingOffAndOn);

// How long a click on Stop waits for a running loop to hand back control:
// the time between the moment a timer is due and the moment its handler
// clicks Stop, with the loop running flat out.
void BM_LoopWindow_StopLatency(benchmark::State& state) {
    LoopBench bench;
    bench.setVariable(1, "X", "0");
    bench.setFormula(QStringLiteral("X + 1 = X"));
    double worstMs = 0;
    double totalMs = 0;
    int stops = 0;
    for (auto _ : state) {
        bench.setLoops(2'000'000'000);
        bench.click("ButtonStart");
        QElapsedTimer clock;
        clock.start();
        constexpr int kStopAfterMs = 100;
        QTimer::singleShot(kStopAfterMs, Qt::PreciseTimer, [&] {
            const double lateMs = clock.nsecsElapsed() / 1e6 - kStopAfterMs;
            bench.click("ButtonStop");
            worstMs = std::max(worstMs, lateMs);
            totalMs += lateMs;
            ++stops;
        });
        bench.runUntilIdle();
        bench.click("ButtonReset");
    }
    state.counters["stop_latency_ms_mean"] = totalMs / std::max(stops, 1);
    state.counters["stop_latency_ms_worst"] = worstMs;
}
BENCHMARK(BM_LoopWindow_StopLatency)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// A million passes of eight variables, as the iteration example records
// them, drawn against the pass number or against one of them.
class LongHistory {
  public:
    static constexpr int kColumns = 8;
    LongHistory() {
        std::vector<std::string> names;
        for (int c = 1; c <= kColumns; ++c) {
            names.push_back("V" + std::to_string(c));
            testing::SetRow(variables_, c, {names.back()});
        }
        trajectory_.restart(names);
        for (int pass = 1; pass <= 1'000'000; ++pass) {
            for (int c = 1; c <= kColumns; ++c) variables_.setResult(c, (pass * c) % 1009);
            trajectory_.record(pass, variables_);
        }
    }
    const Trajectory& trajectory() const { return trajectory_; }
    const NameTable& variables() const { return variables_; }

  private:
    NameTable variables_ = MakeVariableTable();
    Trajectory trajectory_;
};

PlotChoice EveryColumnAgainst(int horizontal) {
    PlotChoice choice{horizontal, {}};
    for (std::size_t c = 0; c < LongHistory::kColumns; ++c) {
        if (static_cast<int>(c) != horizontal) choice.vertical.push_back(c);
    }
    return choice;
}

// Reading the rows: what a redraw costs that grows with the history.
void BM_TrajectoryPlot_MillionRows(benchmark::State& state) {
    static const LongHistory history;
    const PlotChoice choice = EveryColumnAgainst(static_cast<int>(state.range(0)));
    TrajectoryPlotter plotter;
    for (auto _ : state) {
        const Plot plot = plotter.plot(history.trajectory(), history.variables(), choice,
                                       PointsPerSeries(choice.vertical.size()));
        benchmark::DoNotOptimize(plot.series.data());
    }
}
BENCHMARK(BM_TrajectoryPlot_MillionRows)
    ->ArgName("across")
    ->Arg(kPassAxis)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

// A whole redraw of the trajectory window, painted: the horizontal axis
// switched between the pass number and a variable.
void BM_TrajectoryWindow_AxisChange(benchmark::State& state) {
    static const LongHistory history;
    testing::ScriptedInteraction user;
    TFormTrajectory window(history.trajectory(), history.variables(), user);
    window.show();
    auto* across = window.findChild<QComboBox*>(QStringLiteral("ComboHorizontal"));
    auto* chart = window.findChild<QWidget*>(QStringLiteral("ChartView"));
    int index = 0;
    for (auto _ : state) {
        across->setCurrentIndex(index = 1 - index);
        QApplication::processEvents();
        benchmark::DoNotOptimize(chart->grab());
    }
}
BENCHMARK(BM_TrajectoryWindow_AxisChange)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace quantaro::bench
