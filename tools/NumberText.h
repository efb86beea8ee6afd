#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

// Why a number's text was not taken.
enum class NumberProblem { None, NotANumber, NotAnInteger, OutOfRange };

// Whether the text is a number as JSON writes one: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(std::string_view text);

// Reads a JSON number's text (as isJsonNumber; nothing else is a number) into T straight from the digits,
// so that every value is rounded once. Floating types round to nearest as IEEE reading does: a magnitude
// below the smallest subnormal is a zero of the text's sign, one that rounds beyond the largest finite
// value is OutOfRange; they also take "NaN", "Infinity" and "-Infinity", the texts of the values a JSON
// number cannot hold. Integer types take integers in their range only, written in any form of the same
// value ("100", "1e2", "100.0"); "1.5" is NotAnInteger. The value is unchanged unless the result is
// None. Instantiated for the eight element types and unsigned long.
template <class T>
NumberProblem readNumber(std::string_view text, T& value);

// "<shown> is not a number", "... is not an integer", "... is out of range for a uint8": the message for
// a problem, with the text shown as the user wrote it (quoted by the caller as the input's form quotes).
std::string describeNumberProblem(NumberProblem problem, const std::string& shown,
                                  const std::string& typeName);

// Longest text of a number that writeNumber writes.
constexpr std::size_t maximumNumberText = 32;

// Writes the shortest text that reads back as the same value of T (finite floating values; integers) and
// returns the end of the text, which has at most maximumNumberText characters.
template <class T>
char* writeNumber(char* out, T value) {
    if constexpr (std::is_integral_v<T> && sizeof(T) < sizeof(int))
        return std::to_chars(out, out + maximumNumberText,
                             static_cast<int>(static_cast<Utils::ElementNumber<T>>(value)))
            .ptr;
    else
        return std::to_chars(out, out + maximumNumberText, value).ptr;
}

}  // namespace tools
}  // namespace Korvanta
