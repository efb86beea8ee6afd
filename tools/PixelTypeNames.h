#pragma once

#include <QJsonValue>
#include <string>

#include "host/image/PixelType.h"

namespace Korvanta {
namespace tools {

// "int8", "uint8", "int16", "uint16", "int32", "uint32", "float", "double", "half"; other codes as
// hexadecimal text such as "0x1234".
std::string pixelTypeName(PixelType type);

// A name as above, a number, or hexadecimal text. Unknown codes are accepted (the host must be able to
// hand over such images); text that is none of these throws std::invalid_argument.
PixelType parsePixelType(const std::string& text);
PixelType parsePixelType(const QJsonValue& value);

}  // namespace tools
}  // namespace Korvanta
