#include "tools/ImageInput.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "host/image/PixelTypeUtils.h"
#include "tools/ElementAccess.h"
#include "tools/NumberText.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

const char* const keys[] = {"pixelType", "width", "height", "slices", "channels",
                            "shift",     "scale", "memory", "values"};

// The floating value of a number or of one of the names of the values JSON numbers cannot hold.
template <class T>
NumberProblem readValue(const JsonScalar& value, T& result) {
    if (value.kind == JsonScalar::Kind::Number)
        return readNumber(value.text, result);
    if constexpr (std::is_floating_point_v<T>)
        if (value.kind == JsonScalar::Kind::String && readNumberName(value.text, result))
            return NumberProblem::None;
    return NumberProblem::NotANumber;
}

std::string valueProblem(NumberProblem problem, const JsonScalar& value, const std::string& typeName,
                         bool floating) {
    if (problem == NumberProblem::NotANumber && floating)
        return value.shown() + " is not a number, \"NaN\", \"Infinity\", \"-Infinity\" or \"-0\"";
    return describeNumberProblem(problem, value.shown(), typeName);
}

}  // namespace

void ImageInput::fail(const std::string& place, const std::string& problem) const {
    throw std::invalid_argument(place + ": " + problem);
}

std::string ImageInput::keyPlace() const {
    return "\"" + m_key + "\" of " + m_where;
}

std::string ImageInput::elementPlace() const {
    return "element " + std::to_string(m_next) + " of " + m_where;
}

void ImageInput::key(const std::string& key) {
    if (std::find(std::begin(keys), std::end(keys), key) == std::end(keys))
        throw std::invalid_argument(
            "Unknown key \"" + key + "\" in " + m_where +
            " (the keys of an image are \"pixelType\", \"width\", \"height\", \"slices\", "
            "\"channels\", \"shift\", \"scale\", \"memory\" and \"values\")");
    if (m_valuesRead)
        fail(m_where,
             "\"" + key + "\" follows \"values\", which must come after the other keys of its image");
    m_key = key;
}

void ImageInput::scalar(const JsonScalar& value) {
    using Kind = JsonScalar::Kind;
    const std::string place = keyPlace();
    if (m_key == "pixelType") {
        std::optional<PixelType> type;
        int code = -1;
        if (value.kind == Kind::String)
            type = pixelTypeFromText(std::string(value.text));
        else if (value.kind == Kind::Number && readNumber(value.text, code) == NumberProblem::None &&
                 code >= 0 && code <= 0xFFFF)
            type = static_cast<PixelType>(code);
        if (!type)
            fail(place, value.shown() + " is not a pixel type (" + pixelTypeNames() +
                            ", or a code from 0 to 0xFFFF)");
        m_descriptor.pixelType = *type;
        m_hasPixelType = true;
    } else if (m_key == "width" || m_key == "height" || m_key == "slices" || m_key == "channels") {
        int extent = -1;
        if (value.kind != Kind::Number || readNumber(value.text, extent) != NumberProblem::None || extent < 0)
            fail(place, value.shown() + " is not an integer from 0 to " +
                            std::to_string(std::numeric_limits<int>::max()));
        (m_key == "width"    ? m_descriptor.width
         : m_key == "height" ? m_descriptor.height
         : m_key == "slices" ? m_descriptor.slices
                             : m_descriptor.channels) = extent;
    } else if (m_key == "shift" || m_key == "scale") {
        double& number = m_key == "shift" ? m_descriptor.shift : m_descriptor.scale;
        const NumberProblem problem = readValue(value, number);
        if (problem != NumberProblem::None)
            fail(place, valueProblem(problem, value, "double", true));
    } else if (m_key == "memory") {
        if (value.kind != Kind::Boolean)
            fail(place, value.shown() + " is not true or false");
        m_hasMemory = value.text == "true";
    } else {
        notScalar(value.shown());
    }
}

void ImageInput::notScalar(const std::string& shown) const {
    const char* expected = m_key == "values"                      ? "an array of numbers"
                           : m_key == "memory"                    ? "true or false"
                           : m_key == "pixelType"                 ? "a pixel type"
                           : m_key == "shift" || m_key == "scale" ? "a number"
                                                                  : "an integer";
    throw std::invalid_argument(keyPlace() + " is " + shown + ", not " + expected);
}

void ImageInput::beginValues() {
    if (!m_hasPixelType)
        fail(m_where, "\"values\" comes before \"pixelType\", which it must follow");
    if (!m_hasMemory || !Utils::isKnownPixelType(m_descriptor.pixelType))
        fail(m_where, "an image without CPU memory (\"memory\": false, or the pixel type " +
                          pixelTypeName(m_descriptor.pixelType) + ") has no \"values\"");
    m_valuesRead = true;
    allocate();
}

void ImageInput::element(const JsonScalar& value) {
    if (m_next == m_count)
        fail(m_where, "\"values\" holds more than the image's " + std::to_string(m_count) + " elements");
    m_store(*this, value);
    ++m_next;
}

template <class T>
void ImageInput::store(const ImageInput& image, const JsonScalar& value) {
    T& element = static_cast<T*>(image.m_elements)[image.m_next];
    const NumberProblem problem = readValue(value, element);
    if (problem != NumberProblem::None)
        image.fail(image.elementPlace(), valueProblem(problem, value, pixelTypeName(Utils::pixelTypeId<T>()),
                                                      std::is_floating_point_v<T>));
}

void ImageInput::allocate() {
    if (!m_hasPixelType)
        fail(m_where, "\"pixelType\" is missing");
    if (!m_hasMemory || !Utils::isKnownPixelType(m_descriptor.pixelType)) {
        m_image = std::make_shared<SharedImage>(m_descriptor, nullptr);
        return;
    }
    m_budget.reserve(imageBytes(m_descriptor, m_where), m_where);
    m_image = std::make_shared<SharedImage>(m_descriptor);
    visitElements(*m_image->mem(), [&](auto* elements, std::int64_t count) {
        using T = std::remove_pointer_t<decltype(elements)>;
        m_elements = elements;
        m_count = count;
        m_store = &ImageInput::store<T>;
    });
}

std::shared_ptr<SharedImage> ImageInput::finish() {
    if (!m_image) {
        allocate();
        m_next = m_count;  // without "values" every element is zero
    }
    if (m_next != m_count)
        fail(m_where, "\"values\" ends after " + std::to_string(m_next) + " of the image's " +
                          std::to_string(m_count) + " elements");
    return m_image;
}

}  // namespace tools
}  // namespace Korvanta
