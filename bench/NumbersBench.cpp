#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <random>
#include <string_view>
#include <vector>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"

namespace quantaro::bench {
namespace {

// Number words and value cells as they occur in worksheets, and one text
// that is rejected only at its last character.
constexpr std::array<std::string_view, 7> kNumberTexts = {
    "42",   "-3.14159265358979",     "0.333333333333333", "6.02214076E23", "1.5E-7",
    "  .5", "12345678901234567890,",
};

void BM_ParseNumber(benchmark::State& state) {
    const std::string_view text = kNumberTexts[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseNumber(text));
    }
    state.SetLabel(std::string(text));
}
BENCHMARK(BM_ParseNumber)->DenseRange(0, kNumberTexts.size() - 1);

// Results as the engine writes them: whole, fixed with 15 digits, and both
// scientific forms.
const std::array<long double, 6> kValues = {
    0.0L, 120.0L, 1.0L / 3.0L, -0.75L, 1.23456789012345678E17L, 1.5E-7L,
};

// Each result written as text, and the value it keeps through its text,
// computed with and without the text.
template <auto Work>
void BM_EachValue(benchmark::State& state) {
    const long double value = kValues[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(Work(value));
    }
    state.SetLabel(FormatNumber(value));
}
BENCHMARK(BM_EachValue<FormatNumber>)->Name("BM_FormatNumber")->DenseRange(0, kValues.size() - 1);
BENCHMARK(BM_EachValue<RoundThroughText>)
    ->Name("BM_RoundThroughText")
    ->DenseRange(0, kValues.size() - 1);
BENCHMARK(BM_EachValue<RoundThroughTextSlowly>)
    ->Name("BM_RoundThroughTextSlowly")
    ->DenseRange(0, kValues.size() - 1);

// Quotients of random numbers of 1E-20 to 1E20, so that the branches are not
// learned; one item is one value.
std::vector<long double> ComputedResults() {
    std::mt19937_64 random(7);
    std::vector<long double> values(4096);
    for (long double& value : values) {
        const auto numerator = static_cast<long double>(random() % 1000000);
        const auto denominator = static_cast<long double>(1 + random() % 999);
        value = std::ldexp(numerator / denominator, static_cast<int>(random() % 133) - 66);
    }
    return values;
}

template <auto Round>
void BM_RoundComputedResults(benchmark::State& state) {
    const std::vector<long double> values = ComputedResults();
    for (auto _ : state) {
        for (const long double& value : values) benchmark::DoNotOptimize(Round(value));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_RoundComputedResults<RoundThroughText>)->Name("BM_RoundThroughText/computed");
BENCHMARK(BM_RoundComputedResults<RoundThroughTextSlowly>)
    ->Name("BM_RoundThroughTextSlowly/computed");

}  // namespace
}  // namespace quantaro::bench
