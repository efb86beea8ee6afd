#include "host/image/MemImage.h"

#include <stdexcept>
#include <string>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {

namespace {

// Negative extents have no meaning; a buffer sized from them would be empty while the extents claim
// otherwise, so they are refused before anything is allocated.
std::size_t checkedElementCount(const ImageDescriptor& descriptor) {
    if (descriptor.width < 0 || descriptor.height < 0 || descriptor.slices < 0 || descriptor.channels < 0) {
        throw std::invalid_argument("image descriptor has a negative extent or channel count");
    }
    return static_cast<std::size_t>(descriptor.elementCount());
}

}  // namespace

std::unique_ptr<MemImage> MemImage::create(const ImageDescriptor& descriptor) {
    std::unique_ptr<MemImage> image;
    const bool known = Utils::visitElementType(descriptor.pixelType, [&](auto tag) {
        image = std::make_unique<TypedImage<typename decltype(tag)::type>>(descriptor);
    });
    if (!known) {
        throw std::invalid_argument("MemImage::create: unknown pixel type " +
                                    Utils::pixelTypeCode(descriptor.pixelType));
    }
    return image;
}

bool MemImage::compatible(const MemImage& other, bool checkSize, bool checkType, bool checkSpacing) const {
    const ImageDescriptor& a = descriptor();
    const ImageDescriptor& b = other.descriptor();
    if (checkSize &&
        (a.width != b.width || a.height != b.height || a.slices != b.slices || a.channels != b.channels)) {
        return false;
    }
    if (checkType && a.pixelType != b.pixelType) {
        return false;
    }
    return !checkSpacing || a.spacing == b.spacing;
}

template <class T>
TypedImage<T>::TypedImage(const ImageDescriptor& descriptor)
    : MemImage(descriptor), m_elements(checkedElementCount(descriptor)) {}

template <class T>
TypedImage<T>::TypedImage(const ImageDescriptor& descriptor, std::vector<T> elements)
    : MemImage(descriptor), m_elements(std::move(elements)) {
    if (m_elements.size() != checkedElementCount(descriptor)) {
        throw std::invalid_argument("TypedImage: " + std::to_string(m_elements.size()) +
                                    " elements given for a descriptor of " +
                                    std::to_string(descriptor.elementCount()));
    }
}

template <class T>
std::unique_ptr<MemImage> TypedImage<T>::clone() const {
    return std::make_unique<TypedImage<T>>(*this);
}

template class TypedImage<char>;
template class TypedImage<unsigned char>;
template class TypedImage<short>;
template class TypedImage<unsigned short>;
template class TypedImage<int>;
template class TypedImage<unsigned int>;
template class TypedImage<float>;
template class TypedImage<double>;

}  // namespace Korvanta
