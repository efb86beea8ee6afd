#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

#include "host/image/PixelTypeUtils.h"
#include "imagemath/ImgOps.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/StoreRule.h"

// Addition, subtraction and multiplication of 8- and 16-bit integer images in integers (where the double
// path's conversions cost most against their small elements), for the case where every image is taken
// as its stored numbers: both operands read with scale 1 and shift 0 (or their storage-value
// flag set) and the destination written with scale 1 and shift 0 (or its flag set). Then the double path
// gives, for stored integers a and b and the exact integer result v = a op b:
// - the reads: a / 1 - (+-0) == a. Integer elements widen exactly and are never -0, so subtracting either
//   zero leaves them unchanged (0 - (-0) is +0, like 0 itself).
// - r = a op b rounded once: r == v, since |v| <= 2^32 < 2^53.
// - the write: (r + (+-0)) * 1 == r, up to the sign of a zero result (0 times a negative number is -0),
//   which stores 0 either way.
// - the store rule: r is an integer, so the rounding keeps it; it is limited to the signed 32-bit range
//   and the low 8 or 16 bits are kept.
// So the element is the low bits of v limited to the signed 32-bit range, which these functions compute
// in integers wide enough for every v of the type pair: 32 bits where they fit and the limit cannot
// apply, else 64 bits (the products of two 16-bit operands reach 2^32).
namespace Korvanta {
namespace ImageMath {
namespace kernels {

namespace integerDetail {

template <class T>
using Number = Utils::ElementNumber<T>;

template <class T>
constexpr double kLowest = static_cast<double>(std::numeric_limits<Number<T>>::lowest());
template <class T>
constexpr double kHighest = static_cast<double>(std::numeric_limits<Number<T>>::max());

constexpr double smallest(double a, double b, double c, double d) {
    const double ab = a < b ? a : b;
    const double cd = c < d ? c : d;
    return ab < cd ? ab : cd;
}
constexpr double largest(double a, double b, double c, double d) {
    const double ab = a > b ? a : b;
    const double cd = c > d ? c : d;
    return ab > cd ? ab : cd;
}

// The exact operation and the range of its results over all operands of types T and U, computed in
// double, where these ends are exact.
template <class Op>
struct Exact {
    static constexpr bool kExists = false;
};

template <>
struct Exact<ImgOps::add> {
    static constexpr bool kExists = true;
    template <class W>
    static W apply(W a, W b) {
        return a + b;
    }
    template <class T, class U>
    static constexpr double kLow = kLowest<T> + kLowest<U>;
    template <class T, class U>
    static constexpr double kHigh = kHighest<T> + kHighest<U>;
};

template <>
struct Exact<ImgOps::minus> {
    static constexpr bool kExists = true;
    template <class W>
    static W apply(W a, W b) {
        return a - b;
    }
    template <class T, class U>
    static constexpr double kLow = kLowest<T> - kHighest<U>;
    template <class T, class U>
    static constexpr double kHigh = kHighest<T> - kLowest<U>;
};

template <>
struct Exact<ImgOps::mult> {
    static constexpr bool kExists = true;
    template <class W>
    static W apply(W a, W b) {
        return a * b;
    }
    template <class T, class U>
    static constexpr double kLow = smallest(kLowest<T>* kLowest<U>, kLowest<T>* kHighest<U>,
                                            kHighest<T>* kLowest<U>, kHighest<T>* kHighest<U>);
    template <class T, class U>
    static constexpr double kHigh = largest(kLowest<T>* kLowest<U>, kLowest<T>* kHighest<U>,
                                            kHighest<T>* kLowest<U>, kHighest<T>* kHighest<U>);
};

// The range of a op b over all operands of 8- and 16-bit integer types T and U; empty for other types
// and operators.
template <class Op, class T, class U,
          bool = std::is_integral_v<T>&& std::is_integral_v<U> && sizeof(T) <= 2 && sizeof(U) <= 2 &&
                 Exact<Op>::kExists>
struct ResultRange {
    static constexpr bool kIntegers = false;
    static constexpr double kLow = 0.0;
    static constexpr double kHigh = 0.0;
};

template <class Op, class T, class U>
struct ResultRange<Op, T, U, true> {
    static constexpr bool kIntegers = true;
    static constexpr double kLow = Exact<Op>::template kLow<T, U>;
    static constexpr double kHigh = Exact<Op>::template kHigh<T, U>;
};

}  // namespace integerDetail

template <class Op, class T, class U>
struct IntegerArithmetic {
private:
    using Exact = integerDetail::Exact<Op>;
    using Range = integerDetail::ResultRange<Op, T, U>;
    static constexpr double kLow = Range::kLow;
    static constexpr double kHigh = Range::kHigh;
    static constexpr bool kFits32 = kLow >= kInt32Lowest && kHigh <= kInt32Highest;
    using Wide = std::conditional_t<kFits32, std::int32_t, std::int64_t>;
    static constexpr Wide kLimitLow = static_cast<Wide>(kInt32Lowest);
    static constexpr Wide kLimitHigh = static_cast<Wide>(kInt32Highest);

public:
    static constexpr bool kExists = Range::kIntegers;

    static T element(T left, U right) {
        using integerDetail::Number;
        Wide v = Exact::apply(static_cast<Wide>(static_cast<Number<T>>(left)),
                              static_cast<Wide>(static_cast<Number<U>>(right)));
        if constexpr (!kFits32) {
            v = v < kLimitLow ? kLimitLow : v;
            v = v > kLimitHigh ? kLimitHigh : v;
        }
        return static_cast<T>(static_cast<std::make_unsigned_t<Number<T>>>(v));  // the low bits
    }
};

// Whether the stored integers of an operand are its values in the double path (see above).
template <class U>
bool readsStoredIntegers(const Source<U>& source) {
    return source.storageValues || (source.scale == 1.0 && source.shift == 0.0);
}

template <class T>
bool writesStoredIntegers(const Target<T>& target) {
    return target.storageValues || (target.scale == 1.0 && target.shift == 0.0);
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
