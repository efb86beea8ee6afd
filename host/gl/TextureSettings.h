#pragma once

#include <cstdint>

namespace Korvanta {
namespace ImageMath {

// Sampling settings of an image operand on the GPU, numerically the OpenGL codes.
enum class MagFilter : std::uint32_t {
    Nearest = 0x2600,
    Linear = 0x2601,
};

enum class Wrap : std::uint32_t {
    Repeat = 0x2901,
    ClampToEdge = 0x812F,
    MirroredRepeat = 0x8370,
};

}  // namespace ImageMath
}  // namespace Korvanta
