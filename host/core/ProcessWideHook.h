#pragma once

#include <mutex>
#include <utility>

namespace Korvanta {

// A replaceable function held process-wide, called from any thread. A call works on a copy taken under
// the lock, so the hook may be replaced while another thread runs it.
template <class Function>
class ProcessWideHook {
public:
    Function current() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_function;
    }

    // Installs `function` and returns the one it replaces; `whileLocked(installed)` runs before the lock
    // is released, for state that must change together with the hook.
    template <class WhileLocked>
    Function exchange(Function function, WhileLocked&& whileLocked) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Function previous = std::exchange(m_function, std::move(function));
        whileLocked(m_function);
        return previous;
    }
    Function exchange(Function function) {
        return exchange(std::move(function), [](const Function&) {});
    }

private:
    mutable std::mutex m_mutex;
    Function m_function;
};

}  // namespace Korvanta
