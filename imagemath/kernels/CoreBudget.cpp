#include "imagemath/kernels/CoreBudget.h"

#include <algorithm>
#include <new>
#include <thread>

namespace Korvanta {
namespace ImageMath {
namespace internal {

namespace {

// How many BusyThreadScopes are open on this thread; only the outermost one counts.
thread_local int t_busyDepth = 0;

}  // namespace

CoreBudget::CoreBudget(std::size_t cores) : m_cores(std::max<std::size_t>(cores, 1)) {}

CoreBudget& CoreBudget::process() {
    // Built in place once and never destroyed. The process may end while tasks still use it: the OpenMP
    // runtime calls exit() from inside a region that holds helpers when it cannot start a thread, and a
    // task waiting for those helpers would keep the condition variable's destruction waiting for ever.
    // It holds nothing that the process's end or the library's unloading has to release.
    alignas(CoreBudget) static unsigned char storage[sizeof(CoreBudget)];
    static CoreBudget* const budget =
        new (storage) CoreBudget(std::max(1u, std::thread::hardware_concurrency()));
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

void CoreBudget::tasksAnnounced(std::size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_announced += count;
}

void CoreBudget::tasksBegun(std::size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_announced -= std::min(count, m_announced);
}

std::size_t CoreBudget::claimHelpers(std::size_t wanted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t used = m_busy + m_helpers;
    const std::size_t free = used < m_cores ? m_cores - used : 0;
    // The caller's share, itself included, of the cores among everyone running or about to run.
    const std::size_t share = m_cores / std::max<std::size_t>(1, m_busy + m_announced);
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

std::size_t CoreBudget::announcedTasks() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_announced;
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

AnnouncedTasks::AnnouncedTasks(std::size_t count) : m_waiting(count) {
    CoreBudget::process().tasksAnnounced(count);
}

AnnouncedTasks::~AnnouncedTasks() {
    CoreBudget::process().tasksBegun(m_waiting.exchange(0));
}

void AnnouncedTasks::withdrawOne() {
    // Tasks begin on the host's threads while the driver withdraws on its own.
    std::size_t waiting = m_waiting.load();
    while (waiting > 0 && !m_waiting.compare_exchange_weak(waiting, waiting - 1)) {
    }
    if (waiting > 0) {
        CoreBudget::process().tasksBegun(1);
    }
}

TeamBudget::TeamBudget(std::size_t wanted)
    : m_helpers(wanted > 1 ? CoreBudget::process().claimHelpers(wanted - 1) : 0) {}

TeamBudget::~TeamBudget() {
    CoreBudget::process().releaseHelpers(m_helpers);
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
