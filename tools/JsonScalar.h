#pragma once

#include <string>
#include <string_view>

namespace Korvanta {
namespace tools {

// A JSON value that is not an object or array, as read: a number's text, a string's content, "true" or
// "false", "null".
struct JsonScalar {
    enum class Kind { Number, String, Boolean, Null };
    Kind kind;
    std::string_view text;

    // As the user wrote it: strings in their quotes.
    std::string shown() const {
        return kind == Kind::String ? "\"" + std::string(text) + "\"" : std::string(text);
    }
};

}  // namespace tools
}  // namespace Korvanta
