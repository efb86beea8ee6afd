// The kernels' parallel loop: its teams share the cores with pool tasks, and its results do not depend
// on how many threads it gets.
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "host/threading/CoreBudget.h"
#include "host/threading/ThreadPool.h"
#include "imagemath/kernels/KernelFrame.h"
#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

using namespace std::chrono_literals;

TEST(KernelThreads, PoolTasksAndKernelTeamsNeverOutnumberTheCores) {
    const std::size_t cores = Korvanta::Threading::CoreBudget::process().cores();
    std::atomic<int> working{0};
    std::atomic<int> most{0};
    const auto slice = [&](std::int64_t) {
        const int now = ++working;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        const auto until = std::chrono::steady_clock::now() + 50us;
        while (std::chrono::steady_clock::now() < until) {
        }
        --working;
    };
    {
        Korvanta::Threading::ThreadPool pool(cores);
        for (std::size_t task = 0; task < 3 * cores; ++task) {
            pool.addTask([&] { kernels::forEachSlice(64, slice); });
        }
        pool.waitUntilFinished(0ms);
    }
    EXPECT_LE(most.load(), static_cast<int>(cores));
    EXPECT_EQ(working.load(), 0);
}

TEST(KernelThreads, ResultsDoNotDependOnTheTeamSize) {
    const kernels::Extents extents{33, 7, 19, 3};
    const std::size_t count = 33 * 7 * 19 * 3;
    std::vector<float> left(count);
    std::vector<double> right(count);
    for (std::size_t i = 0; i < count; ++i) {
        left[i] = static_cast<float>(i) * 0.37f - 500.0f;
        right[i] = 1.0 / (static_cast<double>(i % 97) - 48.0);
    }
    const Mapping l{0.5, 3.0, false}, r{-1.0, 0.7, false}, d{2.0, 5.0, false};
    std::vector<std::vector<float>> results;
    const int allThreads = omp_get_max_threads();
    for (int threads : {1, 2, 3, allThreads}) {
        omp_set_num_threads(threads);
        std::vector<float> out(count);
        kernels::imageImage<ImgOps::divideIfNotZero, float, double>(targetOf(out, extents, d),
                                                                    sourceOf(left, l), sourceOf(right, r));
        results.push_back(out);
    }
    omp_set_num_threads(allThreads);
    for (const std::vector<float>& result : results) {
        EXPECT_TRUE(sameElements(result, results.front()));
    }
}

}  // namespace
}  // namespace kernel_test
