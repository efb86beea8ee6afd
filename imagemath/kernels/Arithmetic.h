#pragma once

#include <cmath>

#include "imagemath/ImgOps.h"

// The CPU arithmetic of each operator on the operands' values, one IEEE double operation each (the
// functors themselves only carry the GLSL text and serve here as tags).
namespace Korvanta {
namespace ImageMath {
namespace kernels {

template <class Op>
struct Arithmetic;

// Whether an operator's element loop gains from wide vectors: every operator but pow, whose library call
// per element keeps the loop scalar (and whose result a vector library would not reproduce).
template <class Op>
inline constexpr bool kVectorises = true;
template <>
inline constexpr bool kVectorises<ImgOps::pow> = false;

template <>
struct Arithmetic<ImgOps::add> {
    static double apply(double a, double b) { return a + b; }
};

template <>
struct Arithmetic<ImgOps::minus> {
    static double apply(double a, double b) { return a - b; }
};

template <>
struct Arithmetic<ImgOps::mult> {
    static double apply(double a, double b) { return a * b; }
};

template <>
struct Arithmetic<ImgOps::divide> {
    static double apply(double a, double b) { return a / b; }
};

// The quotient is formed for every element and discarded where the divisor compares equal to zero
// (both zeros; never NaN), which then gives +0 whatever the dividend.
template <>
struct Arithmetic<ImgOps::divideIfNotZero> {
    static double apply(double a, double b) {
        const double quotient = a / b;
        return b == 0.0 ? 0.0 : quotient;
    }
};

// One library pow per element: the results are those of pow itself, so no shortcut that could differ
// from it (a square root differs for -0 and -infinity, for one); only squares that are exact skip the
// call, since pow returns them unchanged (ExactSquare.h).
template <>
struct Arithmetic<ImgOps::pow> {
    static double apply(double base, double exponent) { return std::pow(base, exponent); }
};

template <>
struct Arithmetic<ImgOps::unaryMinus> {
    static double apply(double a) { return -a; }
};

// An ordered comparison, not a cleared sign bit: -0 and NaN pass unchanged.
template <>
struct Arithmetic<ImgOps::abs> {
    static double apply(double a) { return a < 0.0 ? -a : a; }
};

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
