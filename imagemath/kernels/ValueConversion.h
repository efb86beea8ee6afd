#pragma once

#include <cmath>
#include <cstdint>

#include "imagemath/kernels/ElementValue.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/StoreRule.h"

// The operand read (stored element to real value) and the destination write (real value to stored
// element). A set storage-value flag is expressed as a mapping that leaves every double unchanged bit for
// bit, so one code path serves every flag combination:
//   stored / 1 - (+0) == stored, since x / 1 == x and x - (+0) == x for every x, -0 included;
//   (real + (-0)) * 1 == real, since x + (-0) == x for every x, +0 included.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Whether x / scale == x * (1 / scale) for every double x. It holds exactly when 1 / scale is itself a
// double, that is when scale is a power of two whose reciprocal does not overflow (scale 1 included):
// both sides are then the same real number x / scale, rounded once to nearest, and they agree on
// zeros, infinities and NaN as well (the reciprocal is finite, non-zero and of the scale's sign). A
// division by any other scale differs for some x (7 / 3 is not 7 * 0.333...), so it stays a division.
inline bool hasExactReciprocal(double scale) {
    if (!std::isfinite(scale) || scale == 0.0) {
        return false;
    }
    int exponent = 0;
    return std::fabs(std::frexp(scale, &exponent)) == 0.5 && std::isfinite(1.0 / scale);
}

template <class T>
double readScale(const Source<T>& source) {
    return source.storageValues ? 1.0 : source.scale;
}

// real = stored / scale - shift: a true division, then a subtraction, each rounded on its own. With
// kByReciprocal the division is a multiplication by the exact reciprocal, which gives the same bits;
// only a scale with hasExactReciprocal may be read so.
template <class T, bool kByReciprocal = false>
class OperandRead {
public:
    explicit OperandRead(const Source<T>& source)
        : data_(source.data),
          shift_(source.storageValues ? 0.0 : source.shift),
          factor_(kByReciprocal ? 1.0 / readScale(source) : readScale(source)) {}

    double atStored(T element) const {
        if constexpr (kByReciprocal) {
            return widen(element) * factor_ - shift_;
        } else {
            return widen(element) / factor_ - shift_;
        }
    }
    double operator()(std::int64_t index) const { return atStored(data_[index]); }

private:
    const T* data_;
    double shift_;
    double factor_;
};

// stored = (real + shift) * scale, an addition, then a multiplication, then the store rule of T.
template <class T>
class DestinationWrite {
public:
    explicit DestinationWrite(const Target<T>& target)
        : shift_(target.storageValues ? -0.0 : target.shift),
          scale_(target.storageValues ? 1.0 : target.scale) {}

    T operator()(double real) const { return StoreRule<T>::store((real + shift_) * scale_); }

private:
    double shift_;
    double scale_;
};

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
