#include "tools/QuotedText.h"

#include <cstdio>

namespace Korvanta {
namespace tools {

namespace {

constexpr std::size_t longestShown = 80;
constexpr std::size_t shownWhenCut = 60;

void appendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    // The second byte's range excludes the overlong forms, the surrogates and what lies beyond U+10FFFF.
    const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = at + 2; i < at + length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

std::string escaped(std::string_view text, char quote) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            appendEscape(out, "\\x%02x", byte);
        } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080 to U+009F, the second set of control characters (NEL among them).
            appendEscape(out, "\\u%04x", static_cast<unsigned char>(text[i + 1]));
        } else if (length > 1) {
            out.append(text.substr(i, length));
        } else if ((quote && c == quote) || (quote == '"' && c == '\\')) {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendEscape(out, "\\u%04x", byte);
        } else {
            out += c;
        }
        i += length == 0 ? 1 : length;
    }
    return out;
}

std::string quoted(std::string_view text, char quote) {
    const bool cut = text.size() > longestShown;
    std::size_t shown = text.size();
    if (cut) {
        shown = shownWhenCut;
        // Not inside a character of several bytes (UTF-8 continuation bytes are 10xxxxxx, at most three).
        while (shown > shownWhenCut - 3 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
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
