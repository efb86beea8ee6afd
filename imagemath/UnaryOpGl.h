#pragma once

#include <string>
#include <vector>

#include "host/gl/CompositeGl.h"
#include "imagemath/UnaryOpBase.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// GL side of one-operand operator nodes: the operator's fragment over the operand's text. Only ever
// a base of a complete node that also derives from UnaryOpBase.
class UnaryOpGl : public CompositeGl {
public:
    std::string evalString(bool tag) const override {
        if (tag) {
            tagAndAssignNamesHelper(*this, "");
        }
        const auto& node = dynamic_cast<const UnaryOpBase&>(*this);
        return node.op().evalString(node.operand().evalString(false));
    }

    std::vector<GlExprInterface*> children() override {
        return {&dynamic_cast<UnaryOpBase&>(*this).operand()};
    }
    std::vector<const GlExprInterface*> children() const override {
        return {&dynamic_cast<const UnaryOpBase&>(*this).operand()};
    }

protected:
    UnaryOpGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
