#pragma once

#include <cstdint>

// The kernels that exist for one destination element type T: every image-image operator with every
// right-hand element type, every scalar operator, the unary operators and the channel swizzle. With
// EXTERN = extern these are the declarations that keep other translation units from instantiating
// kernel bodies; with EXTERN empty, the definitions in the kernel translation unit of T.
#define IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, Op, T, U) \
    EXTERN template void imageImage<ImgOps::Op, T, U>(const Target<T>&, const Source<T>&, const Source<U>&);

#define IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, U)             \
    IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, add, T, U)             \
    IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, minus, T, U)           \
    IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, mult, T, U)            \
    IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, divideIfNotZero, T, U) \
    IMAGEMATH_IMAGE_IMAGE_KERNEL(EXTERN, pow, T, U)

#define IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, Op, T) \
    EXTERN template void imageScalar<ImgOps::Op, T>(const Target<T>&, const Source<T>&, float);

#define IMAGEMATH_UNARY_KERNEL(EXTERN, Op, T) \
    EXTERN template void unary<ImgOps::Op, T>(const Target<T>&, const Source<T>&);

#define IMAGEMATH_KERNELS_FOR_DESTINATION(EXTERN, T)                                         \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, char)                                           \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, unsigned char)                                  \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, short)                                          \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, unsigned short)                                 \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, int)                                            \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, unsigned int)                                   \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, float)                                          \
    IMAGEMATH_IMAGE_IMAGE_KERNELS(EXTERN, T, double)                                         \
    IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, add, T)                                            \
    IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, minus, T)                                          \
    IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, mult, T)                                           \
    IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, divide, T)                                         \
    IMAGEMATH_IMAGE_SCALAR_KERNEL(EXTERN, pow, T)                                            \
    IMAGEMATH_UNARY_KERNEL(EXTERN, unaryMinus, T)                                            \
    IMAGEMATH_UNARY_KERNEL(EXTERN, abs, T)                                                   \
    EXTERN template void channelSwizzle<T>(const Target<T>&, const Source<T>&, std::int64_t, \
                                           const unsigned long*);
