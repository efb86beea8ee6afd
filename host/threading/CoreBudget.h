#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace Korvanta {
namespace Threading {

// The process's cores shared between threads that run work of their own (pool tasks, a caller running a
// kernel) and the helper threads that parallel regions add to them. Helpers are granted only from cores
// that no busy thread and no other helper uses, so parallel regions never add to oversubscription:
// while any helper runs, busy threads plus helpers stay within the core count. A thread that becomes
// busy while helpers hold the cores it needs waits until enough of them are released; helpers are
// always released once their region ends, and no one waits while holding helpers, so nothing can wait
// in a cycle. Threads that run their own work are never held back while no helper runs, since they may
// wait for each other: only when more of them than cores run (a pool larger than the machine, or a
// caller running a kernel beside a task on every core) does their number exceed the cores, and no helper
// is granted then.
//
// Helpers are also held back for work that is about to start: a region gets at most its fair share of
// the cores, divided among the busy threads and the pool tasks queued or announced. So when a pool
// receives a task per core, each runs on its own thread instead of the first one taking every core and
// the others waiting for it.
class CoreBudget {
public:
    explicit CoreBudget(std::size_t cores);  // at least one core

    CoreBudget(const CoreBudget&) = delete;
    CoreBudget& operator=(const CoreBudget&) = delete;

    // The budget of this process: one core per hardware thread.
    static CoreBudget& process();

    std::size_t cores() const { return m_cores; }

    void enterBusy();
    void leaveBusy();

    // Pool tasks were queued (or announced, see UpcomingTasks); they were taken off the queue to run (or
    // withdrawn).
    void taskQueued(std::size_t count = 1);
    void taskTaken(std::size_t count = 1);

    // Grants up to `wanted` helpers from the free cores within the caller's fair share, without waiting;
    // returns how many.
    std::size_t claimHelpers(std::size_t wanted);
    void releaseHelpers(std::size_t count);

    std::size_t busyThreads() const;
    std::size_t helperThreads() const;
    std::size_t queuedTasks() const;

private:
    const std::size_t m_cores;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    std::size_t m_busy = 0;
    std::size_t m_helpers = 0;
    std::size_t m_queued = 0;
};

// Counts the calling thread as busy in the process budget for its lifetime, unless an enclosing scope on
// the same thread already does (a kernel inside a pool task counts once).
class BusyThreadScope {
public:
    BusyThreadScope();
    ~BusyThreadScope();

    BusyThreadScope(const BusyThreadScope&) = delete;
    BusyThreadScope& operator=(const BusyThreadScope&) = delete;

private:
    bool m_entered;
};

// Tasks that a caller is about to queue one after another (an assignment's images) count as queued from
// the start, so that the kernels of the first ones to run leave the cores to the later ones instead of
// taking them before those are queued.
class UpcomingTasks {
public:
    explicit UpcomingTasks(std::size_t count);
    ~UpcomingTasks();  // withdraws those still announced

    UpcomingTasks(const UpcomingTasks&) = delete;
    UpcomingTasks& operator=(const UpcomingTasks&) = delete;

    // The next one is being queued now, or needs no task after all: it no longer counts here.
    void next();

private:
    std::size_t m_remaining;
};

// The team of one parallel region: the calling thread, counted busy, plus the helpers granted from the
// process budget, at most `wanted` threads in all and at least one.
class TeamBudget {
public:
    explicit TeamBudget(std::size_t wanted);
    ~TeamBudget();

    TeamBudget(const TeamBudget&) = delete;
    TeamBudget& operator=(const TeamBudget&) = delete;

    int threads() const { return static_cast<int>(1 + m_helpers); }

private:
    BusyThreadScope m_caller;
    std::size_t m_helpers;
};

}  // namespace Threading
}  // namespace Korvanta
