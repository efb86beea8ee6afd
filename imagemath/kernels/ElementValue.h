#pragma once

// How an element of each buffer type enters the double arithmetic: widened exactly. `char` is the signed
// 8-bit element type on every platform, also where the platform's plain char is unsigned.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

template <class T>
inline double widen(T element) {
    return static_cast<double>(element);
}

template <>
inline double widen<char>(char element) {
    return static_cast<double>(static_cast<signed char>(element));
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
