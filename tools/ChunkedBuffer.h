#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// Elements appended in chunks of about a mebibyte, each counted in the budget when it is allocated, so
// that a buffer whose final size is not known grows without copying what it holds.
template <class T>
class ChunkedBuffer {
public:
    // `what` names the buffer in the budget's message ("Holding ... needs 1.0 MiB of memory").
    ChunkedBuffer(MemoryBudget& budget, std::string what) : m_budget(budget), m_what(std::move(what)) {}
    ChunkedBuffer(const ChunkedBuffer&) = delete;
    ChunkedBuffer& operator=(const ChunkedBuffer&) = delete;
    ~ChunkedBuffer() { clear(); }

    // Room for `count` more elements, contiguous, at the end.
    T* append(std::size_t count) {
        if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().size < count) {
            const std::size_t capacity = std::max(count, chunkBytes / sizeof(T));
            m_budget.reserve(capacity * sizeof(T), m_what);
            m_reserved += capacity * sizeof(T);
            m_chunks.push_back({std::unique_ptr<T[]>(new T[capacity]), 0, capacity});
        }
        Chunk& chunk = m_chunks.back();
        chunk.size += count;
        m_size += count;
        return chunk.elements.get() + chunk.size - count;
    }

    std::uint64_t size() const { return m_size; }
    // The bytes counted in the budget for it.
    std::uint64_t reserved() const { return m_reserved; }

    // Calls f(elements, count) for each chunk in order and frees each after its call; empty afterwards.
    template <class F>
    void drain(F&& f) {
        for (Chunk& chunk : m_chunks) {
            f(static_cast<const T*>(chunk.elements.get()), chunk.size);
            chunk.elements.reset();
            m_budget.release(chunk.capacity * sizeof(T));
            m_reserved -= chunk.capacity * sizeof(T);
        }
        clear();
    }

    void clear() {
        m_chunks.clear();
        m_budget.release(m_reserved);
        m_reserved = 0;
        m_size = 0;
    }

private:
    static constexpr std::size_t chunkBytes = std::size_t(1) << 20;

    struct Chunk {
        std::unique_ptr<T[]> elements;  // not initialised beyond size
        std::size_t size;
        std::size_t capacity;
    };

    MemoryBudget& m_budget;
    std::string m_what;
    std::vector<Chunk> m_chunks;
    std::uint64_t m_reserved = 0;
    std::uint64_t m_size = 0;
};

}  // namespace tools
}  // namespace Korvanta
