#pragma once

// Kernels have several versions of their element loops, all giving the same bits: the loops for the
// processor baseline and, on x86 with GCC or Clang, the same loops compiled for AVX2 (the same IEEE
// operations in every lane, contraction off for both); and the shortcuts, integer arithmetic,
// multiplication by exact reciprocals and exact squares for pow(x, 2), each exact where it is used (see
// IntegerArithmetic.h, hasExactReciprocal and ExactSquare.h). Each call picks the fastest version that
// applies, within the current choice.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define IMAGEMATH_KERNELS_HAVE_AVX2 1
#else
#define IMAGEMATH_KERNELS_HAVE_AVX2 0
#endif

// Marks a loop (a function or a lambda, after its parameters) to be inlined wherever it is used, so
// that its AVX2 version is compiled for AVX2 together with the element steps inlined into it.
#if defined(__GNUC__)
#define IMAGEMATH_ALWAYS_INLINE __attribute__((always_inline))
#else
#define IMAGEMATH_ALWAYS_INLINE
#endif

namespace Korvanta {
namespace ImageMath {
namespace kernels {

struct LoopChoice {
    bool avx2 = true;       // where the processor and the operating system support it
    bool shortcuts = true;  // integer arithmetic, exact reciprocals and exact squares where they apply
};

// For tests, which compare the versions, and measurements, which show what each one gains; every
// version is allowed by default.
void setLoopChoice(const LoopChoice& choice);

// What kernel calls use now: the choice, with avx2 cleared where AVX2 cannot run.
LoopChoice currentLoopChoice();

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
