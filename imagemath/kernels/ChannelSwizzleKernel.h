#pragma once

#include <omp.h>

#include <cstdint>
#include <vector>

#include "imagemath/kernels/KernelFrame.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/ValueConversion.h"

// Body of the channel swizzle kernel; included only by the translation units that instantiate it.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

// Each pixel's source elements are copied aside before any channel of that pixel is written, so an
// evaluation in place gives what a separate destination would: (10, 20, 30) with 2, 1, 0 gives
// (30, 20, 10) both ways.
template <class T>
void channelSwizzle(const Target<T>& dst, const Source<T>& src, std::int64_t sourceChannels,
                    const unsigned long* indices) {
    const std::int64_t channels = dst.extents.channels;
    if (elementsPerSlice(dst.extents, channels) == 0 || elementsPerSlice(dst.extents, sourceChannels) == 0) {
        return;
    }
    const std::int64_t pixelsPerSlice = elementsPerSlice(dst.extents, 1);
    const std::vector<std::int64_t> sourceChannelOf(indices, indices + channels);
    std::vector<T> pixelCopies(static_cast<std::size_t>(omp_get_max_threads() * sourceChannels));
    const OperandRead<T> read(src);
    const DestinationWrite<T> write(dst);
    const std::int64_t granule = cacheLineGranule(channels * static_cast<std::int64_t>(sizeof(T)));
    forEachBlock(dst.extents.slices, pixelsPerSlice, granule, [&](std::int64_t begin, std::int64_t end) {
        T* const pixelCopy = pixelCopies.data() + omp_get_thread_num() * sourceChannels;
        for (std::int64_t pixel = begin; pixel < end; ++pixel) {
            const T* const from = src.data + pixel * sourceChannels;
            for (std::int64_t c = 0; c < sourceChannels; ++c) {
                pixelCopy[c] = from[c];
            }
            T* const to = dst.data + pixel * channels;
            for (std::int64_t c = 0; c < channels; ++c) {
                to[c] = write(read.atStored(pixelCopy[sourceChannelOf[c]]));
            }
        }
    });
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
