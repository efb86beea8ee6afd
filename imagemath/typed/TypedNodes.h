#pragma once

#include "imagemath/BinaryOpTpl.h"
#include "imagemath/ChannelSwizzleViewTpl.h"
#include "imagemath/Scalar.h"
#include "imagemath/UnaryOpTpl.h"
#include "imagemath/typed/TypedArray.h"

// Names of the memory-level expressions that the typed kernels evaluate. T is the destination's
// element type, which the left (or only) operand shares; U is a right-hand image's element type.
namespace Korvanta {
namespace ImageMath {

template <class T>
using TypedLeaf = Array<TypedImage<T>, T, false>;

template <class Op, class T, class U>
using TypedImageImageOp = internal::BinaryOpTpl<Op, TypedLeaf<T>, TypedLeaf<U>>;

template <class Op, class T>
using TypedImageScalarOp = internal::BinaryOpTpl<Op, TypedLeaf<T>, Scalar<float>>;

template <class Op, class T>
using TypedUnaryOp = internal::UnaryOpTpl<Op, TypedLeaf<T>>;

template <class T>
using TypedSwizzleView = internal::ChannelSwizzleViewTpl<TypedLeaf<T>>;

}  // namespace ImageMath
}  // namespace Korvanta
