#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

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

void BM_FormatNumber(benchmark::State& state) {
    const long double value = kValues[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumber(value));
    }
    state.SetLabel(FormatNumber(value));
}
BENCHMARK(BM_FormatNumber)->DenseRange(0, kValues.size() - 1);

}  // namespace
}  // namespace quantaro::bench
