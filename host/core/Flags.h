#pragma once

#include <cstdint>

namespace Korvanta {

// A set of bit flags of the enumeration E, held in 32 bits.
template <class E>
class Flags {
public:
    constexpr Flags() = default;
    constexpr Flags(E flag) : m_bits(static_cast<std::uint32_t>(flag)) {}
    constexpr explicit Flags(std::uint32_t bits) : m_bits(bits) {}

    constexpr bool test(E flag) const { return (m_bits & static_cast<std::uint32_t>(flag)) != 0; }
    constexpr Flags operator|(Flags other) const { return Flags(m_bits | other.m_bits); }
    constexpr std::uint32_t bits() const { return m_bits; }
    constexpr bool operator==(Flags other) const { return m_bits == other.m_bits; }
    constexpr bool operator!=(Flags other) const { return m_bits != other.m_bits; }

private:
    std::uint32_t m_bits = 0;
};

}  // namespace Korvanta
