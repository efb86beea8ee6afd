#pragma once

#include "imagemath/Expressions.h"

// Brings the CPU memory of every image an image-level expression reads up to date, before a task
// reads it on another thread.
namespace Korvanta {
namespace ImageMath {
namespace internal {

template <class T>
void syncOperands(const Array<SharedImage, T, false>& leaf) {
    if (leaf.storage()) {
        leaf.storage()->syncMem();
    }
}

inline void syncOperands(const Scalar<float>& /*scalar*/) {}

template <class Op, class L, class R>
void syncOperands(const BinaryOpTpl<Op, L, R>& node) {
    syncOperands(node.leftOperand());
    syncOperands(node.rightOperand());
}

template <class Op, class X>
void syncOperands(const UnaryOpTpl<Op, X>& node) {
    syncOperands(node.operandLeaf());
}

template <class X>
void syncOperands(const ChannelSwizzleViewTpl<X>& view) {
    syncOperands(view.operandLeaf());
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
