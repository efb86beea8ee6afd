#pragma once

// Kernels have several versions of their element loops, all giving the same bits: the loops for the
// processor baseline and, on x86 with GCC or Clang, the same loops compiled for AVX2 (the same IEEE
// operations in every lane, contraction off for both); and the shortcuts, integer arithmetic and
// multiplication by exact reciprocals, each exact where it is used (see IntegerArithmetic.h and
// hasExactReciprocal). Each call picks the fastest version that applies, within the current choice.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define IMAGEMATH_KERNELS_HAVE_AVX2 1
#else
#define IMAGEMATH_KERNELS_HAVE_AVX2 0
#endif

namespace Korvanta {
namespace ImageMath {
namespace kernels {

struct LoopChoice {
    bool avx2 = true;       // where the processor and the operating system support it
    bool shortcuts = true;  // integer arithmetic and exact reciprocals where they apply
};

// For tests, which compare the versions, and measurements, which show what each one gains; every
// version is allowed by default.
void setLoopChoice(const LoopChoice& choice);

// What kernel calls use now: the choice, with avx2 cleared where AVX2 cannot run.
LoopChoice currentLoopChoice();

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
