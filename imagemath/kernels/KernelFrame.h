#pragma once

#include <cstdint>
#include <stdexcept>

#include "imagemath/kernels/Kernels.h"
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

// Runs sliceBody(slice) once for every slice. The body must not throw: nothing leaves the region.
template <class SliceBody>
void forEachSlice(std::int64_t slices, const SliceBody& sliceBody) {
#pragma omp parallel for schedule(static) if (slices > 8)
    for (std::int64_t slice = 0; slice < slices; ++slice) {
        sliceBody(slice);
    }
}

// Destination element i = store(toStored(realResult(i))), one flat index shared by the destination and
// every operand. An operand read at index i happens before destination element i is written and no
// other index is touched, so the destination may be an operand's own buffer.
template <class T, class RealResult>
void forEachElement(const Target<T>& target, const RealResult& realResult) {
    const std::int64_t sliceSize = elementsPerSlice(target.extents, target.extents.channels);
    if (sliceSize == 0) {
        return;
    }
    const DestinationWrite<T> write(target);
    T* const out = target.data;
    forEachSlice(target.extents.slices, [=](std::int64_t slice) {
        // Local copies: the compiler cannot tell that stores through out leave the captured operands
        // alone (a char store may alias anything), and would reload them for every element otherwise.
        const RealResult result = realResult;
        const DestinationWrite<T> toElement = write;
        T* const destination = out;
        const std::int64_t end = (slice + 1) * sliceSize;
        for (std::int64_t i = slice * sliceSize; i < end; ++i) {
            destination[i] = toElement(result(i));
        }
    });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
