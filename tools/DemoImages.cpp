#include "tools/DemoImages.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <stdexcept>

#include "host/image/PixelTypeUtils.h"
#include "tools/ElementAccess.h"
#include "tools/MemoryBudget.h"
#include "tools/NumberText.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

constexpr int largestExtent = 1 << 20;

int positive(const std::string& key, const std::string& text) {
    int value = 0;
    if (readNumber(text, value) != NumberProblem::None || value <= 0 || value > largestExtent)
        throw std::invalid_argument("'" + key + "' takes an integer from 1 to " +
                                    std::to_string(largestExtent) + ", not '" + text + "'");
    return value;
}

double real(const std::string& key, const std::string& text) {
    double value = 0;
    const NumberProblem problem = readNumber(text, value);
    if (problem != NumberProblem::None)
        throw std::invalid_argument("'" + key +
                                    "': " + describeNumberProblem(problem, "'" + text + "'", "double"));
    return value;
}

// The constant read in the element type T, once for all elements.
template <class T>
T constant(const std::string& text, const std::string& prefix) {
    T result{};
    if constexpr (std::is_floating_point_v<T>)
        if (readNumberName(text, result))
            return result;
    const NumberProblem problem = readNumber(text, result);
    if (problem != NumberProblem::None)
        throw std::invalid_argument(
            "'" + prefix + "value': " +
            describeNumberProblem(problem, "'" + text + "'", pixelTypeName(Utils::pixelTypeId<T>())));
    return result;
}

}  // namespace

bool DemoImages::set(const std::string& key, const std::string& text) {
    if (key == "type") {
        const std::optional<PixelType> type = pixelTypeFromText(text);
        if (!type || !Utils::isKnownPixelType(*type))
            throw std::invalid_argument("'type' takes " + pixelTypeNames() + ", not '" + text + "'");
        pixelType = *type;
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
        value = text;
    } else if (key == "seed") {
        seed = static_cast<unsigned>(positive(key, text));
    } else {
        return false;
    }
    return true;
}

std::uint64_t DemoImages::check(const std::string& prefix) const {
    const ImageDescriptor d = makeImageDescriptor(pixelType, width, height, slices, channels, shift, scale);
    if (fill == "constant")
        Utils::visitElementType(pixelType,
                                [&](auto tag) { constant<typename decltype(tag)::type>(value, prefix); });
    const std::uint64_t bytes =
        imageBytes(d, std::string("An image of the ") + (prefix.empty() ? "first" : "second") + " set");
    std::uint64_t total = 0;
    if (__builtin_mul_overflow(bytes, static_cast<std::uint64_t>(count), &total))
        total = UINT64_MAX;
    return total;
}

std::unique_ptr<SharedImageSet> DemoImages::make() const {
    const ImageDescriptor d = makeImageDescriptor(pixelType, width, height, slices, channels, shift, scale);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> randomValue(0, 100);
    auto set = std::make_unique<SharedImageSet>();
    for (int k = 0; k < count; ++k) {
        auto image = std::make_shared<SharedImage>(d);
        visitElements(*image->mem(), [&](auto* elements, std::int64_t elementCount) {
            using T = std::remove_pointer_t<decltype(elements)>;
            if (fill == "constant")
                std::fill_n(elements, elementCount, constant<T>(value, ""));
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
