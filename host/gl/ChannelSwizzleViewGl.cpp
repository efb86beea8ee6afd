#include "host/gl/ChannelSwizzleViewGl.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace Korvanta {
namespace ImageMath {
namespace internal {

namespace {
constexpr std::size_t kGlslComponents = 4;

// GLSL can swizzle at most four components, each one of r, g, b, a; other lists get a readable call-like
// text. Lists of more than four entries stay on the CPU (device strategy 0), but a shorter list with an
// entry of 4 or more is offered to the GPU evaluation with that text (a spare entry that the kernel never
// uses, say, in the list of an image of fewer channels), and the GPU evaluation has to decline it.
std::string swizzleText(const std::string& operand, const std::vector<unsigned long>& indices) {
    const bool glslSwizzle =
        !indices.empty() && indices.size() <= kGlslComponents &&
        std::all_of(indices.begin(), indices.end(), [](unsigned long i) { return i < kGlslComponents; });
    if (glslSwizzle) {
        std::string text = "(" + operand + ").";
        for (unsigned long index : indices) {
            text += "rgba"[index];
        }
        return text;
    }
    std::string text = "swizzle(" + operand;
    for (unsigned long index : indices) {
        text += ", " + std::to_string(index);
    }
    return text + ")";
}
}  // namespace

std::string ChannelSwizzleViewGl::evalString(bool tag) const {
    if (tag) {
        tagAndAssignNamesHelper(*this, "");
    }
    return swizzleText(operand().evalString(false), indices());
}

std::vector<GlExprInterface*> ChannelSwizzleViewGl::children() {
    return {&operand()};
}

std::vector<const GlExprInterface*> ChannelSwizzleViewGl::children() const {
    return {&operand()};
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
