#pragma once

#include <string>
#include <vector>

#include "host/gl/CompositeGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The host's GL side of two-operand nodes: the operator's GLSL fragment over the operands' texts.
// Only ever a base of a complete node that also derives from BinaryOpBase.
class BinaryOpGl : public CompositeGl {
public:
    std::string evalString(bool tag) const override;
    std::vector<GlExprInterface*> children() override;
    std::vector<const GlExprInterface*> children() const override;

protected:
    BinaryOpGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
