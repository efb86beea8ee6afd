#include <algorithm>
#include <stdexcept>
#include <thread>

#include "host/core/HostCallTrace.h"
#include "host/threading/ThreadPool.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

void dispatchThread(const std::function<void()>& task, std::unique_ptr<Threading::ThreadPool>& pool) {
    if (!task) {
        throw std::invalid_argument("dispatchThread: empty task");
    }
    HostCallTrace::record(HostCallTrace::Call::Dispatch, nullptr);
    if (!pool) {
        pool = std::make_unique<Threading::ThreadPool>(std::max(1u, std::thread::hardware_concurrency()));
    }
    pool->addTask(task);
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
