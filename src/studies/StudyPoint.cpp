#include "studies/StudyPoint.h"

#include <exception>
#include <new>
#include <system_error>
#include <thread>

namespace quantaro {
namespace {

// The length of the well-formed UTF-8 character text starts with; 0 when it
// starts with a byte that begins none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || text.size() < length) return 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
    }
    // Neither an overlong form, nor a surrogate, nor beyond U+10FFFF.
    if (lead == 0xE0 && byte(1) < 0xA0) return 0;
    if (lead == 0xED && byte(1) >= 0xA0) return 0;
    if (lead == 0xF0 && byte(1) < 0x90) return 0;
    if (lead == 0xF4 && byte(1) >= 0x90) return 0;
    return length;
}

}  // namespace

std::optional<InputCell> FindInputCell(const Worksheet& sheet, std::string_view name) {
    if (const int row = sheet.constants.findRow(name)) return InputCell{InputTable::Constants, row};
    if (const int row = sheet.variables.findRow(name)) return InputCell{InputTable::Variables, row};
    return std::nullopt;
}

NameTable& TableOf(Worksheet& sheet, InputTable table) {
    return table == InputTable::Constants ? sheet.constants : sheet.variables;
}

const NameTable& TableOf(const Worksheet& sheet, InputTable table) {
    return table == InputTable::Constants ? sheet.constants : sheet.variables;
}

std::string StudyRunError(const StudyRun& run) {
    if (run.passes < 1) return "The number of passes must be at least 1";
    if (run.equation < 0) return "The equation number must be 0 (all) or more";
    return {};
}

std::string QuotedName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = Utf8SequenceLength(name.substr(at));
        if (length > 0) {
            quoted += name.substr(at, length);
            at += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(name[at++]);
        quoted += "\\x";
        quoted += kHex[byte >> 4];
        quoted += kHex[byte & 15];
    }
    return quoted + "\"";
}

PointRunner::PointRunner(const Worksheet& start, StudyRun run)
    : startVariables_(start.variables),
      sheet_(start),
      engine_(sheet_),
      run_(run),
      resultRows_(engine_.resultRows(run.equation)) {}

// Only the rows a pass stores into need putting back: a run writes nothing
// else, and the inputs' cells are typed afresh for every point. Neither
// touches a name, so the engine's programs hold from point to point.
std::optional<RunOutcome> PointRunner::run(std::span<const InputCell> cells,
                                           std::span<const long double> values,
                                           const StudyControl* control) {
    sheet_.variables.restoreValues(startVariables_, resultRows_);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TableOf(sheet_, cells[i].table).setTypedNumber(cells[i].row, values[i]);
    }
    RunOutcome outcome;
    for (int pass = 1; pass <= run_.passes; ++pass) {
        if (control && control->cancelled()) return std::nullopt;
        outcome = engine_.ExecuteEquations(run_.equation);
        if (!outcome.succeeded()) break;
    }
    return outcome;
}

void RunOnWorkers(const Worksheet& start, StudyRun run, unsigned workers,
                  const std::function<void(PointRunner&)>& work,
                  const std::function<void(std::string)>& halt) {
    const auto worker = [&] {
        try {
            PointRunner runner(start, run);
            work(runner);
        } catch (const std::bad_alloc&) {
            halt("memory ran out");
        } catch (const std::exception& failure) {
            halt(failure.what());
        }
    };
    std::vector<std::thread> threads;
    for (unsigned k = 1; k < workers; ++k) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: fewer workers do it all
        }
    }
    worker();
    for (std::thread& thread : threads) thread.join();
}

}  // namespace quantaro
