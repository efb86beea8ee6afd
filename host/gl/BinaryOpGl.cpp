#include "host/gl/BinaryOpGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

std::string BinaryOpGl::evalString(bool tag) const {
    if (tag) {
        tagAndAssignNamesHelper(*this, "");
    }
    return op().evalString(lhs().evalString(false), rhs().evalString(false));
}

void BinaryOpGl::tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const {
    lhs().tagAndAssignNames(tags, counters, prefix);
    rhs().tagAndAssignNames(tags, counters, prefix);
}

void BinaryOpGl::getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                          const std::string& text) const {
    lhs().getUniformDefinitionList(out, indices, text);
    rhs().getUniformDefinitionList(out, indices, text);
}

void BinaryOpGl::getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                           const std::string& text) const {
    lhs().getVariableDefinitionList(out, indices, text);
    rhs().getVariableDefinitionList(out, indices, text);
}

bool BinaryOpGl::setArguments(GL::Program& program, const std::vector<int>& indices,
                              const std::string& prefix) const {
    // Both operands set theirs, whatever the first returns.
    const bool left = lhs().setArguments(program, indices, prefix);
    const bool right = rhs().setArguments(program, indices, prefix);
    return left || right;
}

std::vector<GlExprInterface*> BinaryOpGl::children() {
    return {&lhs(), &rhs()};
}

std::vector<const GlExprInterface*> BinaryOpGl::children() const {
    return {&lhs(), &rhs()};
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
