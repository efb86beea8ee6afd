#pragma once

#include <string>
#include <vector>

#include "host/gl/CompositeGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The host's GL side of channel views: a GLSL swizzle of the operand's text, e.g. (image0).bgr.
// Only ever a base of a complete view that also derives from ChannelSwizzleViewBase.
class ChannelSwizzleViewGl : public CompositeGl {
public:
    std::string evalString(bool tag) const override;
    std::vector<GlExprInterface*> children() override;
    std::vector<const GlExprInterface*> children() const override;

protected:
    ChannelSwizzleViewGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
