#include "tools/PixelTypeNames.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "host/image/PixelTypeUtils.h"

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
    return Utils::pixelTypeCode(type);
}

std::optional<PixelType> pixelTypeFromText(const std::string& text) {
    for (const auto& [name, code] : names)
        if (text == name)
            return code;
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || *end != '\0' || code < 0 ||
        code > 0xFFFF)
        return std::nullopt;
    return static_cast<PixelType>(code);
}

std::string pixelTypeNames() {
    std::string list;
    for (const auto& [name, code] : names)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

}  // namespace tools
}  // namespace Korvanta
