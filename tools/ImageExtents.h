#pragma once

#include <string>

#include "host/image/ImageDescriptor.h"

// The extents the tool compares images by and names in its messages.
namespace Korvanta {
namespace tools {

// Whether both have the same width, height, slices and channels.
inline bool sameExtents(const ImageDescriptor& a, const ImageDescriptor& b) {
    return a.width == b.width && a.height == b.height && a.slices == b.slices && a.channels == b.channels;
}

// "4x2x2 with 2 channels".
inline std::string extentsText(const ImageDescriptor& d) {
    return std::to_string(d.width) + "x" + std::to_string(d.height) + "x" + std::to_string(d.slices) +
           " with " + std::to_string(d.channels) + " channels";
}

}  // namespace tools
}  // namespace Korvanta
