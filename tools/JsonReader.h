#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/JsonScalar.h"

namespace Korvanta {
namespace tools {

// Reads up to `size` bytes into `buffer`; 0 only at the end of the input.
using ReadFunction = std::function<std::size_t(char* buffer, std::size_t size)>;

// What a JSON text holds, in the order it is read. Each may throw to stop the reading.
class JsonHandler {
public:
    virtual ~JsonHandler() = default;
    virtual void beginObject() = 0;
    virtual void beginArray() = 0;
    virtual void key(std::string_view key) = 0;
    virtual void end() = 0;  // of the object or array begun last
    // A number (its text, which is JSON's form of a number however many digits it has), a string (its
    // content, escapes resolved), true, false or null.
    virtual void scalar(const JsonScalar& value) = 0;
};

// Text that is not one JSON value with nothing but whitespace after it: what was found and where.
class JsonError : public std::runtime_error {
public:
    JsonError(const std::string& problem, std::size_t offset)
        : std::runtime_error(problem), m_offset(offset) {}
    std::size_t offset() const { return m_offset; }  // of the byte where the problem was found

private:
    std::size_t m_offset;
};

// Reads one JSON value as it streams in, by RFC 8259 (strings in UTF-8), without recursion however deep
// it nests, and hands it to the handler. Throws JsonError for text that breaks the grammar; passes on what
// the handler throws.
void readJson(const ReadFunction& read, JsonHandler& handler);

}  // namespace tools
}  // namespace Korvanta
