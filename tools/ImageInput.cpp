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
    decide(false);
}

void ImageInput::notScalar(const std::string& shown) const {
    const char* expected = m_key == "values"                      ? "an array of numbers"
                           : m_key == "memory"                    ? "true or false"
                           : m_key == "pixelType"                 ? "a pixel type"
                           : m_key == "shift" || m_key == "scale" ? "a number"
                                                                  : "an integer";
    throw std::invalid_argument(keyPlace() + " is " + shown + ", not " + expected);
}

bool ImageInput::hasElementType() const {
    return given(pixelType) && Utils::isKnownPixelType(m_descriptor.pixelType);
}

void ImageInput::beginValues() {
    m_given |= values;
    decide(false);
    if (given(pixelType | extents) && hasElementType())
        return startElements();
    const char* const unknown =
        !given(pixelType) ? (given(extents) ? "pixel type is" : "pixel type and extents are") : "extents are";
    m_pending = std::make_unique<PendingValues>(
        m_budget, "Holding the values of " + m_where + " until its " + unknown + " known");
    // Beyond the element count every entry is wrong for being there, and none needs to be held; nor does
    // any in an image whose pixel type holds none.
    if (given(pixelType) && !hasElementType()) {
        m_heldAtMost = 0;
    } else if (given(extents)) {
        try {
            m_heldAtMost = m_descriptor.elementCount();
        } catch (const std::invalid_argument&) {
            // A count beyond a signed 64 bits, which the memory check refuses in its turn: no bound here.
        }
    }
}

void ImageInput::startElements() {
    try {
        m_elements = ImageElements::create(m_descriptor, m_budget, m_where);
        m_count = m_descriptor.elementCount();  // after the budget, which refuses the counts it cannot hold
    } catch (const std::invalid_argument& e) {
        // Said once nothing that comes before it can be found any more; no entry is stored meanwhile.
        m_memoryFault = e.what();
    }
}

void ImageInput::element(const JsonScalar& value) {
    if (!m_pending)
        addElement(value, m_next);
    else if (m_next < m_heldAtMost)
        m_pending->add(value);
    ++m_next;
}

void ImageInput::addElement(const JsonScalar& value, std::int64_t index) {
    if (m_fault || !m_elements)
        return;
    if (index == m_count) {
        m_fault = holdsMore();
        return;
    }
    const NumberProblem problem = m_elements->add(value);
    if (problem != NumberProblem::None)
        m_fault = "element " + std::to_string(index) + " of " + m_where + ": " +
                  valueProblem(problem, value, m_elementType);
}

void ImageInput::endValues() {
    m_valuesEnded = true;
    decide(false);
}

void ImageInput::decide(bool atEnd) {
    if (!given(values))
        return;
    // "values" in an image without CPU memory comes first, named by "memory": false when it is given.
    if (given(memory) && !m_memoryKey)
        fail(m_where, "an image with \"memory\": false has no \"values\"");
    const bool memoryKnown = given(memory) || atEnd;
    if (given(pixelType) && !hasElementType() && memoryKnown)
        fail(m_where, "an image of the pixel type " + pixelTypeName(m_descriptor.pixelType) +
                          " has no CPU memory, and so no \"values\"");
    if (m_decided || !m_valuesEnded || !memoryKnown || !hasElementType() || !given(extents))
        return;
    m_decided = true;
    if (m_pending)
        readHeldValues();
    if (m_memoryFault)
        throw std::invalid_argument(*m_memoryFault);
    if (!m_fault && m_next > m_count)  // entries not held, beyond the count
        m_fault = holdsMore();
    if (!m_fault && m_next < m_count)
        m_fault = m_where + ": \"values\" ends after " + std::to_string(m_next) + " of the image's " +
                  std::to_string(m_count) + " elements";
    if (m_fault)
        throw std::invalid_argument(*m_fault);
}

std::string ImageInput::holdsMore() const {
    return m_where + ": \"values\" holds more than the image's " + std::to_string(m_count) + " elements";
}

void ImageInput::readHeldValues() {
    // The image's memory is counted as if its values came after the keys, without those held, which
    // count again as they are read into it.
    const std::uint64_t held = m_pending->heldBytes();
    m_budget.release(held);
    startElements();
    if (m_memoryFault)
        return;
    m_budget.reserve(held, "Holding the values of " + m_where + " while they are read into the image");
    std::int64_t index = 0;
    m_pending->drain([&](const JsonScalar& value) {
        addElement(value, index++);
        return !m_fault;
    });
    m_pending.reset();
}

std::shared_ptr<SharedImage> ImageInput::finish() {
    if (!given(pixelType))
        fail(m_where, "\"pixelType\" is missing");
    m_given |= extents;  // those not given are 1
    decide(true);
    std::shared_ptr<SharedImage> image;
    if (!m_memoryKey || !hasElementType()) {
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
