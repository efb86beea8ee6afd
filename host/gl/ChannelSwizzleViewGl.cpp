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
// text, which the GPU evaluation has to decline. Every image-level assignment offers its expression to the
// GPU evaluation first, so that text reaches it: a list of more than four entries keeps the view off the
// GPU road (device strategy 0), yet its task still offers it; a shorter list with an entry of 4 or more (a
// spare entry that the kernel never uses, say, in the list of an image of fewer channels) may take the GPU
// road as well.
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

void ChannelSwizzleViewGl::tagAndAssignNames(TagMap& tags, TypeCounterMap& counters,
                                             const std::string& prefix) const {
    operand().tagAndAssignNames(tags, counters, prefix);
}

void ChannelSwizzleViewGl::getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                                    const std::string& text) const {
    operand().getUniformDefinitionList(out, indices, text);
}

void ChannelSwizzleViewGl::getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                                     const std::string& text) const {
    operand().getVariableDefinitionList(out, indices, text);
}

bool ChannelSwizzleViewGl::setArguments(GL::Program& program, const std::vector<int>& indices,
                                        const std::string& prefix) const {
    return operand().setArguments(program, indices, prefix);
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
