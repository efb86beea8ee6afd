#pragma once

#include <cstdint>

#include "imagemath/ImgOps.h"
#include "imagemath/kernels/KernelInstances.h"

// The typed CPU kernels, over raw interleaved element buffers. The memory-level nodes bind their
// operands to these views; the kernels are instantiated once per element type (pair) in the kernel
// translation units, so users of this header instantiate none of them.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Extents of the destination; operands have the same extents (the swizzle source may have other
// channel counts, see channelSwizzle).
struct Extents {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t slices = 0;
    std::int64_t channels = 0;
};

// An operand buffer with the mapping to real values (real = stored / scale - shift) unless
// storageValues is set, in which case stored values are used unchanged.
template <class T>
struct Source {
    const T* data = nullptr;
    double shift = 0.0;
    double scale = 1.0;
    bool storageValues = false;
};

// The destination buffer: results are mapped back (stored = (real + shift) * scale) unless
// storageValues is set, then stored by the store rule of T.
template <class T>
struct Target {
    T* data = nullptr;
    Extents extents;
    double shift = 0.0;
    double scale = 1.0;
    bool storageValues = false;
};

// dst = op(lhs, rhs), Op one of ImgOps::add, minus, mult, divideIfNotZero, pow.
template <class Op, class T, class U>
void imageImage(const Target<T>& dst, const Source<T>& lhs, const Source<U>& rhs);

// dst = op(lhs, rhs), Op one of ImgOps::add, minus, mult, divide, pow; the scalar is widened to double
// and never shifted or scaled.
template <class Op, class T>
void imageScalar(const Target<T>& dst, const Source<T>& lhs, float rhs);

// dst = op(src), Op one of ImgOps::unaryMinus, abs.
template <class Op, class T>
void unary(const Target<T>& dst, const Source<T>& src);

// Destination channel c of every pixel takes source channel indices[c]; the source has
// sourceChannels interleaved channels per pixel. indices holds dst.extents.channels entries, each
// below sourceChannels: the typed assignment checks the list (requireSwizzleIndices) before it calls the
// kernel. In place (dst.data == src.data, so with equal channel counts) gives the same result.
template <class T>
void channelSwizzle(const Target<T>& dst, const Source<T>& src, std::int64_t sourceChannels,
                    const unsigned long* indices);

// Every kernel is instantiated once, in the kernel translation unit of its destination type.
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, char)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, unsigned char)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, short)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, unsigned short)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, int)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, unsigned int)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, float)
IMAGEMATH_KERNELS_FOR_DESTINATION(extern, double)

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
