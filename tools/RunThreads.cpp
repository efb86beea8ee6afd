#include "tools/RunThreads.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <thread>

namespace Korvanta {
namespace tools {

namespace {

// A positive number at the start of the variable, before a comma (the sizes of nested teams) or its end.
std::uint64_t leadingCount(const char* variable) {
    const char* text = std::getenv(variable);
    char* end = nullptr;
    const unsigned long long count = text ? std::strtoull(text, &end, 10) : 0;
    while (end && std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    return count > 0 && end && (*end == '\0' || *end == ',') ? count : 0;
}

// A stack size as the OpenMP runtime reads it: a number with an optional unit B, K, M or G (K without
// one); 0 when it is not set or not such a size, and the runtime uses the default.
std::uint64_t stackSize(const char* variable) {
    const char* text = std::getenv(variable);
    char* end = nullptr;
    const unsigned long long size = text ? std::strtoull(text, &end, 10) : 0;
    if (!end || end == text)
        return 0;
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(*end)));
    const int shift = unit == 'B' ? 0 : unit == 'M' ? 20 : unit == 'G' ? 30 : 10;
    end += unit == 'B' || unit == 'K' || unit == 'M' || unit == 'G';
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    return *end == '\0' && size <= (UINT64_MAX >> shift) ? size << shift : 0;
}

}  // namespace

RunThreads RunThreads::ofThisProcess() {
    RunThreads threads;
    std::size_t stack = 0, guard = 0;
    pthread_attr_t defaults;
    if (pthread_getattr_default_np(&defaults) == 0) {
        pthread_attr_getstacksize(&defaults, &stack);
        pthread_attr_getguardsize(&defaults, &guard);
        pthread_attr_destroy(&defaults);
    }
    threads.poolThreads = std::max(1u, std::thread::hardware_concurrency());
    threads.poolStack = stack + guard;
    // Without OMP_NUM_THREADS the runtime makes teams of the processors this process may run on.
    cpu_set_t processors;
    const std::uint64_t available = sched_getaffinity(0, sizeof processors, &processors) == 0
                                        ? CPU_COUNT(&processors)
                                        : threads.poolThreads;
    const std::uint64_t requested = leadingCount("OMP_NUM_THREADS");
    threads.teamThreads = requested ? requested : std::max<std::uint64_t>(available, 1);
    // The runtime takes the first of the two that is a size.
    std::uint64_t teamStack = stackSize("OMP_STACKSIZE");
    teamStack = teamStack ? teamStack : stackSize("GOMP_STACKSIZE");
    threads.teamStack = (teamStack ? teamStack : stack) + guard;
    return threads;
}

std::uint64_t RunThreads::stackBytes(std::uint64_t images, std::uint64_t team) const {
    // Held at 2^64 - 1 where the settings ask for more, which no limit allows.
    std::uint64_t pool = 0, helpers = 0, bytes = 0;
    if (__builtin_mul_overflow(poolThreads, poolStack, &pool) ||
        __builtin_mul_overflow(std::min(images, poolThreads), team - 1, &helpers) ||
        __builtin_mul_overflow(helpers, teamStack, &helpers) || __builtin_add_overflow(pool, helpers, &bytes))
        return UINT64_MAX;
    return bytes;
}

std::uint64_t reserveThreadStacks(MemoryBudget& budget, const RunThreads& threads, std::uint64_t images) {
    const std::uint64_t left = budget.addressSpaceLeft();
    const std::uint64_t teams = std::min(images, threads.poolThreads);
    std::uint64_t team = threads.teamThreads;
    if (budget.limitsAddressSpace() && threads.stackBytes(images, team) > left) {
        const std::uint64_t pool = threads.stackBytes(images, 1);
        const std::uint64_t perHelper = teams * threads.teamStack;
        const std::uint64_t helpers = left > pool && perHelper > 0 ? (left - pool) / perHelper : 0;
        team = std::min(team, 1 + helpers);
    }
    budget.reserveAddressSpace(threads.stackBytes(images, team),
                               "Starting the " + std::to_string(threads.poolThreads) +
                                   " threads of the host's pool (" +
                                   describeBytes(static_cast<double>(threads.poolStack)) + " of stack each)");
    return team;
}

}  // namespace tools
}  // namespace Korvanta
