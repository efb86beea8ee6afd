#include "tools/JsonOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "tools/NumberText.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

// The string form of a floating value that a JSON number cannot hold, or null.
template <class T>
const char* nonNumberName(T value) {
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(value))
            return "\"NaN\"";
        if (std::isinf(value))
            return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
        if (value == 0 && std::signbit(value))
            return "\"-0\"";
    }
    return nullptr;
}

}  // namespace

JsonOutput::JsonOutput(Sink sink, std::size_t bufferSize) : m_sink(std::move(sink)), m_buffer(bufferSize) {}

void JsonOutput::reserve(std::size_t size) {
    if (m_used + size > m_buffer.size())
        flush();
    if (size > m_buffer.size())
        m_buffer.resize(size);
}

void JsonOutput::raw(std::string_view text) {
    reserve(text.size());
    std::memcpy(m_buffer.data() + m_used, text.data(), text.size());
    m_used += text.size();
}

void JsonOutput::string(std::string_view text) {
    raw("\"");
    raw(escaped(text, '"'));
    raw("\"");
}

template <class T>
void JsonOutput::number(T value) {
    numbers(&value, 1);
}

template <class T>
void JsonOutput::numbers(const T* values, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        reserve(maximumNumberText + 1);
        char* out = m_buffer.data() + m_used;
        if (i > 0)
            *out++ = ',';
        if (const char* name = nonNumberName(values[i])) {
            const std::size_t length = std::strlen(name);
            std::memcpy(out, name, length);
            out += length;
        } else {
            out = writeNumber(out, values[i]);
        }
        m_used = static_cast<std::size_t>(out - m_buffer.data());
    }
}

void JsonOutput::flush() {
    if (m_used > 0)
        m_sink(m_buffer.data(), m_used);
    m_used = 0;
}

JsonOutput::Sink fileDescriptorSink(int descriptor) {
    return [descriptor](const char* text, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(descriptor, text, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw std::runtime_error(std::string("Cannot write the output: ") +
                                         (written < 0 ? std::strerror(errno) : "nothing was written"));
            text += written;
            size -= static_cast<std::size_t>(written);
        }
    };
}

#define KORVANTA_JSON_OUTPUT_NUMBERS(T)  \
    template void JsonOutput::number(T); \
    template void JsonOutput::numbers(const T*, std::int64_t);
KORVANTA_JSON_OUTPUT_NUMBERS(char)
KORVANTA_JSON_OUTPUT_NUMBERS(unsigned char)
KORVANTA_JSON_OUTPUT_NUMBERS(short)
KORVANTA_JSON_OUTPUT_NUMBERS(unsigned short)
KORVANTA_JSON_OUTPUT_NUMBERS(int)
KORVANTA_JSON_OUTPUT_NUMBERS(unsigned int)
KORVANTA_JSON_OUTPUT_NUMBERS(float)
KORVANTA_JSON_OUTPUT_NUMBERS(double)
#undef KORVANTA_JSON_OUTPUT_NUMBERS

}  // namespace tools
}  // namespace Korvanta
