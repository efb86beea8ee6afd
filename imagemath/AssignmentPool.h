#pragma once

#include <chrono>
#include <memory>

#include "host/threading/ThreadPool.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The worker pool of one assignment, which the host's dispatcher creates on first use. No task may
// outlive the assignment: its images and expressions die with the caller's frame. So the pool is
// always drained, on the exception path too (its destructor runs every queued task and joins).
class AssignmentPool {
public:
    AssignmentPool() = default;
    AssignmentPool(const AssignmentPool&) = delete;
    AssignmentPool& operator=(const AssignmentPool&) = delete;
    ~AssignmentPool() = default;

    std::unique_ptr<Threading::ThreadPool>& pointer() { return m_pool; }

    // Waits for every task without a time-out and rethrows the first exception a task threw.
    void finish() {
        if (m_pool) {
            m_pool->waitUntilFinished(std::chrono::milliseconds(0));
            m_pool.reset();
        }
    }

private:
    std::unique_ptr<Threading::ThreadPool> m_pool;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
