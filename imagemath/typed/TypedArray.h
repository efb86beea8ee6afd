#pragma once

#include <cstdint>

#include "host/image/MemImage.h"
#include "host/image/PixelTypeUtils.h"
#include "imagemath/Array.h"
#include "imagemath/ArrayBase.h"
#include "imagemath/ArrayGl.h"
#include "imagemath/DeviceStrategy.h"
#include "imagemath/ExprBaseTpl.h"
#include "imagemath/ImageLookup.h"
#include "imagemath/LeafSettings.h"

namespace Korvanta {
namespace ImageMath {

// Memory-level leaf: one image's CPU memory seen as a TypedImage<T>, as the typed kernels read and
// write it. It points into the memory without owning it. Memory that is missing or holds another
// element type than T gives an invalid leaf (null storage and data), which no kernel accepts.
template <class T>
class Array<TypedImage<T>, T, false> : public ExprBaseTpl<Array<TypedImage<T>, T, false>>,
                                       public internal::ArrayBase,
                                       public internal::ArrayGl<Array<TypedImage<T>, T, false>> {
public:
    Array(MemImage* memory, const internal::LeafSettings& settings) noexcept
        : m_storage(dynamic_cast<TypedImage<T>*>(memory)), m_data(dataOf(m_storage)), m_settings(settings) {}

    // A copy binds the same memory and asks it for its buffer again.
    Array(const Array& other) noexcept : Array(other.m_storage, other.m_settings) {}

    Array& operator=(const Array&) = delete;

    // The typed kernel of expression E into this leaf's memory (imagemath/typed/TypedAssignment.h).
    template <class E>
    Array& operator=(const ExprBaseTpl<E>& expr);

    bool valid() const { return m_storage != nullptr; }
    TypedImage<T>* storage() const { return m_storage; }
    T* data() const { return m_data; }
    const internal::LeafSettings& settings() const { return m_settings; }

    ImageDescriptor imgDesc() const override {
        return m_storage ? m_storage->descriptor() : internal::emptyImageDescriptor();
    }
    std::int32_t numImgs() const override { return 1; }
    std::int32_t deviceStrategy() const override { return m_deviceStrategy; }

    // Nodes over memory compute in double.
    PixelType resultPixelType() const { return Utils::pixelTypeId<double>(); }

private:
    friend class internal::ArrayGl<Array>;

    static T* dataOf(TypedImage<T>* image) noexcept { return image ? image->pointer() : nullptr; }

    TypedImage<T>* m_storage;
    T* m_data;
    internal::LeafSettings m_settings;
    std::int32_t m_deviceStrategy = internal::kCpuOnly;
};

}  // namespace ImageMath
}  // namespace Korvanta
