#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "tools/ChunkedBuffer.h"
#include "tools/JsonScalar.h"
#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// The values of an image read before its pixel type or extents, kept until they are known and then
// handed out as they were read, so that they read as if they had come after them. Each is held in half a
// byte per character of a number's text (a string that holds one the same), about as much memory as the
// values in their element type.
class PendingValues {
public:
    // `what` names the holding in the budget's message.
    PendingValues(MemoryBudget& budget, const std::string& what);

    void add(const JsonScalar& value);
    // The bytes counted in the budget for them.
    std::uint64_t heldBytes() const { return m_codes.reserved(); }
    // Calls f(value) for each value in order until it returns false, freeing the memory as it goes; empty
    // afterwards. A value that every element type refuses is taken once at most: f stops there.
    void drain(const std::function<bool(const JsonScalar&)>& f);

private:
    void addCodes(const unsigned char* codes, std::size_t count);

    ChunkedBuffer<unsigned char> m_codes;  // two to a byte, the first in the low half
    std::uint64_t m_codeCount = 0;
    unsigned char* m_halfFilled = nullptr;  // the byte whose high half is next, if any
    // A value of any other kind, which every element type refuses: only the first is ever read again.
    std::optional<JsonScalar::Kind> m_otherKind;
    std::string m_otherText;
};

}  // namespace tools
}  // namespace Korvanta
