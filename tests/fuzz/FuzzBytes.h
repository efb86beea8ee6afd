#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace Korvanta {
namespace fuzz {

// Reads the fuzzer's bytes front to back. Past the end every read gives zero bytes, so any input, even an
// empty one, decodes to a complete case and short inputs stand for the simplest cases.
class FuzzBytes {
public:
    FuzzBytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }

    bool flag() { return byte() & 1; }

    // A value in [low, high], both included (high - low below 256).
    int inRange(int low, int high) { return low + byte() % (high - low + 1); }

    // Raw bits of a trivially copyable T.
    template <class T>
    T raw() {
        unsigned char bytes[sizeof(T)];
        for (unsigned char& b : bytes)
            b = byte();
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    // One of the listed values, or (for the index just past the list) raw bits.
    template <class T>
    T pick(std::initializer_list<T> values) {
        const std::size_t index = byte() % (values.size() + 1);
        return index < values.size() ? values.begin()[index] : raw<T>();
    }

    // The values where arithmetic and conversion misbehave most often.
    template <class T>
    T special() {
        using L = std::numeric_limits<T>;
        return pick<T>({T(0), -T(0), T(1), T(-1), T(0.5), T(2), T(-3), T(255), T(65535), T(1e-30), T(1e30),
                        L::quiet_NaN(), L::infinity(), -L::infinity(), L::denorm_min(), L::max(),
                        L::lowest()});
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

}  // namespace fuzz
}  // namespace Korvanta
