#pragma once

#include <algorithm>
#include <cstdint>

#include "host/gl/BinaryOpGl.h"
#include "imagemath/BinaryOpBase.h"
#include "imagemath/ExprBaseTpl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Element-wise operation Op of a left operand L (always a leaf) and a right operand R (a leaf or a
// Scalar<float>) at any level. The node records the pixel type of its result when built: the left
// image's at Set and image level, double at memory level.
template <class Op, class L, class R>
class BinaryOpTpl : public ExprBaseTpl<BinaryOpTpl<Op, L, R>>, public BinaryOpBase, public BinaryOpGl {
public:
    using Operator = Op;
    using Left = L;
    using Right = R;

    // Operators are stateless: the node makes its own.
    BinaryOpTpl(const L& lhs, const R& rhs, const Op& /*op*/ = Op())
        : BinaryOpBase(lhs.resultPixelType()), m_lhs(lhs), m_rhs(rhs) {}

    // A copy is built from the source's operands, as if new.
    BinaryOpTpl(const BinaryOpTpl& other) : BinaryOpTpl(other.m_lhs, other.m_rhs, other.m_op) {}
    BinaryOpTpl& operator=(const BinaryOpTpl&) = delete;

    std::int32_t numImgs() const override { return std::max(m_lhs.numImgs(), m_rhs.numImgs()); }
    std::int32_t deviceStrategy() const override {
        return std::min(m_lhs.deviceStrategy(), m_rhs.deviceStrategy());
    }

    GlExprInterface& lhs() override { return m_lhs; }
    const GlExprInterface& lhs() const override { return m_lhs; }
    GlExprInterface& rhs() override { return m_rhs; }
    const GlExprInterface& rhs() const override { return m_rhs; }
    const ImgOps::BinaryImgOpGl& op() const override { return m_op; }

    const L& leftOperand() const { return m_lhs; }
    const R& rightOperand() const { return m_rhs; }

    // The node for destination image i (Set level to image level).
    auto convertToSharedImgExpr(unsigned long i) const {
        auto left = m_lhs.convertToSharedImgExpr(i);
        auto right = m_rhs.convertToSharedImgExpr(i);
        return BinaryOpTpl<Op, decltype(left), decltype(right)>(left, right, m_op);
    }

    // The node bound to CPU memory for destination element type U (image level to memory level).
    template <class U>
    auto convertToMemImgExpr() const noexcept {
        auto left = m_lhs.template convertToMemImgExpr<U>();
        auto right = m_rhs.template convertToMemImgExpr<U>();
        return BinaryOpTpl<Op, decltype(left), decltype(right)>(left, right, m_op);
    }

private:
    L m_lhs;
    R m_rhs;
    Op m_op;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
