#include "host/gl/OperandsGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

void tagOperands(const GlExprInterface& node, TagMap& tags, TypeCounterMap& counters,
                 const std::string& prefix) {
    for (const GlExprInterface* operand : node.children()) {
        operand->tagAndAssignNames(tags, counters, prefix);
    }
}

void appendOperandUniforms(const GlExprInterface& node, std::string& out, const std::vector<int>& indices,
                           const std::string& text) {
    for (const GlExprInterface* operand : node.children()) {
        operand->getUniformDefinitionList(out, indices, text);
    }
}

void appendOperandVariables(const GlExprInterface& node, std::string& out, const std::vector<int>& indices,
                            const std::string& text) {
    for (const GlExprInterface* operand : node.children()) {
        operand->getVariableDefinitionList(out, indices, text);
    }
}

bool setOperandArguments(const GlExprInterface& node, GL::Program& program, const std::vector<int>& indices,
                         const std::string& prefix) {
    bool set = false;
    for (const GlExprInterface* operand : node.children()) {
        set = operand->setArguments(program, indices, prefix) || set;
    }
    return set;
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
