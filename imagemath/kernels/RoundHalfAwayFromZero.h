#pragma once

#include <cmath>

namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Nearest integer, halves away from zero, for every |value| below 2^52 (the store rules limit values to
// the 32-bit ranges before they round, so nothing larger reaches it).
//
// std::round would do, but GCC calls it out of line under its default trapping-math, which stops the
// element loops from vectorising; this form uses only exact operations that inline and vectorise:
// - m + 2^52 lies in [2^52, 2^53), where the doubles are the integers, so the sum rounds m to its
//   nearest integer with ties to even, and subtracting 2^52 again is exact;
// - m - nearest is exact (Sterbenz for m >= 1/2, else nearest is 0), so it equals 0.5 exactly when m
//   was a tie that went down to the even neighbour; one more step takes it away from zero. A tie that
//   went up is away from zero already, and 0.49999999999999994 is no tie: it gives 0;
// - the sign is put back last, so negative values mirror positive ones (-0.4 gives -0).
inline double roundHalfAwayFromZero(double value) {
    constexpr double kTwoPow52 = 4503599627370496.0;
    const double magnitude = std::fabs(value);
    const double nearestEven = (magnitude + kTwoPow52) - kTwoPow52;
    const double tieGoingDown = magnitude - nearestEven == 0.5 ? 1.0 : 0.0;
    return std::copysign(nearestEven + tieGoingDown, value);
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
