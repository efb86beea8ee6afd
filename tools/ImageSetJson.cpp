#include "tools/ImageSetJson.h"

#include <QJsonArray>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "host/image/PixelTypeUtils.h"
#include "tools/ElementAccess.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

// Generous for scripts, but stops a typing error from asking for terabytes.
constexpr std::int64_t maximumElements = std::int64_t(1) << 31;

[[noreturn]] void fail(const std::string& where, const std::string& problem) {
    throw std::invalid_argument(where + ": " + problem);
}

int extent(const QJsonObject& object, const char* key, int fallback, const std::string& where) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return fallback;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > std::numeric_limits<int>::max() ||
        std::trunc(number) != number)
        fail(where, std::string("\"") + key + "\" must be a non-negative integer");
    return static_cast<int>(number);
}

double number(const QJsonValue& value, const std::string& where) {
    if (value.isDouble())
        return value.toDouble();
    const QString text = value.toString();
    if (text == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity")
        return std::numeric_limits<double>::infinity();
    if (text == "-Infinity")
        return -std::numeric_limits<double>::infinity();
    if (text == "-0")
        return -0.0;
    fail(where, "expected a number, \"NaN\", \"Infinity\", \"-Infinity\" or \"-0\"");
}

QJsonValue toJson(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0.0 && std::signbit(value))
        return QStringLiteral("-0");  // a JSON number would lose the sign
    return value;
}

std::shared_ptr<SharedImage> imageFromJson(const QJsonObject& object, const std::string& where) {
    ImageDescriptor d;
    d.pixelType = parsePixelType(object.value("pixelType"));
    d.width = extent(object, "width", 1, where);
    d.height = extent(object, "height", 1, where);
    d.slices = extent(object, "slices", 1, where);
    d.channels = extent(object, "channels", 1, where);
    d.shift = object.contains("shift") ? number(object.value("shift"), where + " shift") : 0.0;
    d.scale = object.contains("scale") ? number(object.value("scale"), where + " scale") : 1.0;
    const QJsonArray values = object.value("values").toArray();
    if (!object.value("memory").toBool(true) || !Utils::isKnownPixelType(d.pixelType)) {
        if (!values.isEmpty())
            fail(where, "an image without CPU memory has no values");
        return std::make_shared<SharedImage>(d, nullptr);
    }
    const std::int64_t count = d.elementCount();
    if (count > maximumElements)
        fail(where, "more than " + std::to_string(maximumElements) + " elements");
    if (object.contains("values") && values.size() != count)
        fail(where,
             "holds " + std::to_string(values.size()) + " values for " + std::to_string(count) + " elements");
    auto image = std::make_shared<SharedImage>(d);
    for (int i = 0; i < values.size(); ++i) {
        const std::string element = where + " element " + std::to_string(i);
        try {
            setStoredValue(*image->mem(), i, number(values[i], element));
        } catch (const std::invalid_argument& e) {
            fail(element, e.what());
        }
    }
    return image;
}

QJsonObject imageToJson(SharedImage& image) {
    const ImageDescriptor d = image.descriptor();
    QJsonObject object{{"pixelType", QString::fromStdString(pixelTypeName(d.pixelType))},
                       {"width", d.width},
                       {"height", d.height},
                       {"slices", d.slices},
                       {"channels", d.channels},
                       {"shift", toJson(d.shift)},
                       {"scale", toJson(d.scale)}};
    const MemImage* memory = image.mem();
    if (!memory) {
        object.insert("memory", false);
        return object;
    }
    QJsonArray values;
    for (std::int64_t i = 0; i < memory->descriptor().elementCount(); ++i)
        values.append(toJson(storedValue(*memory, i)));
    object.insert("values", values);
    return object;
}

}  // namespace

std::unique_ptr<SharedImageSet> imageSetFromJson(const QJsonObject& object) {
    auto set = std::make_unique<SharedImageSet>();
    const QJsonArray images = object.value("images").toArray();
    for (int i = 0; i < images.size(); ++i)
        set->add(imageFromJson(images[i].toObject(), "image " + std::to_string(i)));
    if (object.contains("selection")) {
        std::vector<int> selection;
        for (const QJsonValue& index : object.value("selection").toArray())
            selection.push_back(index.toInt(-1));
        set->setSelection(Selection(selection));
    }
    set->setModality(static_cast<Data::Modality>(object.value("modality").toInt(0)));
    return set;
}

QJsonObject imageSetToJson(const SharedImageSet& set) {
    QJsonArray images;
    for (int i = 0; i < set.size(); ++i)
        images.append(imageToJson(*set.get(i)));
    return QJsonObject{{"images", images}};
}

}  // namespace tools
}  // namespace Korvanta
