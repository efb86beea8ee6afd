#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/ImageDescriptor.h"
#include "imagemath/ImageExtents.h"

// What a typed kernel needs of its operands before it may touch a buffer: memory of the element type
// it is compiled for, and a layout that every index it computes falls inside. Violations throw
// std::invalid_argument before anything is written.
namespace Korvanta {
namespace ImageMath {
namespace internal {

inline void requireBound(bool bound, const char* role) {
    if (!bound) {
        throw std::invalid_argument(std::string("ImageMath: the ") + role +
                                    " has no CPU memory of the element type being computed");
    }
}

inline void requireSameLayout(const ImageDescriptor& destination, const ImageDescriptor& operand,
                              const char* role) {
    if (!ImageMath::sameExtents(operand, destination)) {
        throw std::invalid_argument(std::string("ImageMath: the ") + role + " is " +
                                    ImageMath::extentsText(operand) + ", the destination " +
                                    ImageMath::extentsText(destination));
    }
}

// The one test of a swizzle list: an entry for each of the destination's channels, each naming a
// channel of the source. The names say which images the message speaks of.
inline void requireSwizzleIndices(const std::vector<unsigned long>& indices, int channels, int sourceChannels,
                                  const std::string& destinationName, const std::string& sourceName) {
    const std::size_t used = channels > 0 ? static_cast<std::size_t>(channels) : 0;
    if (indices.size() < used) {
        throw std::invalid_argument("\"channelIndices\" holds " + std::to_string(indices.size()) +
                                    " entries but " + destinationName + " has " + std::to_string(used) +
                                    " channels");
    }
    for (std::size_t c = 0; c < used; ++c) {
        if (sourceChannels < 1 || indices[c] >= static_cast<unsigned long>(sourceChannels)) {
            throw std::invalid_argument("\"channelIndices\" entry " + std::to_string(c) + " is " +
                                        std::to_string(indices[c]) + ", not a channel of " + sourceName +
                                        " (" + std::to_string(sourceChannels) + " channels)");
        }
    }
}

// `viewed` is the source layout the view recorded, `source` the source memory's layout now.
inline void requireSwizzleFits(const ImageDescriptor& destination, const ImageDescriptor& viewed,
                               const ImageDescriptor& source, const std::vector<unsigned long>& indices) {
    if (viewed.width != source.width || viewed.height != source.height ||
        viewed.channels != source.channels) {
        throw std::invalid_argument("ImageMath: the swizzle source changed from " +
                                    ImageMath::extentsText(viewed) + " to " + ImageMath::extentsText(source) +
                                    " after the view was built");
    }
    if (source.width != destination.width || source.height != destination.height ||
        source.slices != destination.slices) {
        throw std::invalid_argument("ImageMath: the swizzle source is " + ImageMath::extentsText(source) +
                                    ", the destination " + ImageMath::extentsText(destination));
    }
    requireSwizzleIndices(indices, destination.channels, source.channels, "the destination", "the source");
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
