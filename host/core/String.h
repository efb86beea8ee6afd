#pragma once

#include <string>
#include <vector>

namespace Korvanta {
namespace String {

enum SplitFlags { NoSplitFlags = 0, SkipEmptyParts = 1 };

// The pieces of text between occurrences of the separator (a whole string), in order. An empty text
// gives one empty piece unless empty pieces are skipped; an empty separator gives the text whole.
std::vector<std::string> split(const std::string& text, const std::string& separator,
                               int flags = NoSplitFlags);

// The text with every non-overlapping occurrence of `from`, scanned left to right, replaced by `to`.
// An empty `from` leaves the text unchanged.
std::string replaceAllCopy(const std::string& text, const std::string& from, const std::string& to);

}  // namespace String
}  // namespace Korvanta
