#pragma once

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

// Each case runs its bound and its kernel in turn, once each per iteration, so that both see the same
// machine state (other load, clock, caches). The iteration time is the kernel's: items_per_second is
// its rate; bound_items_per_second is the bound's and fraction_of_bound the kernel's share of it.
namespace bench {

template <class Run>
double secondsOf(const Run& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs each of `runs` once per iteration, in turn; the iteration time is the last run's. Returns the
// seconds that each run took in all.
template <class... Runs>
std::array<double, sizeof...(Runs)> timeInTurn(benchmark::State& state, const Runs&... runs) {
    std::array<double, sizeof...(Runs)> seconds{};
    for (auto _ : state) {
        std::size_t run = 0;
        double last = 0.0;
        ((last = secondsOf(runs), seconds[run++] += last), ...);
        state.SetIterationTime(last);
    }
    return seconds;
}

inline double itemsOf(benchmark::State& state, std::int64_t elements) {
    const double items = static_cast<double>(state.iterations()) * static_cast<double>(elements);
    state.SetItemsProcessed(static_cast<std::int64_t>(items));
    return items;
}

template <class Bound, class Kernel>
void measureAgainstBound(benchmark::State& state, std::int64_t elements, const Bound& bound,
                         const Kernel& kernel) {
    const auto [boundSeconds, kernelSeconds] = timeInTurn(state, bound, kernel);
    const double items = itemsOf(state, elements);
    state.counters["bound_items_per_second"] = items / boundSeconds;
    state.counters["fraction_of_bound"] = boundSeconds / kernelSeconds;
}

// For a compute-bound kernel, whose bound is the machine's own scaling: the kernel's and the bound's
// speedups from one thread to all, and the kernel's share of the bound's speedup.
template <class BoundOne, class KernelOne, class BoundAll, class KernelAll>
void measureScaling(benchmark::State& state, std::int64_t elements, const BoundOne& boundOne,
                    const KernelOne& kernelOne, const BoundAll& boundAll, const KernelAll& kernelAll) {
    const auto [boundOneSeconds, kernelOneSeconds, boundAllSeconds, kernelAllSeconds] =
        timeInTurn(state, boundOne, kernelOne, boundAll, kernelAll);
    const double items = itemsOf(state, elements);
    const double speedup = kernelOneSeconds / kernelAllSeconds;
    const double boundSpeedup = boundOneSeconds / boundAllSeconds;
    state.counters["one_thread_items_per_second"] = items / kernelOneSeconds;
    state.counters["speedup"] = speedup;
    state.counters["bound_speedup"] = boundSpeedup;
    state.counters["fraction_of_bound_speedup"] = speedup / boundSpeedup;
}

}  // namespace bench
