#pragma once

#include <cstdint>
#include <memory>

#include "host/image/ImageDescriptor.h"
#include "host/image/PixelType.h"
#include "host/image/SharedImage.h"
#include "host/image/SharedImageSet.h"
#include "imagemath/DeviceStrategy.h"

// How leaves find and describe their images. Leaves may stand for a set without images or for an
// index the set does not have; they then describe "no image" instead of failing.
namespace Korvanta {
namespace ImageMath {
namespace internal {

// The description of a missing image: no pixel type and no extent. Shift and scale stay the
// identity, so nothing derived from it divides by zero.
inline ImageDescriptor emptyImageDescriptor() {
    ImageDescriptor descriptor;
    descriptor.pixelType = static_cast<PixelType>(0);
    return descriptor;
}

inline ImageDescriptor descriptorOf(const SharedImage* image) {
    return image ? image->descriptor() : emptyImageDescriptor();
}

// The descriptor of the image that stands for the whole set (index -1).
inline ImageDescriptor defaultDescriptorOf(const SharedImageSet* set) {
    if (!set) {
        return emptyImageDescriptor();
    }
    const std::shared_ptr<SharedImage> image = set->getShared(-1);
    return descriptorOf(image.get());
}

// A missing image never reaches the GPU.
inline std::int32_t deviceStrategyOf(const SharedImage* image) {
    return image ? leafDeviceStrategy(image->descriptor()) : kCpuOnly;
}

inline std::int32_t defaultDeviceStrategyOf(const SharedImageSet* set) {
    const std::shared_ptr<SharedImage> image = set ? set->getShared(-1) : nullptr;
    return deviceStrategyOf(image.get());
}

// Image i of a set, where a set of exactly one image stands for every index; null when the set
// has no image for i.
inline SharedImage* broadcastImage(const SharedImageSet* set, unsigned long i) {
    if (!set) {
        return nullptr;
    }
    const int count = set->size();
    if (count == 1) {
        return set->get(0);
    }
    if (count < 1 || i >= static_cast<unsigned long>(count)) {
        return nullptr;
    }
    return set->get(static_cast<int>(i));
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
