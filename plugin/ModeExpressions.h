#pragma once

#include <type_traits>
#include <vector>

#include "imagemath/Expressions.h"
#include "imagemath/ImgOps.h"
#include "plugin/SetLeaf.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

// The one table from a mode to what it computes. compute assigns these expressions and "evalString" shows
// their text, so the text cannot drift from the computation.
namespace Korvanta {

// Marks the channel swizzle, the one operation without an operator functor.
struct ChannelSwizzle {};

// Calls f with the operation of the mode as a fresh functor and returns true; returns false, calling
// nothing, for a mode without one. Over a second set, division is zero-safe and modes 5 to 7 have no
// operation; without one, division is plain division by the scalar.
template <bool WithSecondSet, class F>
bool withOperation(SharedImageArithmeticAlgorithm::Mode mode, F&& f) {
    namespace Ops = ImageMath::ImgOps;
    using Algorithm = SharedImageArithmeticAlgorithm;
    switch (mode) {
        case Algorithm::BinaryAdd:
            f(Ops::add());
            return true;
        case Algorithm::BinaryMinus:
            f(Ops::minus());
            return true;
        case Algorithm::BinaryMult:
            f(Ops::mult());
            return true;
        case Algorithm::BinaryDivide:
            f(std::conditional_t<WithSecondSet, Ops::divideIfNotZero, Ops::divide>());
            return true;
        case Algorithm::BinaryPow:
            f(Ops::pow());
            return true;
        default:
            break;
    }
    if constexpr (!WithSecondSet) {
        switch (mode) {
            case Algorithm::UnaryMinus:
                f(Ops::unaryMinus());
                return true;
            case Algorithm::UnaryAbs:
                f(Ops::abs());
                return true;
            case Algorithm::UnaryChannelSwizzle:
                f(ChannelSwizzle());
                return true;
            default:
                break;
        }
    }
    return false;
}

inline bool hasOperation(SharedImageArithmeticAlgorithm::Mode mode, bool withSecondSet) {
    const auto nothing = [](auto) {};
    return withSecondSet ? withOperation<true>(mode, nothing) : withOperation<false>(mode, nothing);
}

// Calls f with the Set-level expression of the mode over the first set's leaf and the right-hand side,
// which is the second set's leaf or, without a second set, the scalar; false when the mode has none.
template <class Right, class F>
bool withExpression(SharedImageArithmeticAlgorithm::Mode mode, const UntypedSetLeaf& left, const Right& right,
                    const std::vector<unsigned long>& channelIndices, F&& f) {
    using namespace ImageMath::internal;
    constexpr bool withSecondSet = !std::is_same_v<Right, ImageMath::Scalar<float>>;
    return withOperation<withSecondSet>(mode, [&](auto op) {
        using Op = decltype(op);
        if constexpr (std::is_base_of_v<ImageMath::ImgOps::BinaryImgOpGl, Op>)
            f(BinaryOpTpl<Op, UntypedSetLeaf, Right>(left, right, op));
        else if constexpr (std::is_base_of_v<ImageMath::ImgOps::UnaryImgOpGl, Op>)
            f(UnaryOpTpl<Op, UntypedSetLeaf>(left, op));
        else
            f(ChannelSwizzleViewTpl<UntypedSetLeaf>(left, channelIndices));
    });
}

}  // namespace Korvanta
