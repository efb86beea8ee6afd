#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Korvanta {
namespace tools {

// JSON text written through a buffer to a sink in large pieces, so that output of any size needs no copy
// of itself in memory.
class JsonOutput {
public:
    // Takes the next piece of text; throws when it cannot be written.
    using Sink = std::function<void(const char* text, std::size_t size)>;

    explicit JsonOutput(Sink sink, std::size_t bufferSize = std::size_t(1) << 20);

    // Text as given: punctuation, keys known to need no escapes, numbers already formatted.
    void raw(std::string_view text);
    // A JSON string with its quotes, escaped.
    void string(std::string_view text);
    // Integers as themselves; floating values in their shortest round-trip form, NaN, the infinities and
    // -0 (which a JSON number loses in most readers) as the strings "NaN", "Infinity", "-Infinity", "-0".
    template <class T>
    void number(T value);
    // The values separated by commas, without brackets.
    template <class T>
    void numbers(const T* values, std::int64_t count);
    // Hands everything buffered to the sink.
    void flush();

private:
    void reserve(std::size_t size);

    Sink m_sink;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

// A sink that writes to a file descriptor (1 for standard output), retrying interrupted and partial
// writes; throws std::runtime_error with the system's reason when a write fails.
JsonOutput::Sink fileDescriptorSink(int descriptor);

}  // namespace tools
}  // namespace Korvanta
