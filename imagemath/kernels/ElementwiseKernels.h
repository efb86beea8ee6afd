#pragma once

#include <cstdint>

#include "imagemath/kernels/Arithmetic.h"
#include "imagemath/kernels/KernelFrame.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/ValueConversion.h"

// Bodies of the element-wise kernels; included only by the translation units that instantiate them.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

template <class Op, class T, class U>
void imageImage(const Target<T>& dst, const Source<T>& lhs, const Source<U>& rhs) {
    const OperandRead<T> left(lhs);
    const OperandRead<U> right(rhs);
    forEachElement(dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right(i)); });
}

template <class Op, class T>
void imageScalar(const Target<T>& dst, const Source<T>& lhs, float rhs) {
    const OperandRead<T> left(lhs);
    const double right = rhs;
    forEachElement(dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right); });
}

template <class Op, class T>
void unary(const Target<T>& dst, const Source<T>& src) {
    const OperandRead<T> operand(src);
    forEachElement(dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(operand(i)); });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
