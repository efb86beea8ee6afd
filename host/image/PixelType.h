#pragma once

namespace Korvanta {

// Element types of image memory, numerically the OpenGL data-type codes. Values outside this list
// can occur (images created by other parts of a host) and must be handled as "unknown".
enum class PixelType : int {
    Byte = 0x1400,
    UByte = 0x1401,
    Short = 0x1402,
    UShort = 0x1403,
    Int = 0x1404,
    UInt = 0x1405,
    Float = 0x1406,
    Double = 0x140A,
    HFloat = 0x140B,
};

}  // namespace Korvanta
