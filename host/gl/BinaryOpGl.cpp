#include "host/gl/BinaryOpGl.h"

#include "imagemath/BinaryOpBase.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

std::string BinaryOpGl::evalString(bool tag) const {
    if (tag) {
        tagAndAssignNamesHelper(*this, "");
    }
    const auto& node = dynamic_cast<const BinaryOpBase&>(*this);
    return node.op().evalString(node.lhs().evalString(false), node.rhs().evalString(false));
}

std::vector<GlExprInterface*> BinaryOpGl::children() {
    auto& node = dynamic_cast<BinaryOpBase&>(*this);
    return {&node.lhs(), &node.rhs()};
}

std::vector<const GlExprInterface*> BinaryOpGl::children() const {
    const auto& node = dynamic_cast<const BinaryOpBase&>(*this);
    return {&node.lhs(), &node.rhs()};
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
