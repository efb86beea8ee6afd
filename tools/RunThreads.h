#pragma once

#include <cstdint>

#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// The threads a run starts: the host's pool, one thread per hardware thread, and for each pool thread
// that computes an image a team of the OpenMP runtime, whose helpers that pool thread keeps until the
// pool ends. Each thread's stack is address space reserved when it starts.
struct RunThreads {
    std::uint64_t poolThreads = 1;
    std::uint64_t poolStack = 0;    // bytes, the guard page included
    std::uint64_t teamThreads = 1;  // the most threads of a team, the pool thread included
    std::uint64_t teamStack = 0;

    // Of this process: the system's defaults and the OpenMP runtime's settings (OMP_NUM_THREADS,
    // OMP_STACKSIZE) as the runtime will read them when it is loaded.
    static RunThreads ofThisProcess();
    // The address space of the stacks of a run over `images` images with teams of `team` threads.
    std::uint64_t stackBytes(std::uint64_t images, std::uint64_t team) const;
};

// Reserves the stacks of a run over `images` images in the budget's address space, with teams as large
// as it leaves room for (teamThreads at most), and returns that team size. Throws as the budget does
// when not even teams of one thread, the pool alone, fit.
std::uint64_t reserveThreadStacks(MemoryBudget& budget, const RunThreads& threads, std::uint64_t images);

}  // namespace tools
}  // namespace Korvanta
