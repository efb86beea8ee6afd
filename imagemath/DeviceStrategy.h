#pragma once

#include <cstddef>
#include <cstdint>

#include "host/image/ImageDescriptor.h"
#include "host/image/PixelType.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Where a node may be evaluated; nodes compose their operands' values by minimum.
constexpr std::int32_t kCpuOnly = 0;
constexpr std::int32_t kGpuAlways = 1;
constexpr std::int32_t kGpuWhenResident = 2;  // on the GPU only when the destination has a GPU copy

// An image can be sampled on the GPU unless its elements are 32-bit integers or doubles or it has
// more channels than a texel holds.
constexpr std::int32_t leafDeviceStrategy(const ImageDescriptor& descriptor) {
    const PixelType type = descriptor.pixelType;
    if (type == PixelType::Int || type == PixelType::UInt || type == PixelType::Double) {
        return kCpuOnly;
    }
    return descriptor.channels <= 4 ? kGpuWhenResident : kCpuOnly;
}

// A shader can swizzle at most four components.
constexpr std::int32_t swizzleDeviceStrategy(std::int32_t operandStrategy, std::size_t indexCount) {
    const std::int32_t limit = indexCount <= 4 ? kGpuWhenResident : kCpuOnly;
    return operandStrategy < limit ? operandStrategy : limit;
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
