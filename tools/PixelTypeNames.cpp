#include "tools/PixelTypeNames.h"

#include <charconv>
#include <utility>

#include "host/image/PixelTypeUtils.h"
#include "tools/NumberText.h"

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
    int code = -1;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), code, 16);
        if (error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
    } else if (readNumber(text, code) != NumberProblem::None) {
        return std::nullopt;
    }
    if (code < 0 || code > 0xFFFF)
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
