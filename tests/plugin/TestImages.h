#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "host/image/PixelTypeUtils.h"
#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace test {

inline ImageDescriptor descriptor(PixelType type, int width, int height, int slices, int channels,
                                  double shift = 0.0, double scale = 1.0) {
    return makeImageDescriptor(type, width, height, slices, channels, shift, scale);
}

// Stored element i of the image's CPU memory, widened to double. The memory's own pixel type names its
// element type, also for an image that names another one; NaN for memory that does not hold that type.
inline double storedAt(SharedImage& image, std::int64_t i) {
    double value = std::nan("");
    Utils::visitElementType(image.mem()->descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (const auto* typed = dynamic_cast<const TypedImage<T>*>(image.mem()))
            value = static_cast<double>(typed->pointer()[i]);
    });
    return value;
}

// Sets every stored element i of the image's CPU memory to stored(i), which must be representable in the
// memory's element type.
template <class F>
void fillStored(SharedImage& image, F stored) {
    Utils::visitElementType(image.mem()->descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        auto* memory = static_cast<TypedImage<T>*>(image.mem());
        for (std::int64_t i = 0; i < memory->size(); ++i)
            memory->pointer()[i] = static_cast<T>(stored(i));
    });
}

// Same value, NaN equal to NaN.
inline bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// `count` images of one descriptor; image k holds stored(k, i) at element i.
template <class F>
std::unique_ptr<SharedImageSet> makeSet(const ImageDescriptor& d, int count, F stored) {
    auto set = std::make_unique<SharedImageSet>();
    for (int k = 0; k < count; ++k) {
        auto image = std::make_shared<SharedImage>(d);
        fillStored(*image, [&](std::int64_t i) { return stored(k, i); });
        set->add(image);
    }
    return set;
}

inline std::unique_ptr<SharedImageSet> makeSet(const ImageDescriptor& d, int count) {
    return makeSet(d, count, [](int k, std::int64_t i) { return static_cast<double>((k * 7 + i) % 50); });
}

}  // namespace test
}  // namespace Korvanta
