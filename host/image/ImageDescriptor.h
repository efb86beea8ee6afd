#pragma once

#include <array>
#include <cstdint>

#include "host/image/PixelType.h"

namespace Korvanta {

// Value type describing an image: element type, extents, interleaved channels and the mapping
// between stored and real values (real = stored / scale - shift).
struct ImageDescriptor {
    PixelType pixelType = PixelType::UByte;
    int width = 0;
    int height = 0;
    int slices = 0;
    int channels = 0;
    std::array<double, 3> spacing{1.0, 1.0, 1.0};
    bool isMetric = false;
    double shift = 0.0;
    double scale = 1.0;

    // Number of elements (all channels) in 64 bits; 0 when any extent is not positive.
    std::int64_t elementCount() const;
};

// A descriptor of one element type and extents, with unit spacing and the given value mapping.
inline ImageDescriptor makeImageDescriptor(PixelType type, int width, int height, int slices, int channels,
                                           double shift = 0.0, double scale = 1.0) {
    ImageDescriptor descriptor;
    descriptor.pixelType = type;
    descriptor.width = width;
    descriptor.height = height;
    descriptor.slices = slices;
    descriptor.channels = channels;
    descriptor.shift = shift;
    descriptor.scale = scale;
    return descriptor;
}

bool operator==(const ImageDescriptor& a, const ImageDescriptor& b);
inline bool operator!=(const ImageDescriptor& a, const ImageDescriptor& b) {
    return !(a == b);
}

}  // namespace Korvanta
