#pragma once

#include <cstdint>

#include "imagemath/ExprBaseTpl.h"
#include "imagemath/UnaryOpBase.h"
#include "imagemath/UnaryOpGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Element-wise operation Op of one leaf X at any level. The result pixel type is recorded when the
// node is built (the operand image's at Set and image level, double at memory level) and kept by
// copies; the operand is copied by the leaf's own rule.
template <class Op, class X>
class UnaryOpTpl : public ExprBaseTpl<UnaryOpTpl<Op, X>>, public UnaryOpBase, public UnaryOpGl {
public:
    using Operator = Op;
    using Operand = X;

    explicit UnaryOpTpl(const X& operand, const Op& /*op*/ = Op())
        : UnaryOpBase(operand.resultPixelType()), m_operand(operand) {}
    UnaryOpTpl(const UnaryOpTpl&) = default;
    UnaryOpTpl& operator=(const UnaryOpTpl&) = delete;

    std::int32_t numImgs() const override { return m_operand.numImgs(); }
    std::int32_t deviceStrategy() const override { return m_operand.deviceStrategy(); }

    const GlExprInterface& operand() const override { return m_operand; }
    GlExprInterface& operand() override { return m_operand; }
    const ImgOps::UnaryImgOpGl& op() const override { return m_op; }

    const X& operandLeaf() const { return m_operand; }

    auto convertToSharedImgExpr(unsigned long i) const {
        auto leaf = m_operand.convertToSharedImgExpr(i);
        return UnaryOpTpl<Op, decltype(leaf)>(leaf, m_op);
    }

    template <class U>
    auto convertToMemImgExpr() const noexcept {
        auto leaf = m_operand.template convertToMemImgExpr<U>();
        return UnaryOpTpl<Op, decltype(leaf)>(leaf, m_op);
    }

private:
    X m_operand;
    Op m_op;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
