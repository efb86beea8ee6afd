#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Korvanta {
namespace Threading {

// A fixed set of worker threads running queued tasks. The first exception a task throws is kept and
// rethrown by waitUntilFinished; later ones are dropped.
class ThreadPool {
public:
    explicit ThreadPool(std::size_t threadCount);  // at least one thread
    // Runs every task still queued, then joins the workers (also during stack unwinding). Never throws;
    // a task exception nobody waited for is dropped. Must not run inside one of the pool's own tasks.
    ~ThreadPool();

    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void addTask(std::function<void()> task);  // std::invalid_argument for an empty task

    // Blocks until every task added so far has finished; a time-out of 0 means no time-out. Returns
    // false when the time-out expired first. Rethrows (once) the first exception a task threw.
    // std::logic_error when called from one of the pool's own tasks, which would wait for itself.
    bool waitUntilFinished(std::chrono::milliseconds timeout);

    std::size_t threadCount() const { return m_workers.size(); }

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_taskAdded;
    std::condition_variable m_allDone;
    std::deque<std::function<void()>> m_queue;
    std::size_t m_running = 0;
    bool m_stopping = false;
    std::exception_ptr m_firstError;
    std::vector<std::thread> m_workers;
};

}  // namespace Threading

namespace ImageMath {
namespace internal {

// Runs a copy of the task on the pool, creating the pool (one thread per hardware thread) on first use.
// Every task has finished once the pool's waitUntilFinished(0 ms) and destructor have returned.
void dispatchThread(const std::function<void()>& task, std::unique_ptr<Threading::ThreadPool>& pool);

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
