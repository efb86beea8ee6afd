// Runs fuzz cases without the fuzzing engine: every file named on the command line, or every file of
// every directory named, so that the corpus and any case a fuzzer once found stay regression tests in
// every build, sanitized or not.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/FuzzCase.h"

namespace {

using Korvanta::fuzz::FuzzOutcome;

// How many cases ended in each outcome, in the order of FuzzOutcome.
int counts[3] = {};

void replay(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
    ++counts[static_cast<int>(Korvanta::fuzz::runFuzzCase(bytes.data(), bytes.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    for (int a = 1; a < argc; ++a) {
        const std::filesystem::path path(argv[a]);
        if (!std::filesystem::is_directory(path)) {
            replay(path);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file())
                replay(entry.path());
    }
    const int cases = counts[0] + counts[1] + counts[2];
    std::printf("%d fuzz cases replayed: %d computed, %d rejected, %d without an algorithm\n", cases,
                counts[static_cast<int>(FuzzOutcome::Computed)],
                counts[static_cast<int>(FuzzOutcome::Rejected)],
                counts[static_cast<int>(FuzzOutcome::NotCreated)]);
    return cases > 0 ? 0 : 1;
}
