#include "host/image/PixelTypeUtils.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace Korvanta {
namespace Utils {

bool isKnownPixelType(PixelType type) {
    return visitElementType(type, [](auto) {});
}

std::string pixelTypeCode(PixelType type) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(type));
    return text;
}

}  // namespace Utils

ImageDescriptor combineImageDescriptors(const std::vector<ImageDescriptor>& descriptors,
                                        bool ignoreShiftScale, std::optional<PixelType> pixelType) {
    if (descriptors.empty()) {
        throw std::invalid_argument("combineImageDescriptors: no image descriptors given");
    }
    ImageDescriptor combined = descriptors.front();
    for (const ImageDescriptor& d : descriptors) {
        combined.width = std::max(combined.width, d.width);
        combined.height = std::max(combined.height, d.height);
        combined.slices = std::max(combined.slices, d.slices);
        combined.channels = std::max(combined.channels, d.channels);
    }
    if (ignoreShiftScale) {
        combined.shift = 0.0;
        combined.scale = 1.0;
    }
    if (pixelType) {
        combined.pixelType = *pixelType;
    }
    return combined;
}

}  // namespace Korvanta
