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
        m_hasPixelType = true;
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
    } else if (m_key == "shift" || m_key == "scale") {
        double& number = m_key == "shift" ? m_descriptor.shift : m_descriptor.scale;
        const NumberProblem problem = readNumber(value, number);
        if (problem != NumberProblem::None)
            fail(place, valueProblem(problem, value, PixelType::Double));
    } else if (m_key == "memory") {
        if (value.kind != Kind::Boolean)
            fail(place, value.shown() + " is not true or false");
        m_memoryKey = value.text == "true";
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

bool ImageInput::hasMemory() const {
    return m_memoryKey && (!m_hasPixelType || Utils::isKnownPixelType(m_descriptor.pixelType));
}

void ImageInput::refuseValuesWithoutMemory() const {
    fail(m_where, "an image without CPU memory (\"memory\": false, or the pixel type " +
                      pixelTypeName(m_descriptor.pixelType) + ") has no \"values\"");
}

void ImageInput::beginValues() {
    if (!hasMemory())
        refuseValuesWithoutMemory();
    m_hasValues = true;
    if (m_hasPixelType)
        startElements(m_descriptor);
    else
        m_pending = std::make_unique<PendingValues>(m_budget, m_where);
}

void ImageInput::startElements(const ImageDescriptor& expected) {
    m_elements = ImageElements::create(expected, m_budget, m_where);
}

void ImageInput::element(const JsonScalar& value) {
    if (m_pending) {
        m_pending->add(value);
        ++m_next;
    } else {
        addElement(value);
    }
}

void ImageInput::addElement(const JsonScalar& value) {
    const NumberProblem problem = m_elements->add(value);
    if (problem != NumberProblem::None)
        fail(elementPlace(), valueProblem(problem, value, m_elementType));
    ++m_next;
}

std::shared_ptr<SharedImage> ImageInput::finish() {
    if (!m_hasPixelType)
        fail(m_where, "\"pixelType\" is missing");
    std::shared_ptr<SharedImage> image;
    if (!hasMemory()) {
        if (m_hasValues)
            refuseValuesWithoutMemory();
        image = std::make_shared<SharedImage>(m_descriptor, nullptr);
    } else if (!m_hasValues) {
        m_budget.reserve(imageBytes(m_descriptor, m_where), m_where);
        image = std::make_shared<SharedImage>(m_descriptor);  // every element zero
    } else {
        image = std::make_shared<SharedImage>(m_descriptor, takeElements());
    }
    m_budget.reserve(imageBookkeepingBytes, m_where);
    return image;
}

std::shared_ptr<MemImage> ImageInput::takeElements() {
    const std::int64_t count = m_descriptor.elementCount();
    const std::string holdsMore =
        "\"values\" holds more than the image's " + std::to_string(count) + " elements";
    if (m_pending) {
        // Read now as if they had come after the pixel type.
        startElements(m_descriptor);
        m_next = 0;
        m_pending->drain([&](const JsonScalar& value) {
            if (m_next == count)
                fail(m_where, holdsMore);
            addElement(value);
        });
        m_pending.reset();
    }
    if (m_next > count)
        fail(m_where, holdsMore);
    if (m_next < count)
        fail(m_where, "\"values\" ends after " + std::to_string(m_next) + " of the image's " +
                          std::to_string(count) + " elements");
    return m_elements->take(m_descriptor);
}

}  // namespace tools
}  // namespace Korvanta
