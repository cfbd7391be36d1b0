// Opening a formula near the largest a file may hold in the desktop
// program's editor, headless: how long the window is busy and how much
// memory the text then costs.

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>

#include "ScriptedInteraction.h"
#include "ui/FormulaEditor.h"
#include "ui/FormulaUnitMarks.h"
#include "ui/StartUp.h"
#include "ui/TFormCalculator.h"

namespace quantaro::bench {
namespace {

constexpr qsizetype kFormulaSize = 15 * 1024 * 1024;

// 15 MiB of equations, lines of about 16 characters (short) or 118,000 (long).
QString LongFormula(bool longLines) {
    const int terms = longLines ? 20000 : 2;
    QString formula;
    formula.reserve(kFormulaSize + 200000);
    for (int line = 0; formula.size() < kFormulaSize; ++line) {
        for (int term = 0; term < terms; ++term) {
            formula += QString::number((line * 7 + term) % 997) + QStringLiteral(" + ");
        }
        formula += QStringLiteral("X = Y\r\n");
    }
    return formula;
}

double ResidentMiB() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * 4096.0 / (1024 * 1024);
}

void BM_FormulaEditor_OpenLongFormula(benchmark::State& state) {
    const QString formula = LongFormula(state.range(0) != 0);
    double seconds = 0;
    double costMiB = 0;
    for (auto _ : state) {
        QTemporaryDir start;
        testing::ScriptedInteraction interaction;
        DesktopProgram program(interaction, start.path());
        program.show();
        QApplication::processEvents();
        // What earlier iterations freed would otherwise be counted as free.
        malloc_trim(0);
        const double before = ResidentMiB();
        QElapsedTimer clock;
        clock.start();
        program.session().setFormulaText(formula);
        QApplication::processEvents();
        seconds += clock.nsecsElapsed() / 1e9;
        costMiB += ResidentMiB() - before;
    }
    state.counters["busy_s"] = seconds / static_cast<double>(state.iterations());
    state.counters["cost_MiB"] = costMiB / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FormulaEditor_OpenLongFormula)
    ->ArgName("long_lines")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// Typing in a formula of 1 MiB, with the units check's marks on (1) or off
// (0): each key pressed and released in the editor and its events handled,
// as fast as a person never types, so the check, which waits for the text
// to rest, never runs in between. check_ms is what that check then costs
// once, around the part the editor shows.
void BM_FormulaEditor_TypeInLongFormula(benchmark::State& state) {
    // Every tenth line adds a time to a length.
    QString formula;
    for (int line = 0; formula.size() < 1024 * 1024; ++line)
        formula += line % 10 == 0 ? QStringLiteral("V * T + T = X\r\n")
                                  : QStringLiteral("V * T + L = X\r\n");
    QTemporaryDir start;
    testing::ScriptedInteraction interaction;
    DesktopProgram program(interaction, start.path());
    program.show();
    const char* const rows[][3] = {
        {"V", "2", "m/s"}, {"T", "3", "s"}, {"L", "1", "m"}, {"X", "0", "m"}};
    for (int row = 1; row <= 4; ++row) {
        for (int column = 0; column < 3; ++column)
            program.session().setCell(Document::Variables, column, row, rows[row - 1][column]);
    }
    program.session().setFormulaText(formula);
    QApplication::processEvents();
    TFormCalculator& window = program.mainWindow();
    window.formulaUnitMarks().setActive(state.range(0) != 0);
    auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("MemoFormula"));
    memo->setFocus();
    memo->moveCursor(QTextCursor::Start);
    memo->moveCursor(QTextCursor::EndOfLine);
    QApplication::processEvents();
    for (auto _ : state) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(memo, &key);
        }
        QApplication::processEvents();
    }
    QElapsedTimer clock;
    clock.start();
    window.formulaUnitMarks().checkNow();
    state.counters["check_ms"] = clock.nsecsElapsed() / 1e6;
    state.counters["marks"] = window.formulaUnitMarks().markCount();
}
BENCHMARK(BM_FormulaEditor_TypeInLongFormula)
    ->ArgName("unit_marks")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(300);

}  // namespace
}  // namespace quantaro::bench
