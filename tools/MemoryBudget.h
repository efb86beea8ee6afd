#pragma once

#include <cstdint>
#include <string>

#include "host/image/ImageDescriptor.h"

namespace Korvanta {
namespace tools {

// Bytes of CPU memory an image of the descriptor holds (a half-float image holds floats); throws
// std::invalid_argument naming `what` when the count does not fit 64 bits.
std::uint64_t imageBytes(const ImageDescriptor& descriptor, const std::string& what);

// What the objects of one image take beside its elements, whatever its size: about 350 bytes measured
// for an image read from a script, and as much again for its copy in a result, rounded up for the
// allocator's share. Counted for every image, so that a great many small images are refused before
// they are built, as large ones are.
constexpr std::uint64_t imageBookkeepingBytes = 512;

// The memory this process can have: physical memory and swap, or less where a control group or a
// resource limit (ulimit -d, -v) allows less.
std::uint64_t memoryLimit();

// "1.5 GiB": bytes for messages.
std::string describeBytes(std::uint64_t bytes);

// Counts the memory that images will take, so that a run which cannot have it is refused before it
// allocates, with a message instead of running out of memory halfway.
class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t limit = memoryLimit()) : m_limit(limit) {}

    // Counts `bytes` more; throws std::invalid_argument naming `what` when the total passes the limit.
    void reserve(std::uint64_t bytes, const std::string& what);
    // Counts `bytes` less, for memory reserved earlier and freed.
    void release(std::uint64_t bytes) { m_used -= bytes < m_used ? bytes : m_used; }
    std::uint64_t used() const { return m_used; }
    // The most used at any time.
    std::uint64_t peak() const { return m_peak; }

private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
    std::uint64_t m_peak = 0;
};

}  // namespace tools
}  // namespace Korvanta
