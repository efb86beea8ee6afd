#include "tools/MemoryBudget.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <tuple>

#include "host/image/PixelTypeUtils.h"
#include "tools/ImageExtents.h"

namespace Korvanta {
namespace tools {

namespace {

// What the tool allocates beside what it counts: its buffers to read and to write (a mebibyte each) and
// the small allocations of a run, with room to spare.
constexpr std::uint64_t toolBuffers = std::uint64_t(8) << 20;

// A control group's memory limit (version 2, then 1); "max" or no file means none.
std::uint64_t controlGroupLimit() {
    for (const char* path : {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
        std::uint64_t limit = 0;
        if (std::ifstream(path) >> limit)
            return limit;
    }
    return UINT64_MAX;
}

std::uint64_t resourceLimit(int resource) {
    rlimit limit{};
    return getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY ? limit.rlim_cur : UINT64_MAX;
}

// A "VmSize:  58408 kB" line of /proc/self/status, in bytes; 0 when there is none.
std::uint64_t processStatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0)
            return std::stoull(line.substr(key.size() + 1)) * 1024;
    return 0;
}

// The text of two amounts, in bytes when they would round to the same text, so that a message never
// reads "more than" itself.
std::pair<std::string, std::string> describePair(double amount, double limit) {
    if (describeBytes(amount) != describeBytes(limit))
        return {describeBytes(amount), describeBytes(limit)};
    char texts[2][48];
    std::snprintf(texts[0], sizeof texts[0], "%.0f bytes", amount);
    std::snprintf(texts[1], sizeof texts[1], "%.0f bytes", limit);
    return {texts[0], texts[1]};
}

}  // namespace

std::uint64_t imageBytes(const ImageDescriptor& d, const std::string& what) {
    std::uint64_t elementSize = 0;
    Utils::visitElementType(d.pixelType,
                            [&](auto tag) { elementSize = sizeof(typename decltype(tag)::type); });
    std::uint64_t bytes = elementSize;
    for (const int extent : {d.width, d.height, d.slices, d.channels})
        if (__builtin_mul_overflow(bytes, static_cast<std::uint64_t>(std::max(extent, 0)), &bytes))
            throw std::invalid_argument(what + " is " + extentsText(d) +
                                        ": more elements than any memory holds");
    return bytes;
}

std::uint64_t memoryLimit() {
    struct sysinfo info {};
    std::uint64_t machine = UINT64_MAX;
    if (sysinfo(&info) == 0)
        machine = (static_cast<std::uint64_t>(info.totalram) + info.totalswap) * info.mem_unit;
    return std::min(machine, controlGroupLimit());
}

AddressSpaceLimit addressSpaceLimit() {
    AddressSpaceLimit tightest;
    const std::tuple<int, const char*, const char*> limits[] = {
        {RLIMIT_AS, "VmSize", "address-space limit (ulimit -v)"},
        {RLIMIT_DATA, "VmData", "data limit (ulimit -d)"}};
    for (const auto& [resource, mapped, name] : limits) {
        const std::uint64_t limit = resourceLimit(resource);
        if (limit == UINT64_MAX)
            continue;
        const std::uint64_t held = processStatusBytes(mapped) + toolBuffers + pluginAllowance;
        const std::uint64_t left = limit > held ? limit - held : 0;
        if (left < tightest.left)
            tightest = {left, limit, name};
    }
    return tightest;
}

std::string describeBytes(double bytes) {
    const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB", "ZiB", "YiB"};
    const int lastUnit = static_cast<int>(std::size(units)) - 1;
    int unit = 0;
    while (bytes >= 1024 && unit < lastUnit) {
        bytes /= 1024;
        ++unit;
    }
    char text[48];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, units[unit]);
    return text;
}

void MemoryBudget::refuse(const std::string& what, double bytes, const char* kind, bool addressSpace) const {
    const double before =
        static_cast<double>(m_used) + (addressSpace ? static_cast<double>(m_addressSpaceOnly) : 0);
    const double limit = static_cast<double>(addressSpace ? m_addresses.left : m_limit);
    const auto [needed, left] = describePair(before + bytes, limit);
    const char* const counted =
        addressSpace && m_addressSpaceOnly > 0 ? "the images and threads" : "the images";
    throw std::invalid_argument(
        what + " needs " + (before > 0 ? describeBytes(bytes) : needed) + " of " + kind +
        (before > 0 ? "; with " + std::string(counted) + " before it, " + needed : "") + ": more than the " +
        left +
        (addressSpace ? " this process can still map under its " + std::string(m_addresses.name) + " of " +
                            describeBytes(static_cast<double>(m_addresses.limit))
                      : " this process can have"));
}

void MemoryBudget::reserve(std::uint64_t bytes, const std::string& what, std::uint64_t count) {
    std::uint64_t exact = 0, total = 0;
    if (__builtin_mul_overflow(bytes, count, &exact) || __builtin_add_overflow(m_used, exact, &total) ||
        total > m_limit)
        refuse(what, static_cast<double>(bytes) * static_cast<double>(count), "memory", false);
    if (limitsAddressSpace() && exact > addressSpaceLeft())
        refuse(what, static_cast<double>(exact), "memory", true);
    m_used = total;
    m_peak = std::max(m_peak, m_used);
}

void MemoryBudget::reserveAddressSpace(std::uint64_t bytes, const std::string& what) {
    if (limitsAddressSpace() && bytes > addressSpaceLeft())
        refuse(what, static_cast<double>(bytes), "address space", true);
    m_addressSpaceOnly = bytes < UINT64_MAX - m_addressSpaceOnly ? m_addressSpaceOnly + bytes : UINT64_MAX;
}

std::uint64_t MemoryBudget::addressSpaceLeft() const {
    const std::uint64_t mapped =
        m_addressSpaceOnly < UINT64_MAX - m_used ? m_used + m_addressSpaceOnly : UINT64_MAX;
    return m_addresses.left > mapped ? m_addresses.left - mapped : 0;
}

}  // namespace tools
}  // namespace Korvanta
