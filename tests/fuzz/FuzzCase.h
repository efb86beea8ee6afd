#pragma once

#include <cstddef>
#include <cstdint>

namespace Korvanta {
namespace fuzz {

// Decodes the bytes into one or two image sets and two parameter records, creates the arithmetic algorithm
// through its registered factory, configures it and computes, then computes again with the second record
// (and "inPlace" switched unless that record sets it). Every compute must either succeed or throw
// std::invalid_argument, a rejected compute must leave every input image as it was and no output to take
// (whatever an earlier compute left), a compute into a clone must leave the first set as it was, and one in
// place must leave no output. Any other outcome aborts the process with a message, which is how the fuzzer
// and the corpus replay learn of it. Returns how far the case got.
enum class FuzzOutcome { NotCreated, Rejected, Computed };
FuzzOutcome runFuzzCase(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
}  // namespace Korvanta
