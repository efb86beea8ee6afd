#pragma once

#include <new>
#include <utility>

namespace Korvanta {

// Process-wide state that other threads may still use while the process ends: exit() runs the static
// destructors on its own thread while the others go on (a plug-in's task calling the GPU hook or the log,
// say). Such state is built in place on first use and never destroyed; what it holds stays reachable
// until the process ends.
template <class T>
class NeverDestroyed {
public:
    template <class... Args>
    explicit NeverDestroyed(Args&&... args) {
        ::new (static_cast<void*>(m_storage)) T(std::forward<Args>(args)...);
    }

    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(m_storage)); }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
};

}  // namespace Korvanta
