#pragma once

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

// real = stored / scale - shift: a true division, then a subtraction, each rounded on its own.
template <class T>
class OperandRead {
public:
    explicit OperandRead(const Source<T>& source)
        : data_(source.data),
          shift_(source.storageValues ? 0.0 : source.shift),
          scale_(source.storageValues ? 1.0 : source.scale) {}

    double atStored(T element) const { return widen(element) / scale_ - shift_; }
    double operator()(std::int64_t index) const { return atStored(data_[index]); }

private:
    const T* data_;
    double shift_;
    double scale_;
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
