#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace Korvanta {

namespace SignalDetail {
struct Slot {
    std::function<void()> function;
    bool connected = true;
};
}  // namespace SignalDetail

// Handle of one connection. Releasing or destroying the handle leaves the connection in place; only
// disconnect() ends it.
class SignalConnection {
public:
    SignalConnection() = default;
    explicit SignalConnection(std::weak_ptr<SignalDetail::Slot> slot) : m_slot(std::move(slot)) {}

    void disconnect();
    bool connected() const;

private:
    std::weak_ptr<SignalDetail::Slot> m_slot;
};

// A signal without arguments. Only the single-threaded form exists: connect, disconnect and emit from
// one thread at a time.
template <bool ThreadSafe>
class SignalImpl;

template <>
class SignalImpl<false> {
public:
    SignalImpl() = default;
    SignalImpl(const SignalImpl&) = delete;
    SignalImpl& operator=(const SignalImpl&) = delete;

    SignalConnection connect(std::function<void()> function);
    // Calls every connected function in connection order. A function connected or disconnected while
    // the signal runs takes effect from the next emission on.
    void emitSignal() const;
    void operator()() const { emitSignal(); }

    std::size_t connectionCount() const;

private:
    std::vector<std::shared_ptr<SignalDetail::Slot>> m_slots;
};

using Signal = SignalImpl<false>;

}  // namespace Korvanta
