#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "imagemath/kernels/LoopChoice.h"

// pow(a, 2) as a * a wherever the two are provably the same double.
//
// Proof. Where a * a is exact, the product p is a's square s itself, and pow returns s as well: pow is
// faithfully rounded (one of the two doubles around the true value; glibc's errs by at most 0.54 ulp, 0.5
// of it its one final rounding, and the tests check it for every float base), and the faithful result
// of a double is that double. Exactness is decided by the rounding error s - p, formed without a fused
// multiply-add (the processor baseline has none) by Dekker's product: Veltkamp's split by 2^27 + 1 gives
// a = hi + lo exactly with at most 26 significant bits in each, so hi hi, 2 hi lo and lo lo are exact.
// With a in [2^e, 2^(e+1)), hi hi - p is a multiple of 2^(2e-52) below 2^(2e-23); adding 2 hi lo gives
// s - p - lo lo, a multiple of 2^(2e-76) below 2^(2e-50); adding lo lo gives s - p, a multiple of
// 2^(2e-104) below 2^(2e-51). Each fits in 53 bits, so each sum is exact, provided that
// - nothing underflows: p >= 2^-968 puts e at -485 or above, so that 2^(2e-104) is a multiple of
//   2^-1074. Smaller products go to pow, except for a = 0, whose square is exactly 0;
// - nothing overflows: an overflow gives an infinity or NaN, which no later step turns back into 0.
// NaN and infinite bases give a NaN error and go to pow. Every widened float and every integer below
// 2^26.5 has an exact square.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// 0 when a * a (given as product) is a's exact square, anything else otherwise: the bits of the error
// without its sign, so that a whole run of bases is tested by OR-ing them (which vectorises where a
// count of comparisons would not).
inline std::uint64_t inexactSquareBits(double a, double product) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    constexpr double kSmallestSafeProduct = 0x1p-968;
    const double scaled = a * kSplitter;
    const double hi = scaled - (scaled - a);
    const double lo = a - hi;
    const double error = ((hi * hi - product) + (hi + hi) * lo) + lo * lo;
    const double checked = product >= kSmallestSafeProduct || a == 0.0 ? error : 1.0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &checked, sizeof(bits));
    return bits << 1;
}

// pow(a, exponent) for an exponent of 2, given at run time: a * a where that is exact, else the call.
// The exponent must not be known to the compiler as 2, which would let it turn the call into a * a.
inline double square(double a, double exponentTwo) {
    const double product = a * a;
    return inexactSquareBits(a, product) == 0 ? product : std::pow(a, exponentTwo);
}

// Whether base(i) * base(i) is exact for every i in [begin, end).
template <class Base>
IMAGEMATH_ALWAYS_INLINE inline bool squaresAreExact(const Base& base, std::int64_t begin, std::int64_t end) {
    const Base read = base;
    std::uint64_t inexact = 0;
    for (std::int64_t i = begin; i < end; ++i) {
        const double a = read(i);
        inexact |= inexactSquareBits(a, a * a);
    }
    return inexact == 0;
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
