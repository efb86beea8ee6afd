#include "host/core/HostCallTrace.h"

#include <utility>

#include "host/core/NeverDestroyed.h"
#include "host/core/ProcessWideHook.h"

namespace Korvanta {
namespace HostCallTrace {

namespace {

ProcessWideHook<Observer>& observerHook() {
    static NeverDestroyed<ProcessWideHook<Observer>> hook;
    return hook.get();
}

}  // namespace

namespace detail {

std::atomic<bool> g_observed{false};

void notify(Call call, const void* object) {
    if (const Observer observer = observerHook().current()) {
        observer(call, object);
    }
}

}  // namespace detail

Observer setObserver(Observer observer) {
    return observerHook().exchange(std::move(observer), [](const Observer& installed) {
        detail::g_observed.store(static_cast<bool>(installed), std::memory_order_relaxed);
    });
}

}  // namespace HostCallTrace
}  // namespace Korvanta
