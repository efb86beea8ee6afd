#pragma once

#include <string>
#include <vector>

#include "host/core/Log.h"

namespace Korvanta {

// Collects every log record written while it exists, with the global level set as given; restores the
// previous sink and level when destroyed. For tests and tools that inspect messages.
class LogCapture {
public:
    explicit LogCapture(int globalLevel = Log::Trace);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<Log::Record>& records() const { return m_records; }
    std::vector<std::string> texts() const;
    void clear() { m_records.clear(); }

private:
    std::vector<Log::Record> m_records;
    Log::Sink m_previousSink;
    int m_previousLevel;
};

}  // namespace Korvanta
