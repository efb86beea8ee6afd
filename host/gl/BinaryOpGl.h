#pragma once

#include <string>
#include <vector>

#include "host/gl/GlExprInterface.h"
#include "host/gl/ImgOpGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The host's GL side of two-operand nodes: the operator's GLSL fragment over the operands' texts; what a
// shader names, declares and sets for the node is what its operands do, left first. The
// node's role base declares the same operand and operator accessors; the node's one definition of each
// serves both sides.
class BinaryOpGl : public GlExprInterface {
public:
    std::string evalString(bool tag) const override;
    void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const override;
    void getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                  const std::string& text) const override;
    void getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                   const std::string& text) const override;
    bool setArguments(GL::Program& program, const std::vector<int>& indices,
                      const std::string& prefix) const override;
    std::vector<GlExprInterface*> children() override;
    std::vector<const GlExprInterface*> children() const override;

    virtual GlExprInterface& lhs() = 0;
    virtual const GlExprInterface& lhs() const = 0;
    virtual GlExprInterface& rhs() = 0;
    virtual const GlExprInterface& rhs() const = 0;
    virtual const ImgOps::BinaryImgOpGl& op() const = 0;

protected:
    BinaryOpGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
