#pragma once

#include <optional>
#include <vector>

#include "host/image/ImageDescriptor.h"
#include "host/image/PixelType.h"

namespace Korvanta {
namespace Utils {

// Pixel type code of an element type.
template <class T>
constexpr PixelType pixelTypeId();
template <> constexpr PixelType pixelTypeId<char>() { return PixelType::Byte; }
template <> constexpr PixelType pixelTypeId<unsigned char>() { return PixelType::UByte; }
template <> constexpr PixelType pixelTypeId<short>() { return PixelType::Short; }
template <> constexpr PixelType pixelTypeId<unsigned short>() { return PixelType::UShort; }
template <> constexpr PixelType pixelTypeId<int>() { return PixelType::Int; }
template <> constexpr PixelType pixelTypeId<unsigned int>() { return PixelType::UInt; }
template <> constexpr PixelType pixelTypeId<float>() { return PixelType::Float; }
template <> constexpr PixelType pixelTypeId<double>() { return PixelType::Double; }

// Pixel type of images whose values are of type T (the same table as pixelTypeId).
template <class T>
constexpr PixelType imageTypeId() { return pixelTypeId<T>(); }

// Whether a code is one of the nine pixel types with CPU memory.
bool isKnownPixelType(PixelType type);

}  // namespace Utils

// One descriptor for the result of combining images: the extents and channel count of the largest
// image, the first image's spacing, shift and scale; the pixel type given, or the first image's.
// `ignoreShiftScale` resets shift and scale to 0 and 1. Throws std::invalid_argument for no images.
ImageDescriptor combineImageDescriptors(const std::vector<ImageDescriptor>& descriptors, bool ignoreShiftScale,
                                        std::optional<PixelType> pixelType);

}  // namespace Korvanta
