#include "cli/OptionTable.h"

#include "cli/FitCommands.h"
#include "cli/SolveCommands.h"
#include "cli/StudyCommands.h"
#include "cli/UncertaintyCommands.h"
#include "cli/UnitCommands.h"

namespace quantaro {

std::span<const CommandOption> PlainOptions() {
    static const CommandOption options[] = {
        {"help", nullptr, "Print this help and exit.", "h"},
        {"version", nullptr, "Print the version and exit.", "v"},
        {"constants", "C.CON", "Read the constants from C.CON."},
        {"variables", "V.VAR", "Read the variables from V.VAR."},
        {"equation", "N", "Run only equation N (0, the default: all)."},
        {"passes", "K", "Run the formula K times (default 1, K < 2^31).", nullptr, 1, true},
        {"degrees", nullptr, "Work in degrees, whatever the formula file says."},
        {"radians", nullptr, "Work in radians, whatever the formula file says."},
        {"save-variables", "OUT.VAR", "Write the variable table to OUT.VAR afterwards.", nullptr, 1,
         true},
        {"formula-text", "TEXT", "Run TEXT as the formula (in degrees by default)."},
        {"csv", "OUT.csv", "Write the passes (or sweep points) to OUT.csv.", nullptr, 1, true},
        {"record", "NAME[,NAME...]", "With --csv, record only these variables.", nullptr, 1, true},
        {"explain", nullptr, "Print each step of one run; change nothing."},
        // Taken from the arguments before the others are parsed: its value is optional.
        {"json", nullptr, "Print a JSON report instead (or to --json=FILE)."},
    };
    return options;
}

// A new study is one more row here.
std::span<const StudyRow> Studies() {
    static const StudyRow studies[] = {SweepStudy(),       SeekStudy(),      UnitsStudy(),
                                       UncertaintyStudy(), SummarizeStudy(), SolveStudy(),
                                       MinimizeStudy(),    MaximizeStudy(),  FitStudy()};
    return studies;
}

const std::string& UsageText() {
    static const std::string usage = [] {
        const char* const formula = "                    (FORMULA.FOR | --formula-text TEXT)\n";
        std::string text =
            "Usage: quantaro-cli [--constants C.CON] [--variables V.VAR] [--equation N] "
            "[--passes K]\n"
            "                    [--degrees | --radians] [--save-variables OUT.VAR]\n"
            "                    [--csv OUT.csv [--record NAME[,NAME...]]] [--explain]\n";
        text += formula;
        for (const StudyRow& study : Studies()) {
            if (study.synopsis.empty()) continue;  // given with another study's
            const char* lead = "       quantaro-cli [options] ";
            for (const char* line : study.synopsis) {
                text += std::string(lead) + line + '\n';
                lead = "                    ";
            }
            if (study.readsWorksheet) text += formula;
        }
        return text + "       quantaro-cli (--help | --version)\n";
    }();
    return usage;
}

}  // namespace quantaro
