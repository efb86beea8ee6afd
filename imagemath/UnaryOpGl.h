#pragma once

#include <string>
#include <vector>

#include "host/gl/GlExprInterface.h"
#include "host/gl/ImgOpGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// GL side of one-operand operator nodes: the operator's fragment over the operand's text; what a shader
// names, declares and sets for the node is what its operand does. The node's role base declares the same
// operand and operator accessors; the node's one definition of each serves both sides.
class UnaryOpGl : public GlExprInterface {
public:
    std::string evalString(bool tag) const override {
        if (tag) {
            tagAndAssignNamesHelper(*this, "");
        }
        return op().evalString(operand().evalString(false));
    }

    void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const override {
        operand().tagAndAssignNames(tags, counters, prefix);
    }
    void getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                  const std::string& text) const override {
        operand().getUniformDefinitionList(out, indices, text);
    }
    void getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                   const std::string& text) const override {
        operand().getVariableDefinitionList(out, indices, text);
    }
    bool setArguments(GL::Program& program, const std::vector<int>& indices,
                      const std::string& prefix) const override {
        return operand().setArguments(program, indices, prefix);
    }

    std::vector<GlExprInterface*> children() override { return {&operand()}; }
    std::vector<const GlExprInterface*> children() const override { return {&operand()}; }

    virtual const GlExprInterface& operand() const = 0;
    virtual GlExprInterface& operand() = 0;
    virtual const ImgOps::UnaryImgOpGl& op() const = 0;

protected:
    UnaryOpGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
