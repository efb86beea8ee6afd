#include "tools/PixelTypeNames.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace Korvanta {
namespace tools {

namespace {

const std::pair<const char*, PixelType> names[] = {
    {"int8", PixelType::Byte},     {"uint8", PixelType::UByte},   {"int16", PixelType::Short},
    {"uint16", PixelType::UShort}, {"int32", PixelType::Int},     {"uint32", PixelType::UInt},
    {"float", PixelType::Float},   {"double", PixelType::Double}, {"half", PixelType::HFloat},
};

}  // namespace

std::string pixelTypeName(PixelType type) {
    for (const auto& [name, code] : names)
        if (code == type)
            return name;
    std::ostringstream text;
    text << "0x" << std::hex << static_cast<int>(type);
    return text.str();
}

PixelType parsePixelType(const std::string& text) {
    for (const auto& [name, code] : names)
        if (text == name)
            return code;
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || code < 0 || code > 0xFFFF)
        throw std::invalid_argument("Unknown pixel type '" + text + "'");
    return static_cast<PixelType>(code);
}

PixelType parsePixelType(const QJsonValue& value) {
    if (value.isDouble())
        return parsePixelType(std::to_string(value.toInt(-1)));
    return parsePixelType(value.toString().toStdString());
}

}  // namespace tools
}  // namespace Korvanta
