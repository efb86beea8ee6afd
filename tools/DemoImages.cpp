#include "tools/DemoImages.h"

#include <cstdlib>
#include <random>
#include <sstream>
#include <stdexcept>

#include "host/image/PixelTypeUtils.h"
#include "tools/ElementAccess.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

int positive(const std::string& key, const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0 || value > 1 << 20)
        throw std::invalid_argument("'" + key + "' takes a positive integer up to 1048576, not '" + text +
                                    "'");
    return static_cast<int>(value);
}

double real(const std::string& key, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        throw std::invalid_argument("'" + key + "' takes a number, not '" + text + "'");
    return value;
}

}  // namespace

bool DemoImages::set(const std::string& key, const std::string& text) {
    if (key == "type") {
        pixelType = parsePixelType(text);
    } else if (key == "size") {
        int* extents[] = {&width, &height, &slices};
        std::size_t start = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const std::size_t end = axis == 2 ? text.size() : text.find('x', start);
            if (end == std::string::npos)
                throw std::invalid_argument("'size' takes WIDTHxHEIGHTxSLICES, not '" + text + "'");
            *extents[axis] = positive("size", text.substr(start, end - start));
            start = end + 1;
        }
    } else if (key == "channels") {
        channels = positive(key, text);
    } else if (key == "count") {
        count = positive(key, text);
    } else if (key == "shift") {
        shift = real(key, text);
    } else if (key == "scale") {
        scale = real(key, text);
    } else if (key == "fill") {
        if (text != "ramp" && text != "random" && text != "constant")
            throw std::invalid_argument("'fill' takes ramp, random or constant, not '" + text + "'");
        fill = text;
    } else if (key == "value") {
        value = real(key, text);
    } else if (key == "seed") {
        seed = static_cast<unsigned>(positive(key, text));
    } else {
        return false;
    }
    return true;
}

std::unique_ptr<SharedImageSet> DemoImages::make() const {
    if (!Utils::isKnownPixelType(pixelType))
        throw std::invalid_argument("The demo makes images of the nine known pixel types only");
    const ImageDescriptor d = makeImageDescriptor(pixelType, width, height, slices, channels, shift, scale);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> randomValue(0, 100);
    auto set = std::make_unique<SharedImageSet>();
    for (int k = 0; k < count; ++k) {
        auto image = std::make_shared<SharedImage>(d);
        MemImage& memory = *image->mem();
        for (std::int64_t i = 0; i < d.elementCount(); ++i) {
            const double stored = fill == "constant" ? value
                                  : fill == "random" ? randomValue(random)
                                                     : static_cast<double>((i + k) % 101);
            setStoredValue(memory, i, stored);
        }
        set->add(image);
    }
    return set;
}

std::string DemoImages::summary() const {
    std::ostringstream text;
    text << count << " " << pixelTypeName(pixelType) << " images of " << width << "x" << height << "x"
         << slices << " with " << channels << " channel(s), shift " << shift << ", scale " << scale << ", "
         << fill << " fill";
    return text.str();
}

}  // namespace tools
}  // namespace Korvanta
