#include <benchmark/benchmark.h>

#include <string>

#include "TableRows.h"
#include "engine/Worksheet.h"
#include "studies/UnitCheck.h"

namespace quantaro::bench {
namespace {

std::string Name(const char* prefix, int number) {
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

// 100 constants, 100 variables and 1,000 equations of five steps each:
// speeds times times plus lengths, stored in lengths. With every tenth
// equation adding a time to a length, a tenth of them have a finding.
Worksheet UnitWorksheet(bool withFindings) {
    Worksheet sheet;
    for (int k = 1; k <= 100; ++k) {
        testing::SetRow(sheet.constants, k, {Name("C", k), "1.5", k <= 50 ? "m/s speed" : ""});
        testing::SetRow(sheet.variables, k, {Name("V", k), "2", k <= 50 ? "m length" : "s time"});
    }
    std::string formula;
    for (int e = 0; e < 1000; ++e) {
        const std::string added =
            withFindings && e % 10 == 0 ? Name("V", 51 + (e * 13 + 2) % 50) : Name("V", 1 + e % 50);
        for (const std::string& piece :
             {Name("C", 1 + e * 7 % 50), std::string(" * "), Name("V", 51 + e * 13 % 50),
              std::string(" + "), Name("V", 1 + (e * 11 + 1) % 50), std::string(" - ( "), added,
              std::string(" * "), Name("C", 51 + e * 3 % 50), std::string(" ) = "),
              Name("V", 1 + (e * 11 + 3) % 50), std::string("\r\n")})
            formula += piece;
    }
    sheet.setFormula(formula);
    return sheet;
}

// Checking the whole worksheet once the cells' units have been read, as the
// editor does again and again while the user types.
void BM_CheckUnits(benchmark::State& state) {
    UnitLibrary* library = UnitLibrary::Shared();
    if (!library) {
        state.SkipWithError("the udunits2 database cannot be read");
        return;
    }
    const Worksheet sheet = UnitWorksheet(state.range(0) != 0);
    std::size_t findings = 0;
    for (auto _ : state) {
        const UnitReport report = CheckUnits(sheet, *library);
        findings = report.findings.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetLabel("items = equations");
}
BENCHMARK(BM_CheckUnits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quantaro::bench
