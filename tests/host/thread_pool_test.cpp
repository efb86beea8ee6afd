#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/threading/ThreadPool.h"

namespace Korvanta {
namespace {

using Threading::ThreadPool;
using namespace std::chrono_literals;

TEST(ThreadPoolTest, WaitReturnsOnlyWhenEveryTaskHasFinished) {
    for (std::size_t threads : {1u, 4u}) {
        ThreadPool pool(threads);
        std::atomic<int> done{0};
        for (int i = 0; i < 5000; ++i) {
            pool.addTask([&done] { done.fetch_add(1, std::memory_order_relaxed); });
        }
        // A slow last task, waited for once it has left the queue: a wait that only watched the
        // queue would return while it runs.
        std::atomic<bool> started{false};
        pool.addTask([&done, &started] {
            started = true;
            std::this_thread::sleep_for(20ms);
            done.fetch_add(1);
        });
        while (!started) {
            std::this_thread::yield();
        }
        EXPECT_TRUE(pool.waitUntilFinished(0ms));
        EXPECT_EQ(done.load(), 5001) << threads << " threads";
    }
}

TEST(ThreadPoolTest, WaitRethrowsTheFirstExceptionOnceAndTheOtherTasksStillRun) {
    ThreadPool pool(1);  // one worker: task order is queue order, so "first" is well defined
    std::atomic<int> done{0};
    pool.addTask([] { throw std::runtime_error("first"); });
    for (int i = 0; i < 100; ++i) {
        pool.addTask([&done] { done.fetch_add(1); });
    }
    pool.addTask([] { throw std::logic_error("second"); });
    try {
        pool.waitUntilFinished(0ms);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
    EXPECT_EQ(done.load(), 100);
    EXPECT_TRUE(pool.waitUntilFinished(0ms));  // reported once only
}

TEST(ThreadPoolTest, WaitWithTimeoutReportsExpiryWithoutLosingTasks) {
    ThreadPool pool(1);
    std::atomic<bool> release{false};
    pool.addTask([&release] {
        while (!release.load()) {
            std::this_thread::sleep_for(1ms);
        }
    });
    EXPECT_FALSE(pool.waitUntilFinished(5ms));
    release = true;
    EXPECT_TRUE(pool.waitUntilFinished(0ms));
}

TEST(ThreadPoolTest, DestructorRunsEveryQueuedTaskAlsoDuringStackUnwinding) {
    for (bool unwinding : {false, true}) {
        std::atomic<int> done{0};
        try {
            ThreadPool pool(2);
            for (int i = 0; i < 100; ++i) {
                pool.addTask([&done] {
                    std::this_thread::sleep_for(50us);
                    done.fetch_add(1);
                });
            }
            pool.addTask([] { throw std::runtime_error("nobody waits for this"); });
            if (unwinding) {
                throw std::runtime_error("leaving the scope");
            }
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(done.load(), 100) << (unwinding ? "unwinding" : "normal exit");
    }
}

TEST(ThreadPoolTest, TasksMayAddTasksAndWaitingFromATaskIsRefused) {
    ThreadPool pool(2);
    std::atomic<int> done{0};
    pool.addTask([&] {
        pool.addTask([&done] { done.fetch_add(1); });
        pool.waitUntilFinished(0ms);
    });
    EXPECT_THROW(pool.waitUntilFinished(0ms), std::logic_error);
    EXPECT_EQ(done.load(), 1);
    EXPECT_THROW(pool.addTask(nullptr), std::invalid_argument);
}

TEST(DispatchThreadTest, CreatesThePoolOnceAndRunsEachTaskExactlyOnce) {
    constexpr int taskCount = 64;
    std::vector<std::atomic<int>> runs(taskCount);
    std::unique_ptr<ThreadPool> pool;
    ThreadPool* created = nullptr;
    for (int i = 0; i < taskCount; ++i) {
        {
            // The caller's task object dies right after the call: the pool must run its own copy.
            const std::function<void()> task = [&runs, i] { runs[i].fetch_add(1); };
            ImageMath::internal::dispatchThread(task, pool);
        }
        ASSERT_TRUE(pool);
        if (i == 0) {
            created = pool.get();
        }
        EXPECT_EQ(pool.get(), created);
    }
    EXPECT_EQ(pool->threadCount(), std::max(1u, std::thread::hardware_concurrency()));
    pool->waitUntilFinished(0ms);
    pool.reset();
    for (int i = 0; i < taskCount; ++i) {
        EXPECT_EQ(runs[i].load(), 1) << "task " << i;
    }
}

TEST(DispatchThreadTest, RefusesAnEmptyTaskBeforeCreatingAPool) {
    std::unique_ptr<ThreadPool> pool;
    EXPECT_THROW(ImageMath::internal::dispatchThread({}, pool), std::invalid_argument);
    EXPECT_FALSE(pool);
}

}  // namespace
}  // namespace Korvanta
