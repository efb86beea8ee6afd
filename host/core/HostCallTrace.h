#pragma once

#include <atomic>
#include <functional>

// Lets tests watch some of the host calls a plug-in makes, in order and with the thread that makes them:
// a host that creates or refreshes CPU memory lazily, or binds that work to a thread, depends on when and
// where a plug-in asks for memory.
namespace Korvanta {
namespace HostCallTrace {

enum class Call {
    SharedMem,  // SharedImage::sharedMem(), on the image
    Pointer,    // TypedImage<T>::pointer(), on the memory
    SyncMem,    // SharedImage::syncMem(), on the image
    Dispatch,   // ImageMath::internal::dispatchThread(), on no object
};

// Called on the thread that makes the call, with the object it is made on.
using Observer = std::function<void(Call call, const void* object)>;

// Installs the observer process-wide; an empty one stops the tracing. Returns the previous one.
Observer setObserver(Observer observer);

namespace detail {
extern std::atomic<bool> g_observed;
void notify(Call call, const void* object);
}  // namespace detail

// Costs one relaxed load while nobody observes.
inline void record(Call call, const void* object) {
    if (detail::g_observed.load(std::memory_order_relaxed)) {
        detail::notify(call, object);
    }
}

}  // namespace HostCallTrace
}  // namespace Korvanta
