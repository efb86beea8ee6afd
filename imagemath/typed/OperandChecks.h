#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/ImageDescriptor.h"

// What a typed kernel needs of its operands before it may touch a buffer: memory of the element type
// it is compiled for, and a layout that every index it computes falls inside. Violations throw
// std::invalid_argument before anything is written.
namespace Korvanta {
namespace ImageMath {
namespace internal {

inline std::string describeExtents(const ImageDescriptor& d) {
    return std::to_string(d.width) + "x" + std::to_string(d.height) + "x" + std::to_string(d.slices) +
           " with " + std::to_string(d.channels) + " channels";
}

inline void requireBound(bool bound, const char* role) {
    if (!bound) {
        throw std::invalid_argument(std::string("ImageMath: the ") + role +
                                    " has no CPU memory of the element type being computed");
    }
}

inline void requireSameLayout(const ImageDescriptor& destination, const ImageDescriptor& operand,
                              const char* role) {
    if (operand.width != destination.width || operand.height != destination.height ||
        operand.slices != destination.slices || operand.channels != destination.channels) {
        throw std::invalid_argument(std::string("ImageMath: the ") + role + " is " +
                                    describeExtents(operand) + ", the destination " +
                                    describeExtents(destination));
    }
}

// `viewed` is the source layout the view recorded, `source` the source memory's layout now.
inline void requireSwizzleFits(const ImageDescriptor& destination, const ImageDescriptor& viewed,
                               const ImageDescriptor& source, const std::vector<unsigned long>& indices) {
    if (viewed.width != source.width || viewed.height != source.height ||
        viewed.channels != source.channels) {
        throw std::invalid_argument("ImageMath: the swizzle source changed from " + describeExtents(viewed) +
                                    " to " + describeExtents(source) + " after the view was built");
    }
    if (source.width != destination.width || source.height != destination.height ||
        source.slices != destination.slices) {
        throw std::invalid_argument("ImageMath: the swizzle source is " + describeExtents(source) +
                                    ", the destination " + describeExtents(destination));
    }
    const std::size_t used = destination.channels > 0 ? static_cast<std::size_t>(destination.channels) : 0;
    if (indices.size() < used) {
        throw std::invalid_argument("ImageMath: " + std::to_string(indices.size()) +
                                    " channel indices given for a destination of " + std::to_string(used) +
                                    " channels");
    }
    for (std::size_t c = 0; c < used; ++c) {
        if (source.channels < 1 || indices[c] >= static_cast<unsigned long>(source.channels)) {
            throw std::invalid_argument("ImageMath: channel index " + std::to_string(indices[c]) +
                                        " is out of range for a source of " +
                                        std::to_string(source.channels) + " channels");
        }
    }
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
