#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "host/gl/ChannelSwizzleViewGl.h"
#include "host/image/ImageDescriptor.h"
#include "imagemath/ChannelSwizzleViewBase.h"
#include "imagemath/DeviceStrategy.h"
#include "imagemath/ExprBaseTpl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The leaf X with its channels picked and reordered: channel c of the view is channel indices[c] of
// the operand. Keeps the operand image's descriptor as it was when the view was built; the swizzle
// kernel walks the operand's buffer with it. Copies keep that descriptor.
template <class X>
class ChannelSwizzleViewTpl : public ExprBaseTpl<ChannelSwizzleViewTpl<X>>,
                              public ChannelSwizzleViewBase,
                              public ChannelSwizzleViewGl {
public:
    using Operand = X;

    ChannelSwizzleViewTpl(const X& operand, const std::vector<unsigned long>& indices)
        : ChannelSwizzleViewTpl(SharingIndices{}, operand,
                                std::make_shared<const std::vector<unsigned long>>(indices)) {}
    ChannelSwizzleViewTpl(const ChannelSwizzleViewTpl&) = default;
    ChannelSwizzleViewTpl& operator=(const ChannelSwizzleViewTpl&) = delete;

    std::int32_t numImgs() const override { return m_operand.numImgs(); }
    std::int32_t deviceStrategy() const override {
        return swizzleDeviceStrategy(m_operand.deviceStrategy(), indices().size());
    }

    GlExprInterface& operand() override { return m_operand; }
    const GlExprInterface& operand() const override { return m_operand; }
    const std::vector<unsigned long>& indices() const override { return ChannelSwizzleViewBase::indices(); }

    const X& operandLeaf() const { return m_operand; }
    const ImageDescriptor& operandDescriptor() const { return m_operandDescriptor; }

    auto convertToSharedImgExpr(unsigned long i) const {
        auto leaf = m_operand.convertToSharedImgExpr(i);
        return ChannelSwizzleViewTpl<decltype(leaf)>(SharingIndices{}, leaf, sharedIndices());
    }

    template <class U>
    auto convertToMemImgExpr() const noexcept {
        auto leaf = m_operand.template convertToMemImgExpr<U>();
        return ChannelSwizzleViewTpl<decltype(leaf)>(SharingIndices{}, leaf, sharedIndices());
    }

private:
    template <class>
    friend class ChannelSwizzleViewTpl;

    // A view of another level over the same list.
    ChannelSwizzleViewTpl(SharingIndices, const X& operand, ChannelIndices indices) noexcept
        : ChannelSwizzleViewBase(std::move(indices)),
          m_operand(operand),
          m_operandDescriptor(m_operand.imgDesc()) {}

    X m_operand;
    ImageDescriptor m_operandDescriptor;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
