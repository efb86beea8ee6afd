#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/Progress.h"
#include "host/core/Signal.h"
#include "host/core/String.h"

namespace Korvanta {
namespace {

TEST(Signal, ConnectionOutlivesItsReleasedHandle) {
    SignalImpl<false> signal;
    int calls = 0;
    {
        signal.connect([&] { ++calls; });
    }
    signal.emitSignal();
    signal();
    EXPECT_EQ(calls, 2);
}

TEST(Signal, DisconnectStopsOnlyThatConnection) {
    SignalImpl<false> signal;
    std::string order;
    SignalConnection a = signal.connect([&] { order += "a"; });
    signal.connect([&] { order += "b"; });
    signal.emitSignal();
    a.disconnect();
    EXPECT_FALSE(a.connected());
    signal.emitSignal();
    EXPECT_EQ(order, "abb");
    EXPECT_EQ(signal.connectionCount(), 1u);
}

TEST(Signal, SlotMayConnectWhileTheSignalRuns) {
    SignalImpl<false> signal;
    int late = 0;
    signal.connect([&] { signal.connect([&] { ++late; }); });
    signal.emitSignal();
    EXPECT_EQ(late, 0);
    signal.emitSignal();
    EXPECT_EQ(late, 1);
}

TEST(String, Split) {
    struct Case {
        std::string text, separator;
        int flags;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {"Image Operations;Arithmetic Operators", ";", 0, {"Image Operations", "Arithmetic Operators"}},
        {"Arithmetic", ";", 0, {"Arithmetic"}},
        {"a;;b;", ";", 0, {"a", "", "b", ""}},
        {"a;;b;", ";", String::SkipEmptyParts, {"a", "b"}},
        {"", ";", 0, {""}},
        {"", ";", String::SkipEmptyParts, {}},
        {"a, b, c", ", ", 0, {"a", "b", "c"}},
        {"abc", "", 0, {"abc"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(String::split(c.text, c.separator, c.flags), c.pieces) << c.text;
}

TEST(String, ReplaceAllCopy) {
    struct Case {
        std::string text, from, to, result;
    };
    const std::vector<Case> cases = {
        {"ascalarf0 + ascalarf1", "a", "q", "qscqlqrf0 + qscqlqrf1"},
        {"aaa", "aa", "b", "ba"},
        {"abc", "", "x", "abc"},
        {"abc", "abc", "", ""},
        {"x", "y", "z", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(String::replaceAllCopy(c.text, c.from, c.to), c.result) << c.text;
}

struct RecordingProgress : Progress {
    std::vector<std::string> events;
    int beginTask(int steps, const std::string& text) override {
        events.push_back("begin " + std::to_string(steps) + " " + text);
        return 7;
    }
    void updateTask(int task, int step) override {
        events.push_back("update " + std::to_string(task) + " " + std::to_string(step));
    }
    void endTask(int task) override { events.push_back("end " + std::to_string(task)); }
};

TEST(Progress, TaskBeginsAndEndsWithItsScopeAlsoOnException) {
    RecordingProgress progress;
    try {
        Progress::Task task(&progress, 0, "Performing arithmetic operation...");
        task.setStep(1);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(progress.events, (std::vector<std::string>{"begin 0 Performing arithmetic operation...",
                                                         "update 7 1", "end 7"}));
    Progress::Task nothing(nullptr, 3, "no sink");
    nothing.setStep(2);
}

TEST(Progress, ConsoleProgressWritesTheTaskText) {
    std::ostringstream out;
    ConsoleProgress progress(out);
    {
        Progress::Task task(&progress, 4, "Working");
        task.setStep(2);
    }
    EXPECT_EQ(out.str(), "Working\nWorking 2/4\nWorking done\n");
}

}  // namespace
}  // namespace Korvanta
