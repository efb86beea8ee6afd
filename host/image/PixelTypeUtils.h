#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "host/image/ImageDescriptor.h"
#include "host/image/PixelType.h"

namespace Korvanta {
namespace Utils {

// Pixel type code of an element type.
template <class T>
constexpr PixelType pixelTypeId();
// clang-format off
template <> constexpr PixelType pixelTypeId<char>() { return PixelType::Byte; }
template <> constexpr PixelType pixelTypeId<unsigned char>() { return PixelType::UByte; }
template <> constexpr PixelType pixelTypeId<short>() { return PixelType::Short; }
template <> constexpr PixelType pixelTypeId<unsigned short>() { return PixelType::UShort; }
template <> constexpr PixelType pixelTypeId<int>() { return PixelType::Int; }
template <> constexpr PixelType pixelTypeId<unsigned int>() { return PixelType::UInt; }
template <> constexpr PixelType pixelTypeId<float>() { return PixelType::Float; }
template <> constexpr PixelType pixelTypeId<double>() { return PixelType::Double; }
// clang-format on

// The number an element of type T holds: `char` elements are the signed 8-bit pixel type, also where the
// platform's plain char is unsigned.
template <class T>
using ElementNumber = std::conditional_t<std::is_same_v<T, char>, signed char, T>;

// Pixel type of images whose values are of type T (the same table as pixelTypeId).
template <class T>
constexpr PixelType imageTypeId() {
    return pixelTypeId<T>();
}

// Whether a code is one of the nine pixel types with CPU memory.
bool isKnownPixelType(PixelType type);

// "0x1407": the code as it appears in messages about unknown pixel types.
std::string pixelTypeCode(PixelType type);

// Names an element type without a value of it.
template <class T>
struct ElementTag {
    using type = T;
};

template <class... T>
struct TypeList {};
using ElementTypes = TypeList<char, unsigned char, short, unsigned short, int, unsigned int, float, double>;

namespace detail {
template <class Visitor, class... T>
bool visitElementTypeOf(PixelType type, Visitor& visitor, TypeList<T...>) {
    return ((type == pixelTypeId<T>() && (visitor(ElementTag<T>{}), true)) || ...);
}
}  // namespace detail

// Calls visitor(ElementTag<T>{}) with the element type of the CPU memory of a pixel type (float for
// half float) and returns true; returns false, calling nothing, for a code outside the table. The one
// place where a run-time pixel type becomes a compile-time element type.
template <class Visitor>
bool visitElementType(PixelType type, Visitor&& visitor) {
    const PixelType memoryType = type == PixelType::HFloat ? PixelType::Float : type;
    return detail::visitElementTypeOf(memoryType, visitor, ElementTypes{});
}

}  // namespace Utils

// One descriptor for the result of combining images: the extents and channel count of the largest
// image, the first image's spacing, shift and scale; the pixel type given, or the first image's.
// `ignoreShiftScale` resets shift and scale to 0 and 1. Throws std::invalid_argument for no images.
ImageDescriptor combineImageDescriptors(const std::vector<ImageDescriptor>& descriptors,
                                        bool ignoreShiftScale, std::optional<PixelType> pixelType);

}  // namespace Korvanta
