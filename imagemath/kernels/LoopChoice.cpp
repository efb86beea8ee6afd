#include "imagemath/kernels/LoopChoice.h"

#include <atomic>

namespace Korvanta {
namespace ImageMath {
namespace kernels {

namespace {

std::atomic<bool> g_avx2{true};
std::atomic<bool> g_shortcuts{true};

bool processorHasAvx2() {
#if IMAGEMATH_KERNELS_HAVE_AVX2
    // Reports AVX2 only where the operating system also saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

void setLoopChoice(const LoopChoice& choice) {
    g_avx2.store(choice.avx2, std::memory_order_relaxed);
    g_shortcuts.store(choice.shortcuts, std::memory_order_relaxed);
}

LoopChoice currentLoopChoice() {
    static const bool avx2Runs = processorHasAvx2();
    return LoopChoice{avx2Runs && g_avx2.load(std::memory_order_relaxed),
                      g_shortcuts.load(std::memory_order_relaxed)};
}

}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
