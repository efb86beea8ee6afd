#include "tools/RunSetup.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include "tools/RunThreads.h"

namespace Korvanta {
namespace tools {

namespace {

std::atomic<bool> computing{false};
std::atomic<int> computeFailedStatus{1};

// The OpenMP runtime ends the process with exit status 1 when it cannot start a thread of a team, which
// would read as refused input; its own message names the reason.
void exitWhileComputing() {
    if (!computing)
        return;
    static const char message[] = "error: the computation could not start a thread of the OpenMP runtime\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(computeFailedStatus);
}

}  // namespace

void shareMallocArenaUnderAddressLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        mallopt(M_ARENA_MAX, 1);
}

void reserveRunThreads(MemoryBudget& budget, std::uint64_t images) {
    const RunThreads threads = RunThreads::ofThisProcess();
    const std::uint64_t team = reserveThreadStacks(budget, threads, images);
    if (team == threads.teamThreads)
        return;
    setenv("OMP_NUM_THREADS", std::to_string(team).c_str(), 1);
    std::cerr << "note: the kernels run "
              << (team == 1 ? "on one thread each"
                            : "with teams of at most " + std::to_string(team) + " threads")
              << ", not " << threads.teamThreads
              << ": the stacks of more threads would not fit the address space this process can still map\n";
}

std::unique_ptr<PluginLoader> loadPlugin(const std::string& path, MemoryBudget& budget) {
    const std::uint64_t before = addressSpaceLimit().left;
    auto plugin = std::make_unique<PluginLoader>(path);
    const std::uint64_t after = addressSpaceLimit().left;
    if (before > after && before - after > pluginAllowance)
        budget.reserveAddressSpace(before - after - pluginAllowance, "Loading the plug-in");
    return plugin;
}

AlgorithmRun computeArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                               const Properties& record, Progress* progress, int failedStatus) {
    static const bool registered = std::atexit(exitWhileComputing) == 0;
    computeFailedStatus = failedStatus;
    computing = registered;
    try {
        AlgorithmRun run = runArithmetic(plugin, first, second, record, progress);
        computing = false;
        return run;
    } catch (const std::system_error& e) {
        computing = false;
        if (e.code() != std::errc::resource_unavailable_try_again)
            throw;
        throw std::runtime_error("The computation could not start a thread of the host's pool: " +
                                 e.code().message());
    } catch (...) {
        computing = false;
        throw;
    }
}

}  // namespace tools
}  // namespace Korvanta
