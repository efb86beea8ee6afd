#pragma once

#include <string>
#include <vector>

#include "host/gl/GlExprInterface.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// GL side of inner nodes: what a shader declares, names and sets for them is what their operands
// (children(), in order) declare, name and set.
class CompositeGl : public GlExprInterface {
public:
    void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const override;
    void getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                  const std::string& text) const override;
    void getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                   const std::string& text) const override;
    // Every operand sets its own arguments; true when any did.
    bool setArguments(GL::Program& program, const std::vector<int>& indices,
                      const std::string& prefix) const override;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
