// libFuzzer entry point: every input is one case for the arithmetic algorithm.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/FuzzCase.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Korvanta::fuzz::runFuzzCase(data, size);
    return 0;
}
