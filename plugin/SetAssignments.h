#pragma once

#include <vector>

#include "host/image/SharedImageSet.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

// The assignments that compute makes. Each right-hand element type instantiates five Set-level
// drivers with everything below them, so each lives in a translation unit of its own and they
// compile in parallel.
namespace Korvanta {

// destination = first OP second for the binary modes (0 to 4), the second set holding elements of
// type T; any other mode assigns nothing.
template <class T>
void assignImageOperation(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                          SharedImageSet& first, SharedImageSet& second);

// destination = first OP rightHandSide, OP first, or the channel swizzle of first, as the mode says.
void assignWithoutSecondSet(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                            SharedImageSet& first, float rightHandSide,
                            const std::vector<unsigned long>& channelIndices);

}  // namespace Korvanta
