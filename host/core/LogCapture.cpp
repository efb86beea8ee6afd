#include "host/core/LogCapture.h"

namespace Korvanta {

LogCapture::LogCapture(int globalLevel) : m_previousLevel(Log::g_globalLevel) {
    m_previousSink = Log::setSink([this](const Log::Record& record) { m_records.push_back(record); });
    Log::g_globalLevel = globalLevel;
}

LogCapture::~LogCapture() {
    Log::setSink(std::move(m_previousSink));
    Log::g_globalLevel = m_previousLevel;
}

std::vector<std::string> LogCapture::texts() const {
    std::vector<std::string> texts;
    for (const Log::Record& record : m_records)
        texts.push_back(record.text);
    return texts;
}

}  // namespace Korvanta
