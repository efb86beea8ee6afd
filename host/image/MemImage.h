#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/core/HostCallTrace.h"
#include "host/image/ImageDescriptor.h"

namespace Korvanta {

// CPU memory of an image: a descriptor and an interleaved element buffer. Element (x, y, slice, c)
// lies at ((slice * height + y) * width + x) * channels + c.
class MemImage {
public:
    virtual ~MemImage() = default;

    const ImageDescriptor& descriptor() const { return m_descriptor; }
    virtual void* data() = 0;
    virtual const void* data() const = 0;
    virtual std::unique_ptr<MemImage> clone() const = 0;

    // Allocates zeroed memory of the element type that the descriptor's pixel type names (a half-float
    // image gets a float buffer). Throws std::invalid_argument for a pixel type outside the table.
    static std::unique_ptr<MemImage> create(const ImageDescriptor& descriptor);

    // Whether two images have the same extents and channel count; the flags additionally ask for the
    // same pixel type and the same spacing.
    bool compatible(const MemImage& other, bool checkSize = true, bool checkType = false,
                    bool checkSpacing = false) const;

protected:
    explicit MemImage(const ImageDescriptor& descriptor) : m_descriptor(descriptor) {}

private:
    ImageDescriptor m_descriptor;
};

// The typed buffer of one element type; owns its elements.
template <class T>
class TypedImage : public MemImage {
public:
    // Zeroed buffer of descriptor.elementCount() elements; the descriptor's pixel type is kept as given.
    explicit TypedImage(const ImageDescriptor& descriptor);
    // Takes the given elements, which must number descriptor.elementCount().
    TypedImage(const ImageDescriptor& descriptor, std::vector<T> elements);

    T* pointer() {
        HostCallTrace::record(HostCallTrace::Call::Pointer, this);
        return m_elements.data();
    }
    const T* pointer() const {
        HostCallTrace::record(HostCallTrace::Call::Pointer, this);
        return m_elements.data();
    }
    std::int64_t size() const { return static_cast<std::int64_t>(m_elements.size()); }

    void* data() override { return m_elements.data(); }
    const void* data() const override { return m_elements.data(); }
    std::unique_ptr<MemImage> clone() const override;

private:
    std::vector<T> m_elements;
};

extern template class TypedImage<char>;
extern template class TypedImage<unsigned char>;
extern template class TypedImage<short>;
extern template class TypedImage<unsigned short>;
extern template class TypedImage<int>;
extern template class TypedImage<unsigned int>;
extern template class TypedImage<float>;
extern template class TypedImage<double>;

// The `Image` vocabulary of the host: images are compared through their CPU memory.
using Image = MemImage;

}  // namespace Korvanta
