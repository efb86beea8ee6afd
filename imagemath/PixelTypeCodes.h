#pragma once

#include <cstdio>
#include <string>

#include "host/image/PixelTypeUtils.h"

// Which pixel-type codes the plug-in computes, and how its messages name a code.
namespace Korvanta {
namespace ImageMath {

// Whether the code is one of the nine whose CPU memory the kernels compute (half float as float).
inline bool isKnownPixelType(PixelType type) {
    return Utils::visitElementType(type, [](auto) {});
}

// "0x1407".
inline std::string pixelTypeCode(PixelType type) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(type));
    return text;
}

}  // namespace ImageMath
}  // namespace Korvanta
