#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

#include "imagemath/kernels/RoundHalfAwayFromZero.h"

// The conversion of a destination value (a double) into an element of the destination type. Every double,
// NaN and the infinities included, has a defined element: no integer conversion ever sees NaN or a value
// outside its range, and the float conversion is the IEEE 754 one, defined for every double.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// The signed 32-bit range that every integer store, and the integer shortcut that equals it, limits to.
constexpr double kInt32Lowest = -2147483648.0;
constexpr double kInt32Highest = 2147483647.0;

namespace storeDetail {

constexpr double kUint32Max = 4294967295.0;
constexpr double kTwoPow31 = 2147483648.0;

// NaN gives 0, anything else is limited to [low, high]; each select can become one min/max instruction.
inline double limited(double value, double low, double high) {
    const double number = value == value ? value : 0.0;
    const double notBelow = number < low ? low : number;
    return notBelow > high ? high : notBelow;
}

// NaN gives low, anything else is limited to [low, high]: a NaN fails the first comparison. Where low
// stores as 0 (0 itself, or -2^31 whose low 8 and 16 bits are 0), this gives NaN's element with one
// comparison fewer.
inline double limitedNaNToLow(double value, double low, double high) {
    const double notBelow = low < value ? value : low;
    return notBelow > high ? high : notBelow;
}

// The integer types limit before they round: that gives the same integer as the other order, since the
// bounds are integers and rounding is monotonic, and it keeps every conversion in range.

// Rounded half away from zero into [0, 2^32 - 1], saturating, NaN giving 0. The offset by 2^31 is exact
// on these integers and keeps the conversion in the signed 32-bit range, which vectorises where an
// unsigned conversion would not.
inline std::uint32_t saturatedUint32(double value) {
    const double rounded = roundHalfAwayFromZero(limitedNaNToLow(value, 0.0, kUint32Max));
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded - kTwoPow31)) + 0x80000000u;
}

// 8- and 16-bit types keep the low bits of the saturated 32-bit integer, signed and unsigned alike; NaN
// saturates to -2^31, whose low bits are 0.
template <class T>
inline T lowBitsOfInt32(double value) {
    using Bits = std::make_unsigned_t<T>;
    const std::int32_t saturated = roundedInt32(limitedNaNToLow(value, kInt32Lowest, kInt32Highest));
    return static_cast<T>(static_cast<Bits>(static_cast<std::uint32_t>(saturated)));
}

}  // namespace storeDetail

template <class T>
struct StoreRule {
    static_assert(sizeof(T) <= 2 && std::is_integral_v<T>, "no store rule for this element type");
    static T store(double value) { return storeDetail::lowBitsOfInt32<T>(value); }
};

template <>
struct StoreRule<int> {
    static int store(double value) {
        using namespace storeDetail;
        return roundedInt32(limited(value, kInt32Lowest, kInt32Highest));
    }
};

template <>
struct StoreRule<unsigned int> {
    static unsigned int store(double value) { return storeDetail::saturatedUint32(value); }
};

// Nearest float, ties to even: the IEEE 754 conversion, defined for every double. Magnitudes from
// 2^128 - 2^103 (the largest float plus half its last place) on become infinities of their sign, NaN
// stays NaN; nothing else limits the value.
template <>
struct StoreRule<float> {
    static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
                  "float and double must be IEEE 754 types");
    static float store(double value) { return static_cast<float>(value); }
};

template <>
struct StoreRule<double> {
    static double store(double value) { return value; }
};

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
