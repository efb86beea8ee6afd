#pragma once

#include "imagemath/Expressions.h"

// The image leaves of an expression of any kind and level (a scalar is no image leaf): visiting each,
// and rebuilding the expression with each leaf replaced.
namespace Korvanta {
namespace ImageMath {
namespace internal {

template <class S, class T, class F>
void forEachLeaf(const Array<S, T, false>& leaf, F& visit) {
    visit(leaf);
}

template <class F>
void forEachLeaf(const Scalar<float>& /*scalar*/, F& /*visit*/) {}

template <class Op, class L, class R, class F>
void forEachLeaf(const BinaryOpTpl<Op, L, R>& node, F& visit) {
    forEachLeaf(node.leftOperand(), visit);
    forEachLeaf(node.rightOperand(), visit);
}

template <class Op, class X, class F>
void forEachLeaf(const UnaryOpTpl<Op, X>& node, F& visit) {
    forEachLeaf(node.operandLeaf(), visit);
}

template <class X, class F>
void forEachLeaf(const ChannelSwizzleViewTpl<X>& view, F& visit) {
    forEachLeaf(view.operandLeaf(), visit);
}

// replace(leaf) gives the leaf to use instead, of the same type.
template <class S, class T, class F>
Array<S, T, false> withLeavesReplaced(const Array<S, T, false>& leaf, const F& replace) {
    return replace(leaf);
}

template <class F>
Scalar<float> withLeavesReplaced(const Scalar<float>& scalar, const F& /*replace*/) {
    return scalar;
}

template <class Op, class L, class R, class F>
BinaryOpTpl<Op, L, R> withLeavesReplaced(const BinaryOpTpl<Op, L, R>& node, const F& replace) {
    return BinaryOpTpl<Op, L, R>(withLeavesReplaced(node.leftOperand(), replace),
                                 withLeavesReplaced(node.rightOperand(), replace));
}

template <class Op, class X, class F>
UnaryOpTpl<Op, X> withLeavesReplaced(const UnaryOpTpl<Op, X>& node, const F& replace) {
    return UnaryOpTpl<Op, X>(withLeavesReplaced(node.operandLeaf(), replace));
}

template <class X, class F>
ChannelSwizzleViewTpl<X> withLeavesReplaced(const ChannelSwizzleViewTpl<X>& view, const F& replace) {
    return ChannelSwizzleViewTpl<X>(withLeavesReplaced(view.operandLeaf(), replace), view.indices());
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
