#include "tools/MemoryBudget.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

namespace {

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

}  // namespace

std::uint64_t imageBytes(const ImageDescriptor& d, const std::string& what) {
    std::uint64_t elementSize = 0;
    Utils::visitElementType(d.pixelType,
                            [&](auto tag) { elementSize = sizeof(typename decltype(tag)::type); });
    std::uint64_t bytes = elementSize;
    for (const int extent : {d.width, d.height, d.slices, d.channels})
        if (__builtin_mul_overflow(bytes, static_cast<std::uint64_t>(std::max(extent, 0)), &bytes))
            throw std::invalid_argument(what + " is " + std::to_string(d.width) + "x" +
                                        std::to_string(d.height) + "x" + std::to_string(d.slices) + " with " +
                                        std::to_string(d.channels) +
                                        " channels: more elements than any memory holds");
    return bytes;
}

std::uint64_t memoryLimit() {
    struct sysinfo info {};
    std::uint64_t machine = UINT64_MAX;
    if (sysinfo(&info) == 0)
        machine = (static_cast<std::uint64_t>(info.totalram) + info.totalswap) * info.mem_unit;
    return std::min({machine, controlGroupLimit(), resourceLimit(RLIMIT_DATA), resourceLimit(RLIMIT_AS)});
}

std::string describeBytes(std::uint64_t bytes) {
    const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 6) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

void MemoryBudget::reserve(std::uint64_t bytes, const std::string& what) {
    std::uint64_t total = 0;
    const bool overflowed = __builtin_add_overflow(m_used, bytes, &total);
    if (overflowed || total > m_limit) {
        const std::uint64_t needed = overflowed ? UINT64_MAX : total;
        // Amounts that round to the same text are given in bytes, so the message never reads "more than"
        // itself.
        const bool close = describeBytes(needed) == describeBytes(m_limit);
        const auto text = [close](std::uint64_t amount) {
            return close ? std::to_string(amount) + " bytes" : describeBytes(amount);
        };
        throw std::invalid_argument(
            what + " needs " + text(bytes) + " of memory" +
            (m_used ? "; with the images before it, " + text(needed) : std::string()) + ": more than the " +
            text(m_limit) + " this process can have");
    }
    m_used = total;
    m_peak = std::max(m_peak, m_used);
}

}  // namespace tools
}  // namespace Korvanta
