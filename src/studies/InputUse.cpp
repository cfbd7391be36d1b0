#include "studies/InputUse.h"

#include <optional>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"
#include "engine/EquationSplitter.h"
#include "engine/Tokeniser.h"

namespace quantaro {
namespace {

constexpr std::size_t kNoToken = static_cast<std::size_t>(-1);

}  // namespace

std::string IgnoredInputWarning(const Worksheet& sheet, const InputCell& cell,
                                const StudyRun& run) {
    TableIndexes indexes;
    const EngineTables tables = indexes.follow(sheet.constants, sheet.variables);
    const TokenMeaning::Kind kind =
        cell.table == InputTable::Constants ? TokenMeaning::Constant : TokenMeaning::Variable;
    const std::string& name = TableOf(sheet, cell.table).name(cell.row);
    const Tokeniser tokeniser(tables);
    EquationSplitter splitter(sheet.formula());
    std::vector<std::string_view> tokens;
    int number = 0;
    while (const std::optional<std::string> equation = splitter.next()) {
        ++number;
        if (run.equation != 0 && number != run.equation) continue;
        tokens.clear();
        std::string_view failedWord;
        const bool whole = tokeniser.cut(*equation, tokens, failedWord);
        const std::size_t result =
            whole ? ResultTokenOf(tokens, tables).value_or(kNoToken) : kNoToken;
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            const TokenMeaning meaning = MeaningOf(tokens[k], tables);
            if (k != result && meaning.kind == kind && meaning.row == cell.row) return {};
        }
        if (!whole) return {};
        if (result != kNoToken && kind == TokenMeaning::Variable &&
            MeaningOf(tokens[result], tables).row == cell.row) {
            return name + " is written by equation " + std::to_string(number) +
                   " before the formula reads it, so its value does not change the results";
        }
    }
    const std::string reader =
        run.equation == 0 ? std::string("the formula") : "equation " + std::to_string(run.equation);
    return name + " is not read by " + reader + ", so its value does not change the results";
}

}  // namespace quantaro
