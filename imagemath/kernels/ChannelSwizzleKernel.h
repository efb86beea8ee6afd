#pragma once

#include <omp.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imagemath/kernels/KernelFrame.h"
#include "imagemath/kernels/Kernels.h"
#include "imagemath/kernels/ValueConversion.h"

// Body of the channel swizzle kernel; included only by the translation units that instantiate it.
namespace Korvanta {
namespace ImageMath {
namespace kernels {

namespace swizzleDetail {

// Refuses, before anything is written, a list that would read outside the source pixel, and an in-place
// call whose source pixels are laid out unlike the destination's.
template <class T>
void checkSwizzle(const Target<T>& dst, const Source<T>& src, std::int64_t sourceChannels,
                  const unsigned long* indices) {
    const std::int64_t channels = dst.extents.channels;
    if (channels < 1) {
        return;
    }
    if (indices == nullptr) {
        throw std::invalid_argument("channel swizzle: no channel indices given");
    }
    for (std::int64_t c = 0; c < channels; ++c) {
        if (indices[c] >= static_cast<unsigned long>(sourceChannels < 0 ? 0 : sourceChannels)) {
            throw std::invalid_argument("channel swizzle: channel index " + std::to_string(indices[c]) +
                                        " is not below the source's channel count " +
                                        std::to_string(sourceChannels));
        }
    }
    if (static_cast<const void*>(dst.data) == static_cast<const void*>(src.data) &&
        sourceChannels != channels) {
        throw std::invalid_argument("channel swizzle in place: the source has " +
                                    std::to_string(sourceChannels) + " channels, the destination " +
                                    std::to_string(channels));
    }
}

}  // namespace swizzleDetail

// Each pixel's source elements are copied aside before any channel of that pixel is written, so an
// evaluation in place gives what a separate destination would: (10, 20, 30) with 2, 1, 0 gives
// (30, 20, 10) both ways.
template <class T>
void channelSwizzle(const Target<T>& dst, const Source<T>& src, std::int64_t sourceChannels,
                    const unsigned long* indices) {
    swizzleDetail::checkSwizzle(dst, src, sourceChannels, indices);
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
