#include "host/threading/ThreadPool.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace Korvanta {
namespace Threading {

namespace {

// The pool whose task the current thread is running, so that a task cannot wait for itself.
thread_local const ThreadPool* t_currentPool = nullptr;

}  // namespace

ThreadPool::ThreadPool(std::size_t threadCount) {
    const std::size_t count = std::max<std::size_t>(threadCount, 1);
    m_workers.reserve(count);
    try {
        for (std::size_t i = 0; i < count; ++i) {
            m_workers.emplace_back([this] { work(); });
        }
    } catch (...) {
        // The destructor does not run for a pool that failed to construct: stop what started.
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_taskAdded.notify_all();
        for (std::thread& worker : m_workers) {
            worker.join();
        }
        throw;
    }
}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_taskAdded.notify_all();
    for (std::thread& worker : m_workers) {
        try {
            worker.join();
        } catch (...) {
            // join() fails only for a pool destroyed by one of its own tasks; nothing may escape here.
        }
    }
}

void ThreadPool::addTask(std::function<void()> task) {
    if (!task) {
        throw std::invalid_argument("ThreadPool::addTask: empty task");
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(task));
    }
    m_taskAdded.notify_one();
}

bool ThreadPool::waitUntilFinished(std::chrono::milliseconds timeout) {
    if (t_currentPool == this) {
        throw std::logic_error("ThreadPool::waitUntilFinished called from one of the pool's own tasks");
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto finished = [this] { return m_queue.empty() && m_running == 0; };
    bool done = true;
    if (timeout == std::chrono::milliseconds(0)) {
        m_allDone.wait(lock, finished);
    } else {
        done = m_allDone.wait_for(lock, timeout, finished);
    }
    if (m_firstError) {
        std::exception_ptr error = std::exchange(m_firstError, nullptr);
        std::rethrow_exception(error);
    }
    return done;
}

void ThreadPool::work() {
    t_currentPool = this;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_taskAdded.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            return;  // stopping, and every queued task has run
        }
        std::function<void()> task = std::move(m_queue.front());
        m_queue.pop_front();
        ++m_running;
        lock.unlock();
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        task = nullptr;  // the task's captures die before the wait can report it finished
        lock.lock();
        if (error && !m_firstError) {
            m_firstError = error;
        }
        --m_running;
        if (m_queue.empty() && m_running == 0) {
            m_allDone.notify_all();
        }
    }
}

}  // namespace Threading
}  // namespace Korvanta
