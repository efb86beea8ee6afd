#pragma once

#include "imagemath/SetAssignment.h"
#include "plugin/ModeDispatch.h"
#include "plugin/SetAssignments.h"
#include "plugin/SetLeaf.h"

namespace Korvanta {

template <class T>
void assignImageOperation(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                          SharedImageSet& first, SharedImageSet& second) {
    using Right = ImageMath::Array<SharedImageSet, T, false>;
    UntypedSetLeaf target = setLeaf(destination);
    const UntypedSetLeaf left = setLeaf(first);
    const Right right = setLeaf<T>(second);
    withBinaryOperator<ImageMath::ImgOps::divideIfNotZero>(mode, [&](auto op) {
        target = ImageMath::internal::BinaryOpTpl<decltype(op), UntypedSetLeaf, Right>(left, right, op);
    });
}

}  // namespace Korvanta

// Instantiates the image operations of one right-hand element type.
#define IMAGEMATH_INSTANTIATE_IMAGE_OPERATION(T)                                                          \
    template void Korvanta::assignImageOperation<T>(Korvanta::SharedImageArithmeticAlgorithm::Mode,       \
                                                    Korvanta::SharedImageSet&, Korvanta::SharedImageSet&, \
                                                    Korvanta::SharedImageSet&)
