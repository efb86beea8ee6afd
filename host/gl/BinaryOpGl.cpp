#include "host/gl/BinaryOpGl.h"

#include "host/gl/OperandsGl.h"

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
    tagOperands(*this, tags, counters, prefix);
}

void BinaryOpGl::getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                          const std::string& text) const {
    appendOperandUniforms(*this, out, indices, text);
}

void BinaryOpGl::getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                           const std::string& text) const {
    appendOperandVariables(*this, out, indices, text);
}

bool BinaryOpGl::setArguments(GL::Program& program, const std::vector<int>& indices,
                              const std::string& prefix) const {
    return setOperandArguments(*this, program, indices, prefix);
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
