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

std::vector<GlExprInterface*> BinaryOpGl::children() {
    return {&lhs(), &rhs()};
}

std::vector<const GlExprInterface*> BinaryOpGl::children() const {
    return {&lhs(), &rhs()};
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
