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

// The memory this process can have: physical memory and swap, or less where a control group allows less.
std::uint64_t memoryLimit();

// Set aside for the plug-in's libraries and the OpenMP runtime until they are loaded: they map about
// 7 MiB in an optimised build.
constexpr std::uint64_t pluginAllowance = std::uint64_t(16) << 20;

// The address space this process may still map under a resource limit: ulimit -v counts every mapping,
// ulimit -d the writable ones, thread stacks included, so what is mapped already (the libraries loaded
// so far), the tool's own buffers and the plug-in's allowance are deducted. UINT64_MAX and no name
// without such a limit.
struct AddressSpaceLimit {
    std::uint64_t left = UINT64_MAX;
    std::uint64_t limit = UINT64_MAX;
    const char* name = nullptr;  // "address-space limit (ulimit -v)" or "data limit (ulimit -d)"
};
AddressSpaceLimit addressSpaceLimit();

// "1.5 GiB": bytes for messages, up to the amounts no 64 bits hold.
std::string describeBytes(double bytes);

// Counts the memory that images will take, and the address space that threads will, so that a run which
// cannot have them is refused before it allocates, with a message instead of running out of memory
// halfway.
class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t memory = memoryLimit(),
                          AddressSpaceLimit addresses = addressSpaceLimit())
        : m_limit(memory), m_addresses(addresses) {}

    // Counts `count` times `bytes` of memory more (which take as much address space); throws
    // std::invalid_argument naming `what` when that passes a limit.
    void reserve(std::uint64_t bytes, const std::string& what, std::uint64_t count = 1);
    // Counts address space that holds no memory until it is used, such as a thread's stack; throws as
    // reserve does.
    void reserveAddressSpace(std::uint64_t bytes, const std::string& what);
    // Counts `bytes` of memory less, for memory reserved earlier and freed.
    void release(std::uint64_t bytes) { m_used -= bytes < m_used ? bytes : m_used; }
    std::uint64_t used() const { return m_used; }
    // The most memory used at any time.
    std::uint64_t peak() const { return m_peak; }
    // The address space that can still be reserved, when a limit bounds it.
    bool limitsAddressSpace() const { return m_addresses.name != nullptr; }
    std::uint64_t addressSpaceLeft() const;

private:
    // Refuses `bytes` of `kind` ("memory", "address space") beyond the limit of memory or of address space.
    [[noreturn]] void refuse(const std::string& what, double bytes, const char* kind,
                             bool addressSpace) const;

    std::uint64_t m_limit;
    AddressSpaceLimit m_addresses;
    std::uint64_t m_used = 0;
    std::uint64_t m_peak = 0;
    std::uint64_t m_addressSpaceOnly = 0;  // reserved address space that is not memory
};

}  // namespace tools
}  // namespace Korvanta
