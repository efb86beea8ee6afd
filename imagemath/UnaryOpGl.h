#pragma once

#include <string>
#include <vector>

#include "host/gl/CompositeGl.h"
#include "host/gl/ImgOpGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// GL side of one-operand operator nodes: the operator's fragment over the operand's text. The node's
// role base declares the same operand and operator accessors; the node's one definition of each serves
// both sides.
class UnaryOpGl : public CompositeGl {
public:
    std::string evalString(bool tag) const override {
        if (tag) {
            tagAndAssignNamesHelper(*this, "");
        }
        return op().evalString(operand().evalString(false));
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
