#pragma once

#include <optional>
#include <string>

#include "host/image/PixelType.h"

namespace Korvanta {
namespace tools {

// "int8", "uint8", "int16", "uint16", "int32", "uint32", "float", "double", "half"; other codes as
// hexadecimal text such as "0x1234".
std::string pixelTypeName(PixelType type);

// A name as above, or a code from 0 to 0xFFFF as a number (as readNumber reads it) or hexadecimal text
// after "0x". Unknown codes are accepted
// (the host must be able to hand over such images); none for text that is none of these.
std::optional<PixelType> pixelTypeFromText(const std::string& text);

// The names, for messages: "int8, uint8, ..., half".
std::string pixelTypeNames();

}  // namespace tools
}  // namespace Korvanta
