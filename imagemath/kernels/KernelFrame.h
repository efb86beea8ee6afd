#pragma once

#include <omp.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "host/threading/CoreBudget.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/LoopChoice.h"
#include "imagemath/kernels/ValueConversion.h"

// The loop that every kernel shares: slices shared out statically over an OpenMP team when there are
// 9 or more of them, otherwise run on the calling thread; each slice walked in increasing element order.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Elements per slice (pixels per slice when channels is 1), or 0 when an extent is below 1, so that
// nothing is computed. Extents whose element count does not fit the 64-bit index are refused before
// anything is written.
inline std::int64_t elementsPerSlice(const Extents& extents, std::int64_t channels) {
    if (extents.width < 1 || extents.height < 1 || channels < 1 || extents.slices < 1) {
        return 0;
    }
    std::int64_t perSlice = 0;
    std::int64_t total = 0;
    if (__builtin_mul_overflow(extents.width, extents.height, &perSlice) ||
        __builtin_mul_overflow(perSlice, channels, &perSlice) ||
        __builtin_mul_overflow(perSlice, extents.slices, &total)) {
        throw std::invalid_argument("image extents exceed the 64-bit element index");
    }
    return perSlice;
}

// Runs sliceBody(slice) once for every slice. The body must not throw: nothing leaves the region. The
// team takes only the cores that pool tasks and other teams leave free, so that threads never
// outnumber the cores; its size changes no result, since every element is computed on its own.
template <class SliceBody>
void forEachSlice(std::int64_t slices, const SliceBody& sliceBody) {
    const bool parallel = slices > 8;
    const Threading::TeamBudget team(parallel ? static_cast<std::size_t>(std::min<std::int64_t>(
                                                    slices, std::max(1, omp_get_max_threads())))
                                              : 1);
#pragma omp parallel for schedule(static) num_threads(team.threads()) if (parallel)
    for (std::int64_t slice = 0; slice < slices; ++slice) {
        sliceBody(slice);
    }
}

// destination[i] = storedElement(i) for i in [begin, end). Local copies: the compiler cannot tell that
// stores through destination leave the element step's captures alone (a char store may alias anything),
// and would reload them for every element otherwise.
template <class T, class StoredElement>
__attribute__((always_inline)) inline void storeRange(T* out, std::int64_t begin, std::int64_t end,
                                                      const StoredElement& storedElement) {
    const StoredElement element = storedElement;
    T* const destination = out;
    for (std::int64_t i = begin; i < end; ++i) {
        destination[i] = element(i);
    }
}

#if IMAGEMATH_KERNELS_HAVE_AVX2
// The same loop, vectorised for AVX2; the element step is inlined into it and compiled for AVX2 there.
template <class T, class StoredElement>
__attribute__((target("avx2"))) void storeRangeAvx2(T* out, std::int64_t begin, std::int64_t end,
                                                    const StoredElement& storedElement) {
    storeRange(out, begin, end, storedElement);
}
#endif

// Destination element i = storedElement(i), one flat index shared by the destination and every operand.
// An operand read at index i happens before destination element i is written and no other index is
// touched, so the destination may be an operand's own buffer. kWide asks for the AVX2 loop where it
// runs; loops that call a library function per element do not gain from it.
template <bool kWide, class T, class StoredElement>
void forEachStoredElement(const Target<T>& target, const StoredElement& storedElement) {
    const std::int64_t sliceSize = elementsPerSlice(target.extents, target.extents.channels);
    if (sliceSize == 0) {
        return;
    }
    T* const out = target.data;
#if IMAGEMATH_KERNELS_HAVE_AVX2
    const bool avx2 = kWide && currentLoopChoice().avx2;
#endif
    forEachSlice(target.extents.slices, [=](std::int64_t slice) {
        const std::int64_t begin = slice * sliceSize;
#if IMAGEMATH_KERNELS_HAVE_AVX2
        if constexpr (kWide) {
            if (avx2) {
                storeRangeAvx2(out, begin, begin + sliceSize, storedElement);
                return;
            }
        }
#endif
        storeRange(out, begin, begin + sliceSize, storedElement);
    });
}

// Destination element i = store(toStored(realResult(i))).
template <bool kWide, class T, class RealResult>
void forEachElement(const Target<T>& target, const RealResult& realResult) {
    const DestinationWrite<T> write(target);
    forEachStoredElement<kWide>(target, [=](std::int64_t i) { return write(realResult(i)); });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
