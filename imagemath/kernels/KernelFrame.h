#pragma once

#include <omp.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <stdexcept>

#include "imagemath/kernels/CoreBudget.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/LoopChoice.h"
#include "imagemath/kernels/ValueConversion.h"

// The loop that every kernel shares: an image cut into one contiguous block per thread of an OpenMP
// team, a small one run on the calling thread; each block walked in increasing element order.
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

// Where block `block` of `blocks` begins in a range of `units` (elements or pixels): every block begins
// at a multiple of `granule` (the last ends at `units`), and the blocks are as even as that allows.
struct BlockBounds {
    std::int64_t units;
    std::int64_t blocks;
    std::int64_t granule;

    std::int64_t begin(std::int64_t block) const {
        const std::int64_t granules = units / granule;
        const std::int64_t leftOver = units - granules * granule;
        // granules * block / blocks without forming the product; the end of the last block (block ==
        // blocks) takes the units left over. No branch: a test for the last block would make the
        // compiler split the block loop and compile the element loop in it twice.
        return granule * ((granules / blocks) * block + (granules % blocks) * block / blocks) +
               leftOver * (block / blocks);
    }
};

// Units (of bytesPerUnit bytes each) in the shortest run that fills whole 64-byte cache lines, so that
// blocks starting at multiples of it from a line-aligned buffer never write the same line.
inline std::int64_t cacheLineGranule(std::int64_t bytesPerUnit) {
    constexpr std::int64_t kCacheLine = 64;
    return kCacheLine / std::gcd(kCacheLine, bytesPerUnit);
}

// Fewest units worth a thread of their own in an image of 8 or fewer slices (larger ones take a thread
// per slice): smaller blocks gain less than waking a helper thread costs.
inline constexpr std::int64_t kUnitsPerHelper = std::int64_t{1} << 16;

// Runs blockBody(begin, end) over contiguous blocks that together cover units 0 to slices * unitsPerSlice
// once: one block per thread of a team, each starting at a multiple of granule (which keeps whole pixels
// and cache lines to one thread), as even as that allows whatever the slice count (whole slices would
// leave 7 of 8 threads idle for half the time over 9 slices). An image of 9 or more slices asks for a
// thread per slice, a smaller one for a thread per kUnitsPerHelper units; a small image is one block on
// the calling thread. The team takes only the cores that assignment tasks and other teams leave free, so that
// threads never outnumber the cores; its size changes no result, since every element is computed on its
// own. The body must not throw: nothing leaves the region.
template <class BlockBody>
void forEachBlock(std::int64_t slices, std::int64_t unitsPerSlice, std::int64_t granule,
                  const BlockBody& blockBody) {
    if (slices < 1 || unitsPerSlice < 1) {
        return;
    }
    const std::int64_t units = slices * unitsPerSlice;
    const std::int64_t mostThreads = std::max(1, omp_get_max_threads());
    const std::int64_t wanted = slices > 8
                                    ? std::min(slices, mostThreads)
                                    : std::clamp<std::int64_t>(units / kUnitsPerHelper, 1, mostThreads);
    const internal::TeamBudget team(static_cast<std::size_t>(wanted));
    const BlockBounds bounds{units, team.threads(), granule};
#pragma omp parallel for schedule(static) num_threads(team.threads()) if (team.threads() > 1)
    for (std::int64_t block = 0; block < bounds.blocks; ++block) {
        blockBody(bounds.begin(block), bounds.begin(block + 1));
    }
}

// destination[i] = storedElement(i) for i in [begin, end). Local copies: the compiler cannot tell that
// stores through destination leave the element step's captures alone (a char store may alias anything),
// and would reload them for every element otherwise.
template <class T, class StoredElement>
IMAGEMATH_ALWAYS_INLINE inline void storeRange(T* out, std::int64_t begin, std::int64_t end,
                                               const StoredElement& storedElement) {
    const StoredElement element = storedElement;
    T* const destination = out;
    for (std::int64_t i = begin; i < end; ++i) {
        destination[i] = element(i);
    }
}

#if IMAGEMATH_KERNELS_HAVE_AVX2
// The same range loop, vectorised for AVX2: the loop (declared IMAGEMATH_ALWAYS_INLINE) and the element
// steps in it are inlined here and compiled for AVX2.
template <class RangeLoop>
__attribute__((target("avx2"))) void runForAvx2(const RangeLoop& rangeLoop, std::int64_t begin,
                                                std::int64_t end) {
    rangeLoop(begin, end);
}
#endif

// Runs rangeLoop(begin, end) over blocks that cover every element of the destination once, each block
// in one piece on one thread. rangeLoop must visit its elements in increasing order, reading an
// element's operands before writing its destination element and touching no other index, so that the
// destination may be an operand's own buffer; and it must be declared IMAGEMATH_ALWAYS_INLINE, so that
// kWide can ask for its AVX2 version where that runs (loops that call a library function per element
// do not gain from it).
template <bool kWide, class T, class RangeLoop>
void forEachElementBlock(const Target<T>& target, const RangeLoop& rangeLoop) {
    const std::int64_t sliceSize = elementsPerSlice(target.extents, target.extents.channels);
    if (sliceSize == 0) {
        return;
    }
#if IMAGEMATH_KERNELS_HAVE_AVX2
    const bool avx2 = kWide && currentLoopChoice().avx2;
#endif
    forEachBlock(target.extents.slices, sliceSize, cacheLineGranule(sizeof(T)),
                 [=](std::int64_t begin, std::int64_t end) {
#if IMAGEMATH_KERNELS_HAVE_AVX2
                     if constexpr (kWide) {
                         if (avx2) {
                             runForAvx2(rangeLoop, begin, end);
                             return;
                         }
                     }
#endif
                     rangeLoop(begin, end);
                 });
}

// Destination element i = storedElement(i), one flat index shared by the destination and every operand.
template <bool kWide, class T, class StoredElement>
void forEachStoredElement(const Target<T>& target, const StoredElement& storedElement) {
    T* const out = target.data;
    forEachElementBlock<kWide>(target, [=](std::int64_t begin, std::int64_t end) IMAGEMATH_ALWAYS_INLINE {
        storeRange(out, begin, end, storedElement);
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
