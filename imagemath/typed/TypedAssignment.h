#pragma once

#include "imagemath/kernels/Kernels.h"
#include "imagemath/typed/OperandChecks.h"
#include "imagemath/typed/TypedNodes.h"

// The typed kernels: assigning a memory-level expression to a memory-level leaf binds every leaf to
// its buffer (with its image's shift and scale and its storage-value flag) and runs the kernel of the
// expression's kind. Include this only where assignments are made: it names the kernel entry points,
// which are compiled once in the kernel library.
namespace Korvanta {
namespace ImageMath {
namespace internal {

// The destination: its extents and buffer come from its own image.
template <class T>
kernels::Target<T> bindTarget(const TypedLeaf<T>& leaf) {
    TypedImage<T>& image = *leaf.storage();
    const ImageDescriptor& d = image.descriptor();
    return kernels::Target<T>{image.pointer(), kernels::Extents{d.width, d.height, d.slices, d.channels},
                              d.shift, d.scale, leaf.settings().storageValues};
}

// An operand is read through the buffer address its leaf took when it was bound.
template <class T>
kernels::Source<T> bindSource(const TypedLeaf<T>& leaf) {
    const ImageDescriptor& d = leaf.storage()->descriptor();
    return kernels::Source<T>{leaf.data(), d.shift, d.scale, leaf.settings().storageValues};
}

template <class T, class U>
void requireOperandFits(const TypedLeaf<T>& destination, const TypedLeaf<U>& operand, const char* role) {
    requireBound(operand.valid(), role);
    requireSameLayout(destination.storage()->descriptor(), operand.storage()->descriptor(), role);
}

template <class Op, class T, class U>
void evaluate(const TypedLeaf<T>& destination, const TypedImageImageOp<Op, T, U>& expr) {
    requireOperandFits(destination, expr.leftOperand(), "left operand");
    requireOperandFits(destination, expr.rightOperand(), "right operand");
    kernels::imageImage<Op, T, U>(bindTarget(destination), bindSource(expr.leftOperand()),
                                  bindSource(expr.rightOperand()));
}

template <class Op, class T>
void evaluate(const TypedLeaf<T>& destination, const TypedImageScalarOp<Op, T>& expr) {
    requireOperandFits(destination, expr.leftOperand(), "left operand");
    kernels::imageScalar<Op, T>(bindTarget(destination), bindSource(expr.leftOperand()),
                                expr.rightOperand().value());
}

template <class Op, class T>
void evaluate(const TypedLeaf<T>& destination, const TypedUnaryOp<Op, T>& expr) {
    requireOperandFits(destination, expr.operandLeaf(), "operand");
    kernels::unary<Op, T>(bindTarget(destination), bindSource(expr.operandLeaf()));
}

template <class T>
void evaluate(const TypedLeaf<T>& destination, const TypedSwizzleView<T>& view) {
    requireBound(view.operandLeaf().valid(), "swizzle source");
    requireSwizzleFits(destination.storage()->descriptor(), view.operandDescriptor(),
                       view.operandLeaf().storage()->descriptor(), view.indices());
    kernels::channelSwizzle<T>(bindTarget(destination), bindSource(view.operandLeaf()),
                               view.operandDescriptor().channels, view.indices().data());
}

}  // namespace internal

template <class T>
template <class E>
Array<TypedImage<T>, T, false>& Array<TypedImage<T>, T, false>::operator=(const ExprBaseTpl<E>& expr) {
    internal::requireBound(valid(), "destination");
    internal::evaluate(*this, expr.derived());
    return *this;
}

}  // namespace ImageMath
}  // namespace Korvanta
