#pragma once

#include <cstdint>
#include <type_traits>

#include "imagemath/kernels/Arithmetic.h"
#include "imagemath/kernels/IntegerArithmetic.h"
#include "imagemath/kernels/KernelFrame.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/LoopChoice.h"
#include "imagemath/kernels/ValueConversion.h"

// Bodies of the element-wise kernels; included only by the translation units that instantiate them.
// Each kernel picks, once per call, the cheapest loop that gives the bits of the exact definition.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Calls run(std::true_type) when every read may multiply by its scale's exact reciprocal instead of
// dividing (see hasExactReciprocal), else run(std::false_type). Loops that a library call dominates
// keep the division only, which saves their second version.
template <class Op, class Run>
void withReadScaling(bool allReciprocalsExact, const Run& run) {
    if constexpr (kVectorises<Op>) {
        if (allReciprocalsExact && currentLoopChoice().shortcuts) {
            run(std::true_type{});
            return;
        }
    }
    run(std::false_type{});
}

template <class T>
bool readsByReciprocal(const Source<T>& source) {
    return hasExactReciprocal(readScale(source));
}

template <class Op, class T, class U>
void imageImage(const Target<T>& dst, const Source<T>& lhs, const Source<U>& rhs) {
    using Integers = IntegerArithmetic<Op, T, U>;
    if constexpr (Integers::kExists) {
        if (currentLoopChoice().shortcuts && readsStoredIntegers(lhs) && readsStoredIntegers(rhs) &&
            writesStoredIntegers(dst)) {
            const T* const left = lhs.data;
            const U* const right = rhs.data;
            forEachStoredElement<true>(dst,
                                       [=](std::int64_t i) { return Integers::element(left[i], right[i]); });
            return;
        }
    }
    withReadScaling<Op>(readsByReciprocal(lhs) && readsByReciprocal(rhs), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> left(lhs);
        const OperandRead<U, decltype(byReciprocal)::value> right(rhs);
        forEachElement<kVectorises<Op>>(
            dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right(i)); });
    });
}

template <class Op, class T>
void imageScalar(const Target<T>& dst, const Source<T>& lhs, float rhs) {
    const double right = rhs;
    withReadScaling<Op>(readsByReciprocal(lhs), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> left(lhs);
        forEachElement<kVectorises<Op>>(
            dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right); });
    });
}

template <class Op, class T>
void unary(const Target<T>& dst, const Source<T>& src) {
    withReadScaling<Op>(readsByReciprocal(src), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> operand(src);
        forEachElement<kVectorises<Op>>(dst,
                                        [=](std::int64_t i) { return Arithmetic<Op>::apply(operand(i)); });
    });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
