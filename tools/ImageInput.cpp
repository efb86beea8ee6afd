#include "tools/ImageInput.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "host/image/PixelTypeUtils.h"
#include "tools/NumberText.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

const char* const keys[] = {"pixelType", "width", "height", "slices", "channels",
                            "shift",     "scale", "memory", "values"};

bool isFloating(PixelType type) {
    return type == PixelType::Float || type == PixelType::Double;
}

std::string valueProblem(NumberProblem problem, const JsonScalar& value, PixelType type) {
    if (problem == NumberProblem::NotANumber && isFloating(type))
        return value.shown() + " is not a number, \"NaN\", \"Infinity\" or \"-Infinity\"";
    return describeNumberProblem(problem, value.shown(), pixelTypeName(type));
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
            "Unknown key " + quoted(key) + " in " + m_where +
            " (the keys of an image are \"pixelType\", \"width\", \"height\", \"slices\", "
            "\"channels\", \"shift\", \"scale\", \"memory\" and \"values\")");
    m_key = key;
}

void ImageInput::scalar(const JsonScalar& value) {
    using Kind = JsonScalar::Kind;
    const std::string place = keyPlace();
    if (m_key == "pixelType") {
        std::optional<PixelType> type;
        if (value.kind == Kind::String || value.kind == Kind::Number)
            type = pixelTypeFromText(std::string(value.text));
        if (!type)
            fail(place, value.shown() + " is not a pixel type (" + pixelTypeNames() +
                            ", or a code from 0 to 0xFFFF)");
        m_descriptor.pixelType = *type;
        m_given |= pixelType;
        Utils::visitElementType(
            *type, [&](auto tag) { m_elementType = Utils::pixelTypeId<typename decltype(tag)::type>(); });
    } else if (m_key == "width" || m_key == "height" || m_key == "slices" || m_key == "channels") {
        int extent = -1;
        if (readNumber(value, extent) != NumberProblem::None || extent < 0)
            fail(place, value.shown() + " is not an integer from 0 to " +
                            std::to_string(std::numeric_limits<int>::max()));
        (m_key == "width"    ? m_descriptor.width
         : m_key == "height" ? m_descriptor.height
         : m_key == "slices" ? m_descriptor.slices
                             : m_descriptor.channels) = extent;
        m_given |= m_key == "width"    ? width
                   : m_key == "height" ? height
                   : m_key == "slices" ? slices
                                       : channels;
    } else if (m_key == "shift" || m_key == "scale") {
        double& number = m_key == "shift" ? m_descriptor.shift : m_descriptor.scale;
        const NumberProblem problem = readNumber(value, number);
        if (problem != NumberProblem::None)
            fail(place, valueProblem(problem, value, PixelType::Double));
    } else if (m_key == "memory") {
        if (value.kind != Kind::Boolean)
            fail(place, value.shown() + " is not true or false");
        m_memoryKey = value.text == "true";
        m_given |= memory;
    } else {
        notScalar(value.shown());
    }
    requireMemoryForValues();
    checkWhenKnown();
}

void ImageInput::notScalar(const std::string& shown) const {
    const char* expected = m_key == "values"                      ? "an array of numbers"
                           : m_key == "memory"                    ? "true or false"
                           : m_key == "pixelType"                 ? "a pixel type"
                           : m_key == "shift" || m_key == "scale" ? "a number"
                                                                  : "an integer";
    throw std::invalid_argument(keyPlace() + " is " + shown + ", not " + expected);
}

void ImageInput::requireMemoryForValues() const {
    if (!given(values))
        return;
    if (given(memory) && !m_memoryKey)
        fail(m_where, "an image with \"memory\": false has no \"values\"");
    if (given(pixelType) && !Utils::isKnownPixelType(m_descriptor.pixelType))
        fail(m_where, "an image of the pixel type " + pixelTypeName(m_descriptor.pixelType) +
                          " has no CPU memory, and so no \"values\"");
}

void ImageInput::beginValues() {
    m_given |= values;
    requireMemoryForValues();
    if (given(pixelType | extents))
        return startElements();
    const char* const unknown =
        !given(pixelType) ? (given(extents) ? "pixel type is" : "pixel type and extents are") : "extents are";
    m_pending = std::make_unique<PendingValues>(
        m_budget, "Holding the values of " + m_where + " until its " + unknown + " known");
    // Beyond the element count every entry is wrong for being there, and none needs to be held.
    const ImageDescriptor& d = m_descriptor;
    if (given(extents) &&
        (__builtin_mul_overflow(std::int64_t(d.width), std::int64_t(d.height), &m_heldAtMost) ||
         __builtin_mul_overflow(m_heldAtMost, std::int64_t(d.slices), &m_heldAtMost) ||
         __builtin_mul_overflow(m_heldAtMost, std::int64_t(d.channels), &m_heldAtMost)))
        m_heldAtMost = INT64_MAX;
}

void ImageInput::startElements() {
    m_elements = ImageElements::create(m_descriptor, m_budget, m_where);
    m_count = m_descriptor.elementCount();
}

void ImageInput::element(const JsonScalar& value) {
    if (!m_pending)
        return addElement(value);
    if (m_next < m_heldAtMost)
        m_pending->add(value);
    ++m_next;
}

void ImageInput::addElement(const JsonScalar& value) {
    if (m_next == m_count)
        failHoldsMore();
    const NumberProblem problem = m_elements->add(value);
    if (problem != NumberProblem::None)
        fail(elementPlace(), valueProblem(problem, value, m_elementType));
    ++m_next;
}

void ImageInput::failHoldsMore() const {
    fail(m_where, "\"values\" holds more than the image's " + std::to_string(m_count) + " elements");
}

void ImageInput::endValues() {
    m_valuesEnded = true;
    if (!m_pending && m_next < m_count)
        fail(m_where, "\"values\" ends after " + std::to_string(m_next) + " of the image's " +
                          std::to_string(m_count) + " elements");
}

void ImageInput::checkWhenKnown() {
    if (m_pending && m_valuesEnded && given(pixelType | extents))
        checkValues();
}

void ImageInput::checkValues() {
    const std::int64_t read = m_next;
    startElements();
    m_next = 0;
    // Read now as if they had come after the pixel type and extents.
    m_pending->drain([&](const JsonScalar& value) { addElement(value); });
    m_pending.reset();
    if (read > m_next)
        failHoldsMore();
    endValues();
}

std::shared_ptr<SharedImage> ImageInput::finish() {
    if (!given(pixelType))
        fail(m_where, "\"pixelType\" is missing");
    m_given |= extents;  // those not given are 1
    checkWhenKnown();
    std::shared_ptr<SharedImage> image;
    if (!m_memoryKey || !Utils::isKnownPixelType(m_descriptor.pixelType)) {
        image = std::make_shared<SharedImage>(m_descriptor, nullptr);
    } else if (!given(values)) {
        m_budget.reserve(imageBytes(m_descriptor, m_where), m_where);
        image = std::make_shared<SharedImage>(m_descriptor);  // every element zero
    } else {
        image = std::make_shared<SharedImage>(m_descriptor, m_elements->take(m_descriptor));
    }
    m_budget.reserve(imageBookkeepingBytes, m_where);
    return image;
}

}  // namespace tools
}  // namespace Korvanta
