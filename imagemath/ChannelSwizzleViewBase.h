#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/gl/ExprInterface.h"
#include "host/gl/GlExprInterface.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Role base of channel views: channel c of the view is channel indices()[c] of the operand.
class ChannelSwizzleViewBase : public ExprInterface {
public:
    const std::vector<unsigned long>& indices() const { return m_indices; }

    // The operand's descriptor with one channel per index.
    ImageDescriptor imgDesc() const override {
        ImageDescriptor descriptor = operand().exprInterface().imgDesc();
        descriptor.channels = static_cast<int>(m_indices.size());
        return descriptor;
    }

    virtual GlExprInterface& operand() = 0;
    virtual const GlExprInterface& operand() const = 0;

protected:
    explicit ChannelSwizzleViewBase(std::vector<unsigned long> indices) : m_indices(std::move(indices)) {}

private:
    std::vector<unsigned long> m_indices;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
