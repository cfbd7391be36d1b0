#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <string>

#include "ReferenceWorksheet.h"
#include "documents/FileIo.h"
#include "documents/TableFile.h"
#include "documents/TableFormat.h"
#include "engine/NameTable.h"

namespace quantaro::bench {
namespace {

std::string ReferenceVariableBytes(benchmark::State& state) {
    const FileReadResult read = ReadDocumentFile(ReferencePath("reference.VAR"));
    if (read.status != LoadStatus::Loaded) state.SkipWithError("reference.VAR cannot be read");
    return read.bytes;
}

void BM_ParseTableFile(benchmark::State& state) {
    const std::string bytes = ReferenceVariableBytes(state);
    NameTable table = MakeVariableTable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseTableFile(bytes, table));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseTableFile);

void BM_SerializeTableFile(benchmark::State& state) {
    const std::string bytes = ReferenceVariableBytes(state);
    NameTable table = MakeVariableTable();
    ParseTableFile(bytes, table);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SerializeTableFile(table));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_SerializeTableFile);

// Open Variables on the reference variable file; loading leaves it unchanged.
void BM_LoadTableFile(benchmark::State& state) {
    const QString path = ReferencePath("reference.VAR");
    NameTable table = MakeVariableTable();
    for (auto _ : state) {
        const TableLoad load = LoadTableFile(path, table);
        if (load.status != LoadStatus::Loaded) {
            state.SkipWithError("reference.VAR could not be loaded");
            return;
        }
    }
}
BENCHMARK(BM_LoadTableFile);

// Save Variables into a temporary folder, replacing the file each time.
void BM_SaveTableFile(benchmark::State& state) {
    QTemporaryDir dir;
    NameTable table = MakeVariableTable();
    if (!dir.isValid() ||
        LoadTableFile(ReferencePath("reference.VAR"), table).status != LoadStatus::Loaded) {
        state.SkipWithError("cannot set up the temporary folder or the table");
        return;
    }
    const QString path = dir.filePath("saved.VAR");
    for (auto _ : state) {
        if (const auto error = SaveTableFile(path, table)) {
            state.SkipWithError(error->toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_SaveTableFile);

}  // namespace
}  // namespace quantaro::bench
