#pragma once

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {

// How an element of each buffer type enters the double arithmetic: its number, widened exactly.
template <class T>
inline double widen(T element) {
    return static_cast<double>(static_cast<Utils::ElementNumber<T>>(element));
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
