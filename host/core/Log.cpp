#include "host/core/Log.h"

#include <iostream>
#include <mutex>

#include "host/core/NeverDestroyed.h"

namespace Korvanta {

namespace {

// Used by whoever logs, on any thread, also while the process ends.
struct LogState {
    std::mutex mutex;
    Log::Sink sink;
    Log::CategoryFilter filter;
};

LogState& state() {
    static NeverDestroyed<LogState> instance;
    return instance.get();
}

void writeToStandardError(const Log::Record& record) {
    static const char* const names[] = {"TRACE", "DEBUG", "INFO", "WARNING", "ERROR", "FATAL"};
    const int index = record.level >= Log::Trace && record.level <= Log::Fatal ? record.level : Log::Fatal;
    std::cerr << "[" << names[index] << "]";
    if (!record.category.empty())
        std::cerr << " [" << record.category << "]";
    std::cerr << " " << record.text << "\n";
}

}  // namespace

int Log::g_globalLevel = Log::Info;

bool Log::isAccepted(Level level, const char* category) {
    LogState& shared = state();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return !shared.filter || shared.filter(level, category ? category : "");
}

void Log::log(Level level, const char* category, const std::string& text, const char* file, int line) {
    Record record{level, category ? category : "", text, file ? file : "", line};
    LogState& shared = state();
    std::lock_guard<std::mutex> lock(shared.mutex);
    if (shared.sink)
        shared.sink(record);
    else
        writeToStandardError(record);
}

Log::Sink Log::setSink(Sink sink) {
    LogState& shared = state();
    std::lock_guard<std::mutex> lock(shared.mutex);
    std::swap(shared.sink, sink);
    return sink;
}

Log::CategoryFilter Log::setCategoryFilter(CategoryFilter filter) {
    LogState& shared = state();
    std::lock_guard<std::mutex> lock(shared.mutex);
    std::swap(shared.filter, filter);
    return filter;
}

}  // namespace Korvanta
