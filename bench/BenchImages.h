#pragma once

#include <cstdint>
#include <memory>

#include "host/image/PixelTypeUtils.h"
#include "host/image/SharedImageSet.h"
#include "imagemath/SetAssignment.h"

// Host images for the cases, with every element written before any timing (so no first touch is
// measured), and the leaves through which the drivers see them.
namespace bench {

using Korvanta::PixelType;
using Korvanta::SharedImage;
using Korvanta::SharedImageSet;
namespace ImageMath = Korvanta::ImageMath;
namespace ImgOps = Korvanta::ImageMath::ImgOps;
using ImageMath::internal::BinaryOpTpl;

struct Volume {
    int width, height, slices;
    std::int64_t sliceSize() const { return std::int64_t{width} * height; }
    std::int64_t elements() const { return sliceSize() * slices; }
};

template <class T>
T* elementsOf(SharedImage& image) {
    return static_cast<Korvanta::TypedImage<T>*>(image.mem())->pointer();
}

// Stored element i is (7 i + seed) mod 101, written slice by slice in parallel.
inline std::shared_ptr<SharedImage> filledImage(PixelType type, const Volume& v, int seed, double shift = 0.0,
                                                double scale = 1.0) {
    auto image = std::make_shared<SharedImage>(
        Korvanta::makeImageDescriptor(type, v.width, v.height, v.slices, 1, shift, scale));
    Korvanta::Utils::visitElementType(type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        T* const elements = elementsOf<T>(*image);
        const std::int64_t count = v.elements();
#pragma omp parallel for schedule(static)
        for (std::int64_t i = 0; i < count; ++i) {
            elements[i] = static_cast<T>((7 * i + seed) % 101);
        }
    });
    return image;
}

inline std::unique_ptr<SharedImageSet> filledSet(PixelType type, const Volume& v, int images, int seed,
                                                 double shift = 0.0, double scale = 1.0) {
    auto set = std::make_unique<SharedImageSet>();
    for (int k = 0; k < images; ++k) {
        set->add(filledImage(type, v, seed + k, shift, scale));
    }
    return set;
}

template <class T, class Storage>
ImageMath::Array<Storage, T, false> leafOf(Storage& storage) {
    return ImageMath::Array<Storage, T, false>(storage, false, ImageMath::MagFilter::Nearest,
                                               ImageMath::Wrap::ClampToEdge, ImageMath::Vector4f::Zero());
}

}  // namespace bench
