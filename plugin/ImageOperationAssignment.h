#pragma once

#include "imagemath/SetAssignment.h"
#include "plugin/ModeExpressions.h"
#include "plugin/SetAssignments.h"

namespace Korvanta {

template <class T>
void assignImageOperation(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                          SharedImageSet& first, SharedImageSet& second) {
    UntypedSetLeaf target = setLeaf(destination);
    withExpression(mode, setLeaf(first), setLeaf<T>(second), {}, [&](const auto& expr) { target = expr; });
}

}  // namespace Korvanta

// Instantiates the image operations of one right-hand element type.
#define IMAGEMATH_INSTANTIATE_IMAGE_OPERATION(T)                                                          \
    template void Korvanta::assignImageOperation<T>(Korvanta::SharedImageArithmeticAlgorithm::Mode,       \
                                                    Korvanta::SharedImageSet&, Korvanta::SharedImageSet&, \
                                                    Korvanta::SharedImageSet&)
