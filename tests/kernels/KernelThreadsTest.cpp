// The kernels' parallel loop: its teams share the cores with pool tasks, and its results do not depend
// on how many threads it gets.
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "host/threading/ThreadPool.h"
#include "imagemath/kernels/CoreBudget.h"
#include "imagemath/kernels/KernelFrame.h"
#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

using namespace std::chrono_literals;

TEST(KernelThreads, PoolTasksAndKernelTeamsNeverOutnumberTheCores) {
    const std::size_t cores = Korvanta::ImageMath::internal::CoreBudget::process().cores();
    std::atomic<int> working{0};
    std::atomic<int> most{0};
    const auto slice = [&](std::int64_t, std::int64_t) {
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
        // As an assignment runs its tasks on the host's pool.
        Korvanta::ImageMath::internal::AnnouncedTasks announced(3 * cores);
        Korvanta::Threading::ThreadPool pool(cores);
        for (std::size_t task = 0; task < 3 * cores; ++task) {
            pool.addTask([&] {
                announced.run([&] {
                    kernels::forEachBlock(64, 1, 1, slice);                      // a volume
                    kernels::forEachBlock(1, std::int64_t{1} << 20, 64, slice);  // a lone plane
                });
            });
        }
        pool.waitUntilFinished(0ms);
    }
    EXPECT_LE(most.load(), static_cast<int>(cores));
    EXPECT_EQ(working.load(), 0);
}

// The blocks of a volume, of a large plane and of a few large slices (one per thread, aligned to the
// granule) and of a small plane (one, on the calling thread) cover every unit once.
TEST(KernelThreads, BlocksCoverEveryUnitOnceAndLargeImagesShareThem) {
    struct Case {
        std::int64_t slices, unitsPerSlice, granule;
        bool shared;
    };
    const bool severalCores =
        Korvanta::ImageMath::internal::CoreBudget::process().cores() > 1 && omp_get_max_threads() > 1;
    for (const Case& c : {Case{19, 1000, 16, true}, Case{1, 700001, 64, true}, Case{3, 200003, 3, true},
                          Case{8, 1000, 16, false}, Case{1, 100000, 8, false}}) {
        SCOPED_TRACE(::testing::Message() << c.slices << " slices of " << c.unitsPerSlice);
        std::vector<std::atomic<int>> visits(static_cast<std::size_t>(c.slices * c.unitsPerSlice));
        std::vector<std::pair<std::int64_t, std::int64_t>> blocks;
        std::set<int> threads;
        std::mutex mutex;
        kernels::forEachBlock(c.slices, c.unitsPerSlice, c.granule,
                              [&](std::int64_t begin, std::int64_t end) {
                                  for (std::int64_t unit = begin; unit < end; ++unit) {
                                      ++visits[static_cast<std::size_t>(unit)];
                                  }
                                  const std::lock_guard<std::mutex> lock(mutex);
                                  blocks.emplace_back(begin, end);
                                  threads.insert(omp_get_thread_num());
                              });
        EXPECT_TRUE(std::all_of(visits.begin(), visits.end(), [](const auto& v) { return v.load() == 1; }));
        for (const auto& [begin, end] : blocks) {
            EXPECT_EQ(begin % c.granule, 0) << begin;
        }
        EXPECT_EQ(threads.size() > 1, c.shared && severalCores);
        EXPECT_EQ(blocks.size(), threads.size()) << "one block per thread";
    }
}

// A volume shared out by slices, a plane and an image of 3 slices cut into blocks, each against the
// reference at several team sizes.
TEST(KernelThreads, ResultsDoNotDependOnTheTeamSize) {
    const Mapping l{0.5, 3.0, false}, r{-1.0, 0.7, false}, d{2.0, 5.0, false};
    for (const kernels::Extents& extents : {kernels::Extents{33, 7, 19, 3}, kernels::Extents{701, 501, 1, 1},
                                            kernels::Extents{301, 200, 3, 3}}) {
        const std::size_t count =
            static_cast<std::size_t>(extents.width * extents.height * extents.slices * extents.channels);
        SCOPED_TRACE(::testing::Message() << count << " elements in " << extents.slices << " slices");
        std::vector<float> left(count), expected(count);
        std::vector<double> right(count);
        for (std::size_t i = 0; i < count; ++i) {
            left[i] = static_cast<float>(i % 5011) * 0.37f - 500.0f;
            right[i] = 1.0 / (static_cast<double>(i % 97) - 48.0);
            const double divisor = referenceRead(right[i], r);
            expected[i] =
                referenceElement<float>(divisor == 0.0 ? 0.0 : referenceRead(left[i], l) / divisor, d);
        }
        const int allThreads = omp_get_max_threads();
        for (int threads : {1, 2, 3, allThreads}) {
            omp_set_num_threads(threads);
            std::vector<float> out(count, -7.0f);
            kernels::imageImage<ImgOps::divideIfNotZero, float, double>(
                targetOf(out, extents, d), sourceOf(left, l), sourceOf(right, r));
            EXPECT_TRUE(sameElements(out, expected)) << threads << " threads";
        }
        omp_set_num_threads(allThreads);
    }
}

}  // namespace
}  // namespace kernel_test
