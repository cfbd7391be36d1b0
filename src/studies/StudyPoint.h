#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Engine.h"
#include "engine/Worksheet.h"

namespace quantaro {

// What-if studies (sweeps and goal seek) run the formula at many points. A
// point types a number into the value cell of each input, as its text
// FormatNumber(value) would read, and runs the formula on the tables as they
// stood when the study started.

enum class InputTable { Constants, Variables };

// The value cell a study writes an input into.
struct InputCell {
    InputTable table = InputTable::Variables;
    int row = 0;
};

// The row of that name in the constant table, else in the variable table, as
// a run reads a name; nothing when neither table holds it.
std::optional<InputCell> FindInputCell(const Worksheet& sheet, std::string_view name);

NameTable& TableOf(Worksheet& sheet, InputTable table);
const NameTable& TableOf(const Worksheet& sheet, InputTable table);

// How a point runs the formula: every equation (0) or only the given one, as
// F9 and F8 do, `passes` times in a row, stopping at the first failure.
struct StudyRun {
    int equation = 0;
    int passes = 1;
};

// The fault in a study's run settings, empty when there is none.
std::string StudyRunError(const StudyRun& run);

// A name from the user in double quotes, as messages show it: each byte that
// is not part of a UTF-8 character as \xHH, so that a name typed in another
// character set shows what was typed.
std::string QuotedName(std::string_view name);

// Shared between the threads that run a study and the one that watches it:
// how many points or trials are done, and whether to stop.
class StudyControl {
  public:
    std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
    void countDone() { done_.fetch_add(1, std::memory_order_relaxed); }

    // Asks the study to stop soon, between two passes of the formula; it
    // returns what it has finished.
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

  private:
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> cancelled_{false};
};

// Runs points on a worksheet of its own, so that runners on other threads
// never share a table that they write. The formula is compiled once, when
// the runner is made; a point then costs about what its passes cost.
class PointRunner {
  public:
    PointRunner(const Worksheet& start, StudyRun run);
    PointRunner(const PointRunner&) = delete;
    PointRunner& operator=(const PointRunner&) = delete;

    // Puts back the variables a pass may store into as they were at the
    // start, types each value into its cell (see NameTable::setTypedNumber)
    // and runs the formula. Returns the outcome of the last pass run, the
    // failing one if any; nothing when control asks to stop before the last
    // pass, which is looked at before every pass so that a point of many
    // passes stops soon too. The cells must be the same at every point.
    std::optional<RunOutcome> run(std::span<const InputCell> cells,
                                  std::span<const long double> values,
                                  const StudyControl* control = nullptr);

    // The tables after the last point, the failing pass included.
    const Worksheet& sheet() const { return sheet_; }

  private:
    NameTable startVariables_;
    Worksheet sheet_;
    Engine engine_;
    StudyRun run_;
    // The variables a pass may store into, which a point puts back.
    std::vector<int> resultRows_;
};

// Runs work on up to `workers` threads at once, the calling thread one of
// them, each with a PointRunner of its own from start. Each worker copies and
// compiles the worksheet on its own thread, so that what its passes write
// lies in that thread's own heap: copies made one after another on one
// thread share cache lines where they meet, and two workers writing them
// cost each point a fifth more time. Fewer threads run when no more can be
// had; a worker that fails says why through halt.
void RunOnWorkers(const Worksheet& start, StudyRun run, unsigned workers,
                  const std::function<void(PointRunner&)>& work,
                  const std::function<void(std::string)>& halt);

}  // namespace quantaro
