#pragma once

#include <cstdint>
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
    std::string value = "1";    // the constant of "constant", read exactly in the element type
    int seed = 1;

    // Sets the field named by key from text; false for a key that is not one of these. Throws
    // std::invalid_argument naming the setting with its prefix ("" or "second.") and quoting the text
    // when it is not a value of the field ("shift" and "scale" take what a script's image takes).
    // Keys: type, size (WxHxS), channels, count, shift, scale, fill, value, seed.
    bool set(const std::string& key, const std::string& text, const std::string& prefix = "");
    // Of each image.
    ImageDescriptor descriptor() const;
    // What set() cannot check by itself (the constant against the pixel type); throws
    // std::invalid_argument naming the setting with its prefix. Returns the bytes of memory each image
    // needs, its bookkeeping included.
    std::uint64_t check(const std::string& prefix) const;
    // The set of `count` images, after check().
    std::unique_ptr<SharedImageSet> make() const;
    // One image of 1x1x1 of the same pixel type and channels, to check parameters on before making the
    // set.
    std::unique_ptr<SharedImageSet> makeProbe() const;
    std::string summary() const;
};

}  // namespace tools
}  // namespace Korvanta
