#pragma once

#include "imagemath/ImgOps.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

// Calls f with a fresh functor of the binary operation that the mode (0 to 4) selects, division being
// Divide (zero-safe over a second set, plain by a scalar). Returns false, calling nothing, for other modes.
template <class Divide, class F>
bool withBinaryOperator(SharedImageArithmeticAlgorithm::Mode mode, F&& f) {
    namespace Ops = ImageMath::ImgOps;
    switch (mode) {
        case SharedImageArithmeticAlgorithm::BinaryAdd:
            f(Ops::add());
            return true;
        case SharedImageArithmeticAlgorithm::BinaryMinus:
            f(Ops::minus());
            return true;
        case SharedImageArithmeticAlgorithm::BinaryMult:
            f(Ops::mult());
            return true;
        case SharedImageArithmeticAlgorithm::BinaryDivide:
            f(Divide());
            return true;
        case SharedImageArithmeticAlgorithm::BinaryPow:
            f(Ops::pow());
            return true;
        default:
            return false;
    }
}

// The same for the unary operations (modes 5 and 6).
template <class F>
bool withUnaryOperator(SharedImageArithmeticAlgorithm::Mode mode, F&& f) {
    namespace Ops = ImageMath::ImgOps;
    switch (mode) {
        case SharedImageArithmeticAlgorithm::UnaryMinus:
            f(Ops::unaryMinus());
            return true;
        case SharedImageArithmeticAlgorithm::UnaryAbs:
            f(Ops::abs());
            return true;
        default:
            return false;
    }
}

}  // namespace Korvanta
