#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace Korvanta {
namespace ImageMath {
namespace internal {

// The machine's cores shared between the threads that run the plug-in's own work (assignment tasks, a
// caller running a kernel) and the helper threads that the kernels' parallel regions add to them. Helpers
// are granted only from cores that no busy thread and no other helper uses, so parallel regions never add
// to oversubscription: while any helper runs, busy threads plus helpers stay within the core count. A
// thread that becomes busy while helpers hold the cores it needs waits until enough of them are released;
// helpers are always released once their region ends, and no one waits while holding helpers, so nothing
// can wait in a cycle. Threads that run their own work are never held back while no helper runs, since
// they may wait for each other: only when more of them than cores run (a host pool larger than the
// machine, or a caller running a kernel beside a task on every core) does their number exceed the cores,
// and no helper is granted then.
//
// Helpers are also held back for work that is about to start: a region gets at most its fair share of
// the cores, divided among the busy threads and the tasks announced but not yet running. So when an
// assignment hands the host a task per core, each runs on its own thread instead of the first one taking
// every core and the others waiting for it.
class CoreBudget {
public:
    explicit CoreBudget(std::size_t cores);  // at least one core

    CoreBudget(const CoreBudget&) = delete;
    CoreBudget& operator=(const CoreBudget&) = delete;

    // The budget of the plug-in's work in this process: one core per hardware thread.
    static CoreBudget& process();

    std::size_t cores() const { return m_cores; }

    void enterBusy();
    void leaveBusy();

    // Tasks were announced (see AnnouncedTasks); they began to run (or were withdrawn).
    void tasksAnnounced(std::size_t count);
    void tasksBegun(std::size_t count);

    // Grants up to `wanted` helpers from the free cores within the caller's fair share, without waiting;
    // returns how many.
    std::size_t claimHelpers(std::size_t wanted);
    void releaseHelpers(std::size_t count);

    std::size_t busyThreads() const;
    std::size_t helperThreads() const;
    std::size_t announcedTasks() const;

private:
    const std::size_t m_cores;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    std::size_t m_busy = 0;
    std::size_t m_helpers = 0;
    std::size_t m_announced = 0;
};

// Counts the calling thread as busy in the process budget for its lifetime, unless an enclosing scope on
// the same thread already does (a kernel inside a task counts once).
class BusyThreadScope {
public:
    BusyThreadScope();
    ~BusyThreadScope();

    BusyThreadScope(const BusyThreadScope&) = delete;
    BusyThreadScope& operator=(const BusyThreadScope&) = delete;

private:
    bool m_entered;
};

// The tasks of one assignment, one per image, announced before the driver walks the images: each counts
// as waiting to run until it begins on the thread that the host's dispatcher runs it on, or is withdrawn
// (an image that needs no task). So the kernels of the first tasks to run leave the cores to the later
// ones instead of taking them before those are handed over. Must outlive every task that runs through it.
class AnnouncedTasks {
public:
    explicit AnnouncedTasks(std::size_t count);
    ~AnnouncedTasks();  // withdraws those that never began

    AnnouncedTasks(const AnnouncedTasks&) = delete;
    AnnouncedTasks& operator=(const AnnouncedTasks&) = delete;

    // One of them needs no task after all.
    void withdrawOne();

    // Runs one of them on the calling thread: it no longer waits, and the thread is busy while it runs.
    template <class Body>
    void run(Body&& body) {
        withdrawOne();
        const BusyThreadScope busy;
        body();
    }

private:
    std::atomic<std::size_t> m_waiting;
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

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
