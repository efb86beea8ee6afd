#pragma once

#include <cstdint>

#include "host/image/SharedImageSet.h"
#include "imagemath/Array.h"
#include "imagemath/ArrayBase.h"
#include "imagemath/ArrayGl.h"
#include "imagemath/ExprBaseTpl.h"
#include "imagemath/ImageArray.h"
#include "imagemath/ImageLookup.h"
#include "imagemath/LeafSettings.h"

namespace Korvanta {
namespace ImageMath {

// Set-level leaf: a whole image set, described by its default image (index -1). Every construction
// and copy derives the device strategy from that image anew; a set without images describes no
// image and stays on the CPU.
template <class T>
class Array<SharedImageSet, T, false> : public ExprBaseTpl<Array<SharedImageSet, T, false>>,
                                        public internal::ArrayBase,
                                        public internal::ArrayGl<Array<SharedImageSet, T, false>> {
public:
    Array(SharedImageSet& set, bool storageValues, MagFilter magFilter, Wrap wrap, const Vector4f& vector)
        : Array(&set, internal::LeafSettings{storageValues, magFilter, wrap, vector}) {}

    Array(SharedImageSet* set, const internal::LeafSettings& settings)
        : m_storage(set), m_settings(settings), m_deviceStrategy(internal::defaultDeviceStrategyOf(set)) {}

    Array(const Array& other) : Array(other.m_storage, other.m_settings) {}

    Array& operator=(const Array&) = delete;

    // The Set-level assignment (imagemath/SetAssignment.h).
    template <class E>
    Array& operator=(const ExprBaseTpl<E>& expr);

    SharedImageSet* storage() const { return m_storage; }
    const internal::LeafSettings& settings() const { return m_settings; }

    ImageDescriptor imgDesc() const override { return internal::defaultDescriptorOf(m_storage); }
    std::int32_t numImgs() const override { return m_storage ? m_storage->size() : 0; }
    std::int32_t deviceStrategy() const override { return m_deviceStrategy; }

    PixelType resultPixelType() const { return imgDesc().pixelType; }

    // The leaf over the image that stands for index i (a one-image set stands for every index).
    Array<SharedImage, T, false> convertToSharedImgExpr(unsigned long i) const {
        return Array<SharedImage, T, false>(internal::broadcastImage(m_storage, i), m_settings);
    }

    // An image-level leaf over `image` with this leaf's settings.
    template <class S2, class T2>
    Array<S2, T2, false> cloneLeaf(S2& image) const {
        return Array<S2, T2, false>(&image, m_settings);
    }

private:
    friend class internal::ArrayGl<Array>;

    SharedImageSet* m_storage;
    internal::LeafSettings m_settings;
    std::int32_t m_deviceStrategy;
};

}  // namespace ImageMath
}  // namespace Korvanta
