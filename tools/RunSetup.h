#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/core/PluginLoader.h"
#include "tools/AlgorithmRun.h"
#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// What a run of the tool needs beside its images, counted before the run starts: the plug-in's
// libraries and the threads, whose stacks take address space that a resource limit (ulimit -v, -d)
// counts.

// Under an address-space limit, each thread's own malloc arena would reserve 64 MiB of it, which no
// budget could count: the threads then share one. Call before any thread starts.
void shareMallocArenaUnderAddressLimit();

// Reserves the address space of the threads a run over `images` images starts, with OpenMP teams as large as
// the budget leaves room for. When that is fewer threads than the OpenMP runtime would start, the runtime is
// told (OMP_NUM_THREADS, which it reads when the plug-in loads it) and a note on standard error says so. Call
// before loadPlugin; throws as the budget does when not even the host's pool fits.
void reserveRunThreads(MemoryBudget& budget, std::uint64_t images);

// Loads the plug-in, counting what its libraries map beyond what the budget set aside for them.
std::unique_ptr<PluginLoader> loadPlugin(const std::string& path, MemoryBudget& budget);

// runArithmetic, where a thread that cannot be started fails the run with a message that says so:
// std::runtime_error for the host's pool, and for the OpenMP runtime, which ends the process itself, an
// exit with `failedStatus`.
AlgorithmRun computeArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                               const Properties& record, Progress* progress, int failedStatus);

}  // namespace tools
}  // namespace Korvanta
