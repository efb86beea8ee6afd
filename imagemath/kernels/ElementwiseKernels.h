#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "imagemath/kernels/Arithmetic.h"
#include "imagemath/kernels/ExactSquare.h"
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
// (kWide false) keep the division only, which saves their second version.
template <bool kWide, class Run>
void withReadScaling(bool allReciprocalsExact, const Run& run) {
    if constexpr (kWide) {
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
    withReadScaling<kVectorises<Op>>(
        readsByReciprocal(lhs) && readsByReciprocal(rhs), [&](auto byReciprocal) {
            const OperandRead<T, decltype(byReciprocal)::value> left(lhs);
            const OperandRead<U, decltype(byReciprocal)::value> right(rhs);
            forEachElement<kVectorises<Op>>(
                dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right(i)); });
        });
}

// dst = pow(src, 2) in runs of kRun elements: a run whose squares are all exact (see ExactSquare.h)
// takes a * a in a loop that vectorises; any other run calls pow for each element whose square is not.
// exponentTwo is 2, read where the compiler cannot see it.
template <class T>
void squares(const Target<T>& dst, const Source<T>& src, double exponentTwo) {
    constexpr std::int64_t kRun = 512;
    withReadScaling<true>(readsByReciprocal(src), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> base(src);
        const DestinationWrite<T> write(dst);
        T* const out = dst.data;
        forEachElementBlock<true>(dst, [=](std::int64_t begin, std::int64_t end) IMAGEMATH_ALWAYS_INLINE {
            for (std::int64_t run = begin; run < end; run += kRun) {
                const std::int64_t runEnd = std::min(end, run + kRun);
                if (squaresAreExact(base, run, runEnd)) {
                    storeRange(out, run, runEnd, [=](std::int64_t i) {
                        const double a = base(i);
                        return write(a * a);
                    });
                } else {
                    storeRange(out, run, runEnd,
                               [=](std::int64_t i) { return write(square(base(i), exponentTwo)); });
                }
            }
        });
    });
}

template <class Op, class T>
void imageScalar(const Target<T>& dst, const Source<T>& lhs, float rhs) {
    if constexpr (std::is_same_v<Op, ImgOps::pow>) {
        if (rhs == 2.0f && currentLoopChoice().shortcuts) {
            const volatile double hiddenExponent = rhs;
            squares(dst, lhs, hiddenExponent);
            return;
        }
    }
    const double right = rhs;
    withReadScaling<kVectorises<Op>>(readsByReciprocal(lhs), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> left(lhs);
        forEachElement<kVectorises<Op>>(
            dst, [=](std::int64_t i) { return Arithmetic<Op>::apply(left(i), right); });
    });
}

template <class Op, class T>
void unary(const Target<T>& dst, const Source<T>& src) {
    withReadScaling<kVectorises<Op>>(readsByReciprocal(src), [&](auto byReciprocal) {
        const OperandRead<T, decltype(byReciprocal)::value> operand(src);
        forEachElement<kVectorises<Op>>(dst,
                                        [=](std::int64_t i) { return Arithmetic<Op>::apply(operand(i)); });
    });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
