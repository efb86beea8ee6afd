#pragma once

#include <memory>
#include <string>

#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace tools {

// Generated images for the demo.
struct DemoImages {
    PixelType pixelType = PixelType::UShort;
    int width = 256, height = 256, slices = 64, channels = 1;
    int count = 4;
    double shift = 0.0, scale = 1.0;
    std::string fill = "ramp";  // "ramp", "random" or "constant"
    double value = 1.0;         // the constant of "constant"
    unsigned seed = 1;

    // Sets the field named by key from text; false for a key that is not one of these.
    // Keys: type, size (WxHxS), channels, count, shift, scale, fill, value, seed.
    bool set(const std::string& key, const std::string& text);
    // The set of `count` images; throws std::invalid_argument for settings that make no images.
    std::unique_ptr<SharedImageSet> make() const;
    std::string summary() const;
};

}  // namespace tools
}  // namespace Korvanta
