#pragma once

#include <cstdint>
#include <string>

#include "host/image/ImageDescriptor.h"

namespace Korvanta {
namespace tools {

// Bytes of CPU memory an image of the descriptor holds (a half-float image holds floats); throws
// std::invalid_argument naming `what` when the count does not fit 64 bits.
std::uint64_t imageBytes(const ImageDescriptor& descriptor, const std::string& what);

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
    std::uint64_t used() const { return m_used; }

private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
};

}  // namespace tools
}  // namespace Korvanta
