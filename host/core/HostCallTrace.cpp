#include "host/core/HostCallTrace.h"

#include <mutex>
#include <utility>

namespace Korvanta {
namespace HostCallTrace {

namespace {

std::mutex& observerMutex() {
    static std::mutex mutex;
    return mutex;
}

Observer& observerSlot() {
    static Observer observer;
    return observer;
}

}  // namespace

namespace detail {

std::atomic<bool> g_observed{false};

void notify(Call call, const void* object) {
    Observer observer;
    {
        std::lock_guard<std::mutex> lock(observerMutex());
        observer = observerSlot();
    }
    if (observer) {
        observer(call, object);
    }
}

}  // namespace detail

Observer setObserver(Observer observer) {
    std::lock_guard<std::mutex> lock(observerMutex());
    detail::g_observed.store(static_cast<bool>(observer), std::memory_order_relaxed);
    return std::exchange(observerSlot(), std::move(observer));
}

}  // namespace HostCallTrace
}  // namespace Korvanta
