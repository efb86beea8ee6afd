#include "tools/DemoImages.h"

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>

#include "host/core/String.h"
#include "host/image/PixelTypeUtils.h"
#include "tools/ElementAccess.h"
#include "tools/MemoryBudget.h"
#include "tools/NumberText.h"
#include "tools/PixelTypeNames.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

constexpr int largestExtent = 1 << 20;

std::optional<int> positive(const std::string& text) {
    int value = 0;
    if (readNumber(text, value) != NumberProblem::None || value <= 0 || value > largestExtent)
        return std::nullopt;
    return value;
}

// The value of the "value" or "shift" and "scale" settings read in T, as a script's are.
template <class T>
T number(const std::string& key, const std::string& text) {
    T result{};
    const NumberProblem problem = readNumber(text, result);
    if (problem != NumberProblem::None)
        throw std::invalid_argument(
            quoted(key, '\'') + ": " +
            describeNumberProblem(problem, quoted(text, '\''), pixelTypeName(Utils::pixelTypeId<T>())));
    return result;
}

}  // namespace

bool DemoImages::set(const std::string& key, const std::string& text, const std::string& prefix) {
    const std::string shown = prefix + key;
    const auto refuse = [&](const std::string& expected) {
        throw std::invalid_argument(quoted(shown, '\'') + " takes " + expected + ", not " +
                                    quoted(text, '\''));
    };
    const std::string range = "from 1 to " + std::to_string(largestExtent);
    if (key == "type") {
        const std::optional<PixelType> type = pixelTypeFromText(text);
        if (!type || !Utils::isKnownPixelType(*type))
            refuse(pixelTypeNames());
        pixelType = *type;
    } else if (key == "size") {
        const std::vector<std::string> parts = String::split(text, "x", String::NoSplitFlags);
        std::optional<int> extents[3];
        for (std::size_t axis = 0; axis < 3 && parts.size() == 3; ++axis)
            extents[axis] = positive(parts[axis]);
        if (!extents[0] || !extents[1] || !extents[2])
            refuse("WIDTHxHEIGHTxSLICES, each " + range);
        width = *extents[0];
        height = *extents[1];
        slices = *extents[2];
    } else if (key == "channels" || key == "count" || key == "seed") {
        const std::optional<int> number = positive(text);
        if (!number)
            refuse("an integer " + range);
        (key == "channels" ? channels : key == "count" ? count : seed) = *number;
    } else if (key == "shift" || key == "scale") {
        (key == "shift" ? shift : scale) = number<double>(shown, text);
    } else if (key == "fill") {
        if (text != "ramp" && text != "random" && text != "constant")
            refuse("ramp, random or constant");
        fill = text;
    } else if (key == "value") {
        value = text;
    } else {
        return false;
    }
    return true;
}

ImageDescriptor DemoImages::descriptor() const {
    return makeImageDescriptor(pixelType, width, height, slices, channels, shift, scale);
}

std::uint64_t DemoImages::check(const std::string& prefix) const {
    if (fill == "constant")
        Utils::visitElementType(
            pixelType, [&](auto tag) { number<typename decltype(tag)::type>(prefix + "value", value); });
    const std::uint64_t bytes = imageBytes(
        descriptor(), std::string("An image of the ") + (prefix.empty() ? "first" : "second") + " set");
    std::uint64_t total = 0;
    // Within 512 bytes of 2^64 the sum is held as 2^64 - 1, which the budget refuses all the same.
    return __builtin_add_overflow(bytes, imageBookkeepingBytes, &total) ? UINT64_MAX : total;
}

std::unique_ptr<SharedImageSet> DemoImages::make() const {
    const ImageDescriptor d = descriptor();
    std::mt19937 random(static_cast<unsigned>(seed));
    std::uniform_int_distribution<int> randomValue(0, 100);
    auto set = std::make_unique<SharedImageSet>();
    for (int k = 0; k < count; ++k) {
        auto image = std::make_shared<SharedImage>(d);
        visitElements(*image->mem(), [&](auto* elements, std::int64_t elementCount) {
            using T = std::remove_pointer_t<decltype(elements)>;
            if (fill == "constant")
                std::fill_n(elements, elementCount, number<T>("value", value));
            else if (fill == "random")
                std::generate_n(elements, elementCount, [&] { return static_cast<T>(randomValue(random)); });
            else
                for (std::int64_t i = 0; i < elementCount; ++i)
                    elements[i] = static_cast<T>((i + k) % 101);
        });
        set->add(image);
    }
    return set;
}

std::unique_ptr<SharedImageSet> DemoImages::makeProbe() const {
    auto set = std::make_unique<SharedImageSet>();
    set->add(std::make_shared<SharedImage>(makeImageDescriptor(pixelType, 1, 1, 1, channels, shift, scale)));
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
