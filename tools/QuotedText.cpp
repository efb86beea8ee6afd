#include "tools/QuotedText.h"

#include <cstdio>

namespace Korvanta {
namespace tools {

namespace {

constexpr std::size_t longestShown = 80;
constexpr std::size_t shownWhenCut = 60;

}  // namespace

std::string escaped(std::string_view text, char quote) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((quote && c == quote) || (quote == '"' && c == '\\')) {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view text, char quote) {
    const bool cut = text.size() > longestShown;
    std::size_t shown = text.size();
    if (cut) {
        shown = shownWhenCut;
        // Not inside a character of several bytes (UTF-8 continuation bytes are 10xxxxxx).
        while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
            --shown;
    }
    std::string out;
    if (quote)
        out += quote;
    out += escaped(text.substr(0, shown), quote);
    if (cut)
        out += "...";
    if (quote)
        out += quote;
    if (cut)
        out += " (" + std::to_string(text.size()) + " bytes)";
    return out;
}

}  // namespace tools
}  // namespace Korvanta
