#include "host/core/Log.h"

#include <iostream>
#include <mutex>

namespace Korvanta {

namespace {

std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

void writeToStandardError(const Log::Record& record) {
    static const char* const names[] = {"TRACE", "DEBUG", "INFO", "WARNING", "ERROR", "FATAL"};
    const int index = record.level >= Log::Trace && record.level <= Log::Fatal ? record.level : Log::Fatal;
    std::cerr << "[" << names[index] << "]";
    if (!record.category.empty())
        std::cerr << " [" << record.category << "]";
    std::cerr << " " << record.text << "\n";
}

Log::Sink& currentSink() {
    static Log::Sink sink;
    return sink;
}

Log::CategoryFilter& currentFilter() {
    static Log::CategoryFilter filter;
    return filter;
}

}  // namespace

int Log::g_globalLevel = Log::Info;

bool Log::isAccepted(Level level, const char* category) {
    std::lock_guard<std::mutex> lock(logMutex());
    const CategoryFilter& filter = currentFilter();
    return !filter || filter(level, category ? category : "");
}

void Log::log(Level level, const char* category, const std::string& text, const char* file, int line) {
    Record record{level, category ? category : "", text, file ? file : "", line};
    std::lock_guard<std::mutex> lock(logMutex());
    if (const Sink& sink = currentSink())
        sink(record);
    else
        writeToStandardError(record);
}

Log::Sink Log::setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(logMutex());
    std::swap(currentSink(), sink);
    return sink;
}

Log::CategoryFilter Log::setCategoryFilter(CategoryFilter filter) {
    std::lock_guard<std::mutex> lock(logMutex());
    std::swap(currentFilter(), filter);
    return filter;
}

}  // namespace Korvanta
