#pragma once

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "host/image/SharedImage.h"
#include "host/image/SharedImageSet.h"
#include "imagemath/Expressions.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {

using internal::BinaryOpTpl;
using internal::ChannelSwizzleViewTpl;
using internal::LeafSettings;
using internal::UnaryOpTpl;

using ElementTypes =
    ::testing::Types<char, unsigned char, short, unsigned short, int, unsigned int, float, double>;

using SetLeaf = Array<SharedImageSet, void, false>;
template <class T>
using TypedSetLeaf = Array<SharedImageSet, T, false>;
using ImageLeaf = Array<SharedImage, void, false>;

inline ImageDescriptor describe(PixelType type, int channels = 1, int width = 3, int height = 2,
                                int slices = 1) {
    return makeImageDescriptor(type, width, height, slices, channels);
}

inline std::shared_ptr<SharedImage> makeImage(const ImageDescriptor& descriptor) {
    return std::make_shared<SharedImage>(descriptor);
}

// A set of `count` images of one description.
inline std::unique_ptr<SharedImageSet> makeSet(const ImageDescriptor& descriptor, int count = 1) {
    auto set = std::make_unique<SharedImageSet>();
    for (int i = 0; i < count; ++i) {
        set->add(makeImage(descriptor));
    }
    return set;
}

// Leaves as the algorithm builds them: real values, nearest filter, clamp to edge, zero vector.
template <class Leaf, class Storage>
Leaf defaultLeaf(Storage& storage) {
    return Leaf(storage, false, MagFilter::Nearest, Wrap::ClampToEdge, Vector4f::Zero());
}

template <class T>
TypedImage<T>& typedMemory(SharedImage& image) {
    return dynamic_cast<TypedImage<T>&>(*image.mem());
}

}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
