#pragma once

#include <cmath>
#include <cstdint>

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

// The same rounding for a value in the signed 32-bit range, as that integer, in three steps: add the
// largest double below one half, h = 1/2 - 2^-54, with the value's sign, and truncate. For 0 <= y < 2^51
// (negative values mirror it, -0 included) with k the nearest integer, halves up:
// - y < k + 1/2 puts y at or below k + 1/2 - u, u = ulp(y) <= 2^-52 * y (both are multiples of u), so
//   y + h <= k + 1 - u - 2^-54 lies below the double just under k + 1 (or below k + 1/2 when k + 1 is in
//   a higher binade than y): the rounded sum stays below k + 1.
// - y >= k: the sum is at least k. y in [k - 1/2, k): only y = k - 1/2 puts the exact sum below k, at
//   k - 2^-54, which rounds to k (a tie to the even k for k = 1, nearer to k above).
// So the rounded sum truncates to k: 0.49999999999999994 gives 0, 0.5 gives 1, 2.5 gives 3. The limited
// values stay within (-2^31 - 1, 2^31) after the addition, so the conversion is always in range.
inline std::int32_t roundedInt32(double limitedValue) {
    constexpr double kBelowHalf = 0.49999999999999994;
    return static_cast<std::int32_t>(limitedValue + std::copysign(kBelowHalf, limitedValue));
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
