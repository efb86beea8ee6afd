#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "host/image/SharedImageSet.h"
#include "tests/plugin/TestImages.h"

// The arithmetic of the algorithm worked out independently, in double, for comparing results bit for bit.
namespace Korvanta {
namespace test {

inline double realValue(double stored, const ImageDescriptor& d) {
    return stored / d.scale - d.shift;
}

inline double applyMode(int mode, bool withSecond, double left, double right) {
    switch (mode) {
        case 0:
            return left + right;
        case 1:
            return left - right;
        case 2:
            return left * right;
        case 3:
            return withSecond && right == 0.0 ? 0.0 : left / right;
        case 4:
            return std::pow(left, right);
        case 5:
            return -left;
        case 6:
            return std::fabs(left);
    }
    return left;
}

// The stored element that a destination of the pixel type keeps for the value.
inline double storedAs(PixelType type, double value) {
    auto saturate = [](double v, double low, double high) {
        return std::isnan(v) ? 0.0 : std::round(std::fmin(std::fmax(v, low), high));
    };
    const double int32 = saturate(value, -2147483648.0, 2147483647.0);
    switch (type) {
        case PixelType::Byte:
            return static_cast<std::int8_t>(static_cast<std::int64_t>(int32) & 0xFF);
        case PixelType::UByte:
            return static_cast<double>(static_cast<std::int64_t>(int32) & 0xFF);
        case PixelType::Short:
            return static_cast<std::int16_t>(static_cast<std::int64_t>(int32) & 0xFFFF);
        case PixelType::UShort:
            return static_cast<double>(static_cast<std::int64_t>(int32) & 0xFFFF);
        case PixelType::Int:
            return int32;
        case PixelType::UInt:
            return saturate(value, 0.0, 4294967295.0);
        case PixelType::Float:
        case PixelType::HFloat:
            return static_cast<double>(static_cast<float>(value));
        default:
            return value;
    }
}

}  // namespace test
}  // namespace Korvanta
