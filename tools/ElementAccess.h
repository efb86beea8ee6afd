#pragma once

#include <cstdint>

#include "host/image/MemImage.h"

namespace Korvanta {
namespace tools {

// Stored element i of a typed CPU memory, widened to double (exact for every element type).
double storedValue(const MemImage& memory, std::int64_t i);

// Sets stored element i. Throws std::invalid_argument when the value is not representable in
// an integer element type (a fraction or an out-of-range number), or outside the float range for float
// memory (which takes the nearest float), so that nothing is silently wrapped on input.
void setStoredValue(MemImage& memory, std::int64_t i, double value);

}  // namespace tools
}  // namespace Korvanta
