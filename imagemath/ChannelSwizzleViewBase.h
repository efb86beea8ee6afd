#pragma once

#include <cstdint>
#include <memory>
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
    // Shared by a view and its copies and conversions, which therefore allocate nothing for it.
    using ChannelIndices = std::shared_ptr<const std::vector<unsigned long>>;

    const std::vector<unsigned long>& indices() const { return *m_indices; }

    // The operand's descriptor with one channel per index.
    ImageDescriptor imgDesc() const override {
        ImageDescriptor descriptor = operand().exprInterface().imgDesc();
        descriptor.channels = static_cast<int>(indices().size());
        return descriptor;
    }

    virtual GlExprInterface& operand() = 0;
    virtual const GlExprInterface& operand() const = 0;

protected:
    // Selects the constructors that share a list instead of copying one.
    struct SharingIndices {};

    explicit ChannelSwizzleViewBase(ChannelIndices indices) noexcept : m_indices(std::move(indices)) {}

    const ChannelIndices& sharedIndices() const { return m_indices; }

private:
    ChannelIndices m_indices;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
