#include "host/core/Signal.h"

#include <algorithm>

namespace Korvanta {

void SignalConnection::disconnect() {
    if (auto slot = m_slot.lock())
        slot->connected = false;
    m_slot.reset();
}

bool SignalConnection::connected() const {
    auto slot = m_slot.lock();
    return slot && slot->connected;
}

SignalConnection SignalImpl<false>::connect(std::function<void()> function) {
    m_slots.erase(
        std::remove_if(m_slots.begin(), m_slots.end(), [](const auto& slot) { return !slot->connected; }),
        m_slots.end());
    auto slot = std::make_shared<SignalDetail::Slot>();
    slot->function = std::move(function);
    m_slots.push_back(slot);
    return SignalConnection(slot);
}

void SignalImpl<false>::emitSignal() const {
    const auto slots = m_slots;  // a slot may connect to or disconnect from this signal while it runs
    for (const auto& slot : slots)
        if (slot->connected && slot->function)
            slot->function();
}

std::size_t SignalImpl<false>::connectionCount() const {
    return static_cast<std::size_t>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const auto& slot) { return slot->connected; }));
}

}  // namespace Korvanta
