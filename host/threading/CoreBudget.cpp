#include "host/threading/CoreBudget.h"

#include <algorithm>
#include <thread>

namespace Korvanta {
namespace Threading {

namespace {

// How many BusyThreadScopes are open on this thread; only the outermost one counts.
thread_local int t_busyDepth = 0;

}  // namespace

CoreBudget::CoreBudget(std::size_t cores) : m_cores(std::max<std::size_t>(cores, 1)) {}

CoreBudget& CoreBudget::process() {
    // Never destroyed: pools that outlive static destruction still count their last tasks here.
    static CoreBudget* const budget = new CoreBudget(std::max(1u, std::thread::hardware_concurrency()));
    return *budget;
}

void CoreBudget::enterBusy() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_released.wait(lock, [this] { return m_helpers == 0 || m_busy + m_helpers < m_cores; });
    ++m_busy;
}

void CoreBudget::leaveBusy() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_busy;
    }
    m_released.notify_all();
}

void CoreBudget::taskQueued(std::size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queued += count;
}

void CoreBudget::taskTaken(std::size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queued -= std::min(count, m_queued);
}

std::size_t CoreBudget::claimHelpers(std::size_t wanted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t used = m_busy + m_helpers;
    const std::size_t free = used < m_cores ? m_cores - used : 0;
    // The caller's share, itself included, of the cores among everyone running or about to run.
    const std::size_t share = m_cores / std::max<std::size_t>(1, m_busy + m_queued);
    const std::size_t granted = std::min({wanted, free, share > 0 ? share - 1 : 0});
    m_helpers += granted;
    return granted;
}

void CoreBudget::releaseHelpers(std::size_t count) {
    if (count == 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_helpers -= count;
    }
    m_released.notify_all();
}

std::size_t CoreBudget::busyThreads() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_busy;
}

std::size_t CoreBudget::helperThreads() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_helpers;
}

std::size_t CoreBudget::queuedTasks() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queued;
}

BusyThreadScope::BusyThreadScope() : m_entered(t_busyDepth == 0) {
    if (m_entered) {
        CoreBudget::process().enterBusy();
    }
    ++t_busyDepth;
}

BusyThreadScope::~BusyThreadScope() {
    --t_busyDepth;
    if (m_entered) {
        CoreBudget::process().leaveBusy();
    }
}

UpcomingTasks::UpcomingTasks(std::size_t count) : m_remaining(count) {
    CoreBudget::process().taskQueued(count);
}

UpcomingTasks::~UpcomingTasks() {
    CoreBudget::process().taskTaken(m_remaining);
}

void UpcomingTasks::next() {
    if (m_remaining > 0) {
        --m_remaining;
        CoreBudget::process().taskTaken();
    }
}

TeamBudget::TeamBudget(std::size_t wanted)
    : m_helpers(wanted > 1 ? CoreBudget::process().claimHelpers(wanted - 1) : 0) {}

TeamBudget::~TeamBudget() {
    CoreBudget::process().releaseHelpers(m_helpers);
}

}  // namespace Threading
}  // namespace Korvanta
