#pragma once

#include <string>
#include <string_view>

namespace Korvanta {
namespace tools {

// The text with the quote (none when 0) and control characters escaped as JSON escapes them ("\n",
// "\u0000"); with the quote '"' also the backslash, so that the result is the content of a JSON string.
std::string escaped(std::string_view text, char quote);

// What the user wrote, as a message quotes it: whole, within `quote` (none when 0), escaped, and past
// about 80 characters cut to its start followed by "..." and its length, so that any text shows on one
// short line.
std::string quoted(std::string_view text, char quote = '"');

}  // namespace tools
}  // namespace Korvanta
