#pragma once

#include <string>
#include <string_view>

#include "tools/NumberText.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

// A JSON value that is not an object or array, as read: a number's text, a string's content, "true" or
// "false", "null".
struct JsonScalar {
    enum class Kind { Number, String, Boolean, Null };
    Kind kind;
    std::string_view text;

    // As the user wrote it, for messages: strings in their quotes, long texts cut short.
    std::string shown() const { return quoted(text, kind == Kind::String ? '"' : 0); }
};

// Reads a number into T: a JSON number, or a string that holds one as readNumber reads it (so "0.5" is
// 0.5, and "NaN", "Infinity" and "-Infinity" are the values a JSON number cannot hold).
template <class T>
NumberProblem readNumber(const JsonScalar& value, T& result) {
    if (value.kind != JsonScalar::Kind::Number && value.kind != JsonScalar::Kind::String)
        return NumberProblem::NotANumber;
    return readNumber(value.text, result);
}

}  // namespace tools
}  // namespace Korvanta
