#include "host/gl/CompositeGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

void CompositeGl::tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const {
    for (const GlExprInterface* child : children()) {
        child->tagAndAssignNames(tags, counters, prefix);
    }
}

void CompositeGl::getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                           const std::string& text) const {
    for (const GlExprInterface* child : children()) {
        child->getUniformDefinitionList(out, indices, text);
    }
}

void CompositeGl::getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                            const std::string& text) const {
    for (const GlExprInterface* child : children()) {
        child->getVariableDefinitionList(out, indices, text);
    }
}

bool CompositeGl::setArguments(GL::Program& program, const std::vector<int>& indices,
                               const std::string& prefix) const {
    bool set = false;
    for (const GlExprInterface* child : children()) {
        set = child->setArguments(program, indices, prefix) || set;
    }
    return set;
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
