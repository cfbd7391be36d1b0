// Runs a fuzz target's body once on each seed, as libFuzzer's -runs=0 does,
// for compilers without libFuzzer: the seed corpora become a regression
// test. Arguments are seed files or folders of them; a failed invariant
// aborts, so the test fails on the first seed that breaks one.
//
//   fuzz_run_formula_seeds fuzz/seeds/fuzz_run_formula

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> SeedFiles(const std::filesystem::path& argument) {
    if (!std::filesystem::is_directory(argument)) return {argument};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SEED_FILE_OR_FOLDER...\n", argv[0]);
        return 64;
    }
    // libFuzzer runs the empty input first.
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::size_t count = 0;
    for (int k = 1; k < argc; ++k) {
        for (const std::filesystem::path& file : SeedFiles(argv[k])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 66;
            }
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "no seeds\n");
        return 66;
    }
    std::printf("%zu seeds run\n", count);
    return 0;
}
