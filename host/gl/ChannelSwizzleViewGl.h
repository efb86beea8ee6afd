#pragma once

#include <string>
#include <vector>

#include "host/gl/GlExprInterface.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The host's GL side of channel views: a GLSL swizzle of the operand's text, e.g. (image0).bgr; what a
// shader names, declares and sets for the view is what its operand does. The
// view's role base declares the same operand accessors and holds the index list.
class ChannelSwizzleViewGl : public GlExprInterface {
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

    virtual GlExprInterface& operand() = 0;
    virtual const GlExprInterface& operand() const = 0;
    // Channel c of the view is channel indices()[c] of the operand.
    virtual const std::vector<unsigned long>& indices() const = 0;

protected:
    ChannelSwizzleViewGl() = default;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
