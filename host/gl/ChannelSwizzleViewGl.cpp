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

// GLSL can swizzle at most four components, each one of r, g, b, a. Other lists never reach a
// shader (their device strategy keeps them on the CPU), so they get a readable call-like text.
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
