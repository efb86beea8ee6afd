#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "host/image/SharedImage.h"
#include "imagemath/Array.h"
#include "imagemath/ArrayBase.h"
#include "imagemath/ArrayGl.h"
#include "imagemath/ExprBaseTpl.h"
#include "imagemath/ImageLookup.h"
#include "imagemath/LeafSettings.h"
#include "imagemath/typed/TypedArray.h"

namespace Korvanta {
namespace ImageMath {

// Image-level leaf: one image of a set. Every construction and copy derives the device strategy
// (and, for a typed leaf, the data address of the image's CPU memory) from the image anew. A leaf
// without an image describes no image and stays on the CPU.
template <class T>
class Array<SharedImage, T, false> : public ExprBaseTpl<Array<SharedImage, T, false>>,
                                     public internal::ArrayBase,
                                     public internal::ArrayGl<Array<SharedImage, T, false>> {
public:
    Array(SharedImage& image, bool storageValues, MagFilter magFilter, Wrap wrap, const Vector4f& vector)
        : Array(&image, internal::LeafSettings{storageValues, magFilter, wrap, vector}) {}

    Array(SharedImage* image, const internal::LeafSettings& settings)
        : m_storage(image),
          m_data(dataOf(image)),
          m_settings(settings),
          m_deviceStrategy(internal::deviceStrategyOf(image)) {}

    Array(const Array& other) : Array(other.m_storage, other.m_settings) {}

    Array& operator=(const Array&) = delete;

    // The image-level assignment (imagemath/ImageAssignment.h).
    template <class E>
    Array& operator=(const ExprBaseTpl<E>& expr);

    SharedImage* storage() const { return m_storage; }
    void* data() const { return m_data; }
    const internal::LeafSettings& settings() const { return m_settings; }

    ImageDescriptor imgDesc() const override { return internal::descriptorOf(m_storage); }
    std::int32_t numImgs() const override { return 1; }
    std::int32_t deviceStrategy() const override { return m_deviceStrategy; }

    PixelType resultPixelType() const { return imgDesc().pixelType; }

    // The leaf bound to the image's CPU memory: an untyped leaf takes the element type U, a typed
    // leaf keeps its own. Invalid when the memory is missing or of another element type.
    template <class U>
    auto convertToMemImgExpr() const noexcept {
        using E = std::conditional_t<std::is_void_v<T>, U, T>;
        const std::shared_ptr<MemImage> memory = m_storage ? m_storage->sharedMem() : nullptr;
        return Array<TypedImage<E>, E, false>(memory.get(), m_settings);
    }

private:
    friend class internal::ArrayGl<Array>;

    static void* dataOf(SharedImage* image) {
        if (std::is_void_v<T> || !image) {
            return nullptr;
        }
        MemImage* memory = image->mem();
        return memory ? memory->data() : nullptr;
    }

    SharedImage* m_storage;
    void* m_data;
    internal::LeafSettings m_settings;
    std::int32_t m_deviceStrategy;
};

}  // namespace ImageMath
}  // namespace Korvanta
