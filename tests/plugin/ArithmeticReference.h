#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "host/core/Properties.h"
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

// The algorithm's parameters for one computation, and the record that configures them.
struct Settings {
    int mode = 0;
    bool inPlace = false;
    float rightHandSide = 1.0f;
    std::vector<unsigned long> channelIndices = {0, 1, 2, 3};
};

inline Properties record(const Settings& run) {
    Properties p;
    p.setParam("mode", run.mode);
    p.setParam("inPlace", run.inPlace);
    p.setParam("rightHandSide", run.rightHandSide);
    p.setParam("channelIndices", run.channelIndices);
    return p;
}

// The stored values of an image's CPU memory, widened to double.
inline std::vector<double> storedValues(SharedImage& image) {
    std::vector<double> values;
    for (std::int64_t i = 0; i < image.descriptor().elementCount(); ++i)
        values.push_back(storedAt(image, i));
    return values;
}

// The stored values that the algorithm must leave in image k of the destination, computed from the
// first set (and second set, if any) as they were before the computation.
inline std::vector<double> expectedStoredValues(const SharedImageSet& first, const SharedImageSet* second,
                                                const Settings& run, int k) {
    const int mode = run.mode;
    SharedImage& left = *first.get(k);
    // The destination is computed in its memory's element type, shift and scale.
    const ImageDescriptor d = left.mem()->descriptor();
    const bool computes = (mode >= 0 && mode <= 4) || (!second && mode >= 5 && mode <= 7);
    if (!computes)
        return storedValues(left);
    std::vector<double> out(static_cast<std::size_t>(d.elementCount()));
    for (std::int64_t i = 0; i < d.elementCount(); ++i) {
        const double l = realValue(storedAt(left, i), d);
        double value = 0;
        if (mode == 7) {
            const std::int64_t c = i % d.channels;
            const std::int64_t source = i - c + static_cast<std::int64_t>(run.channelIndices[c]);
            value = realValue(storedAt(left, source), d);
        } else if (second) {
            SharedImage& rightImage = *second->get(second->size() == 1 ? 0 : k);
            value = applyMode(mode, true, l, realValue(storedAt(rightImage, i), rightImage.descriptor()));
        } else {
            value = applyMode(mode, false, l, static_cast<double>(run.rightHandSide));
        }
        out[static_cast<std::size_t>(i)] = storedAs(d.pixelType, (value + d.shift) * d.scale);
    }
    return out;
}

}  // namespace test
}  // namespace Korvanta
