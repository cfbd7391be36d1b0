#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "TableRows.h"
#include "engine/EngineTables.h"
#include "engine/FormulaTokens.h"
#include "engine/Tokeniser.h"
#include "engine/Worksheet.h"

namespace quantaro::bench {
namespace {

// Tables with a constant and a variable, enough for the words below to split.
struct Tables : Worksheet {
    Tables() {
        testing::SetRow(constants, 1, {"PI", "3.14159265358979"});
        testing::SetRow(variables, 1, {"A", "10"});
    }
    EngineTables tables() { return indexes.follow(constants, variables); }
    TableIndexes indexes;
};

// Tokenises one word; the result is checked so that a change in how the word
// splits does not go unnoticed as a change in speed.
void TokeniseWord(benchmark::State& state, const std::string& word, bool splits) {
    Tables tables;
    const Tokeniser tokeniser(tables.tables());
    std::vector<std::string_view> tokens;
    std::string_view failed;
    for (auto _ : state) {
        tokens.clear();
        const bool ok = tokeniser.tokenise(word, tokens, failed);
        benchmark::DoNotOptimize(tokens.data());
        if (ok != splits) {
            state.SkipWithError("the word split differently than expected");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(word.size()));
    state.counters["tokens"] = static_cast<double>(tokens.size());
}

// A word with no recognised prefix at all.
void BM_TokeniseUnknownLetters(benchmark::State& state) {
    TokeniseWord(state, std::string(static_cast<std::size_t>(state.range(0)), 'Q'), false);
}
BENCHMARK(BM_TokeniseUnknownLetters)->Arg(1000)->Arg(100000);

// A long number prefix that fails at the last character.
void BM_TokeniseUnknownAfterDigits(benchmark::State& state) {
    std::string word(static_cast<std::size_t>(state.range(0)) - 1, '0');
    word += 'Q';
    TokeniseWord(state, word, false);
}
BENCHMARK(BM_TokeniseUnknownAfterDigits)->Arg(1000)->Arg(100000);

// A word that peels into many tokens and fails only at its last character.
void BM_TokeniseUnknownAfterTokens(benchmark::State& state) {
    std::string word;
    while (word.size() + 4 < static_cast<std::size_t>(state.range(0))) word += "A+1-";
    word += 'Q';
    TokeniseWord(state, word, false);
}
BENCHMARK(BM_TokeniseUnknownAfterTokens)->Arg(1000)->Arg(100000);

// A word that splits completely: A, +1, -, A, +1, -, ...
void BM_TokeniseSplittingWord(benchmark::State& state) {
    std::string word;
    while (word.size() + 4 <= static_cast<std::size_t>(state.range(0))) word += "A+1-";
    word += 'A';
    TokeniseWord(state, word, true);
}
BENCHMARK(BM_TokeniseSplittingWord)->Arg(1000)->Arg(100000);

// An ordinary equation written without blanks.
void BM_TokeniseGluedEquation(benchmark::State& state) {
    TokeniseWord(state, "(A+PI)*2^2ROOTSIN30+LOG100=A", true);
}
BENCHMARK(BM_TokeniseGluedEquation);

// What the formula editor's colouring costs after each key stroke: the whole
// formula classified, here of lines that hold an equation and an unknown word.
void BM_ClassifyFormula(benchmark::State& state) {
    Tables tables;
    std::string formula;
    while (formula.size() < static_cast<std::size_t>(state.range(0)))
        formula += "A * ( PI + 1 ) - 2Q = A\r\n";
    std::size_t spans = 0;
    for (auto _ : state) spans = ClassifyFormula(formula, tables.tables()).size();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(formula.size()));
    state.counters["spans"] = static_cast<double>(spans);
}
BENCHMARK(BM_ClassifyFormula)->Arg(1000)->Arg(100000);

}  // namespace
}  // namespace quantaro::bench
