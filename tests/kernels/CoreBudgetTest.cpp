#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "host/threading/ThreadPool.h"
#include "imagemath/kernels/CoreBudget.h"

namespace Korvanta {
namespace {

using ImageMath::internal::AnnouncedTasks;
using ImageMath::internal::BusyThreadScope;
using ImageMath::internal::CoreBudget;
using ImageMath::internal::TeamBudget;
using namespace std::chrono_literals;

TEST(CoreBudgetTest, HelpersComeFromFreeCoresUpToTheFairShare) {
    struct Case {
        std::size_t cores, busy, queued, held, wanted, granted;
    };
    const Case cases[] = {
        {8, 1, 0, 0, 7, 7},                      // alone: every other core
        {8, 1, 0, 0, 3, 3},                      // no more than wanted
        {8, 2, 0, 0, 7, 3},                      // two busy threads: half the cores each
        {8, 1, 7, 0, 7, 0},                      // seven tasks about to start: one core each
        {8, 1, 1, 0, 7, 3}, {8, 3, 0, 4, 7, 1},  // limited by the free cores
        {8, 9, 0, 0, 7, 0},                      // more busy threads than cores
        {1, 1, 0, 0, 4, 0},
    };
    for (const Case& c : cases) {
        CoreBudget budget(c.cores);
        // An earlier region of the first busy thread holds its helpers since it was alone.
        budget.enterBusy();
        ASSERT_EQ(budget.claimHelpers(c.held), c.held);
        for (std::size_t i = 1; i < c.busy; ++i) {
            budget.enterBusy();
        }
        for (std::size_t i = 0; i < c.queued; ++i) {
            budget.tasksAnnounced(1);
        }
        EXPECT_EQ(budget.claimHelpers(c.wanted), c.granted)
            << c.cores << " cores, " << c.busy << " busy, " << c.queued << " queued, " << c.held << " held";
    }
}

TEST(CoreBudgetTest, ABusyThreadWaitsOnlyWhileHelpersHoldItsCore) {
    CoreBudget budget(2);
    budget.enterBusy();
    ASSERT_EQ(budget.claimHelpers(1), 1u);
    std::atomic<bool> entered{false};
    std::thread late([&] {
        budget.enterBusy();
        entered = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(entered.load()) << "entered while the helper held the last core";
    budget.releaseHelpers(1);
    late.join();
    EXPECT_TRUE(entered.load());
    EXPECT_EQ(budget.busyThreads(), 2u);
    // Without helpers, threads that run their own work are never held back, whatever their number.
    budget.enterBusy();
    EXPECT_EQ(budget.busyThreads(), 3u);
}

TEST(CoreBudgetTest, ProcessBudgetCountsAnnouncedTasksRunningTasksAndTeams) {
    CoreBudget& process = CoreBudget::process();
    ASSERT_EQ(process.busyThreads(), 0u);
    ASSERT_EQ(process.announcedTasks(), 0u);
    {
        // Three images: one takes the GPU road, one runs as a task, one never begins.
        AnnouncedTasks announced(3);
        announced.withdrawOne();
        std::atomic<bool> release{false};
        std::atomic<std::size_t> busyInTask{0}, busyInNestedScope{0}, announcedInTask{0};
        Threading::ThreadPool pool(1);
        pool.addTask([&] {
            announced.run([&] {
                busyInTask = process.busyThreads();
                announcedInTask = process.announcedTasks();
                {
                    const BusyThreadScope nested;
                    busyInNestedScope = process.busyThreads();
                }
                while (!release) {
                    std::this_thread::sleep_for(1ms);
                }
            });
        });
        while (busyInTask == 0) {
            std::this_thread::sleep_for(1ms);
        }
        release = true;
        pool.waitUntilFinished(0ms);
        EXPECT_EQ(busyInTask.load(), 1u);
        EXPECT_EQ(busyInNestedScope.load(), 1u);
        EXPECT_EQ(announcedInTask.load(), 1u);
        EXPECT_EQ(process.busyThreads(), 0u);
        EXPECT_EQ(process.announcedTasks(), 1u);
    }
    EXPECT_EQ(process.announcedTasks(), 0u);
    {
        // Announced tasks hold the cores back until each begins or is withdrawn.
        AnnouncedTasks announced(process.cores());
        announced.withdrawOne();
        const TeamBudget team(4);
        EXPECT_EQ(team.threads(), 1);
    }
    {
        const TeamBudget team(4);
        EXPECT_GE(team.threads(), 1);
        EXPECT_LE(team.threads(), 4);
        EXPECT_EQ(process.busyThreads(), 1u);
        EXPECT_EQ(process.helperThreads(), static_cast<std::size_t>(team.threads() - 1));
    }
    EXPECT_EQ(process.helperThreads(), 0u);
    EXPECT_EQ(process.busyThreads(), 0u);
}

// Tasks on the host's pool, each with a team of the threads its budget grants (threads of the test's own,
// so that ThreadSanitizer sees every grant): tasks and helpers never outnumber the cores.
TEST(CoreBudgetTest, TasksAndTheirTeamsNeverOutnumberTheCores) {
    CoreBudget& process = CoreBudget::process();
    const std::size_t cores = process.cores();
    std::atomic<std::size_t> working{0}, most{0};
    const auto work = [&] {
        const std::size_t now = ++working;
        std::size_t seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(1ms);
        --working;
    };
    {
        Threading::ThreadPool pool(cores);
        for (std::size_t task = 0; task < 4 * cores; ++task) {
            pool.addTask([&] {
                const TeamBudget team(cores);
                std::vector<std::thread> helpers(static_cast<std::size_t>(team.threads() - 1));
                for (std::thread& helper : helpers) {
                    helper = std::thread(work);
                }
                work();
                for (std::thread& helper : helpers) {
                    helper.join();
                }
            });
        }
        pool.waitUntilFinished(0ms);
    }
    EXPECT_LE(most.load(), cores);
    EXPECT_EQ(process.busyThreads(), 0u);
    EXPECT_EQ(process.helperThreads(), 0u);
}

// Whether the thread `id` of this process sleeps (in a wait, since nothing else on its way blocks).
bool threadSleeps(pid_t id) {
    std::ifstream stat("/proc/self/task/" + std::to_string(id) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t afterName = text.rfind(')');
    return afterName != std::string::npos && text.compare(afterName, 3, ") S") == 0;
}

// The OpenMP runtime ends the process with exit() from inside a region when it cannot start a thread; the
// region's helpers are held then, and a task may wait for them. The process must still end.
TEST(CoreBudgetTest, TheProcessEndsWhileAThreadWaitsForHelpers) {
    CoreBudget& process = CoreBudget::process();
    if (process.cores() < 2) {
        GTEST_SKIP() << "one core: no helper to wait for";
    }
    constexpr int kExitStatus = 42;
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const BusyThreadScope region;
        if (process.claimHelpers(process.cores() - 1) != process.cores() - 1) {
            std::_Exit(1);
        }
        std::atomic<pid_t> waiterId{0};
        std::thread waiter([&] {
            waiterId = gettid();
            const BusyThreadScope waitsForTheHelpers;
        });
        while (waiterId == 0 || !threadSleeps(waiterId)) {
            std::this_thread::sleep_for(1ms);
        }
        std::exit(kExitStatus);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the process did not end within 10 s of exit()";
        }
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitStatus) << "status " << status;
}

}  // namespace
}  // namespace Korvanta
