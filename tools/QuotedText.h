#pragma once

#include <string>
#include <string_view>

namespace Korvanta {
namespace tools {

// The length of the UTF-8 sequence that begins at text[at], or 0 when the bytes there are none: an
// overlong form, a surrogate, beyond U+10FFFF, cut short or a stray continuation byte.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

// The text with the quote (none when 0) and control characters (those of ASCII, DEL and U+0080 to
// U+009F) escaped as JSON escapes them ("\n", "\u0000", "\u0085"), and each byte that is not part of
// UTF-8 text as "\xff"; with the quote '"' also the backslash. Text that is UTF-8 thus becomes the
// content of a JSON string, and any text one line of readable characters.
std::string escaped(std::string_view text, char quote);

// What the user wrote, as a message quotes it: whole, within `quote` (none when 0), escaped, and past
// about 80 characters cut to its start followed by "..." and its length, so that any text shows on one
// short line.
std::string quoted(std::string_view text, char quote = '"');

}  // namespace tools
}  // namespace Korvanta
