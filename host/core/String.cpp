#include "host/core/String.h"

namespace Korvanta {
namespace String {

std::vector<std::string> split(const std::string& text, const std::string& separator, int flags) {
    std::vector<std::string> pieces;
    auto addPiece = [&](std::string piece) {
        if (!piece.empty() || !(flags & SkipEmptyParts))
            pieces.push_back(std::move(piece));
    };
    if (separator.empty()) {
        addPiece(text);
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(separator, start)) != std::string::npos;
         start = found + separator.size())
        addPiece(text.substr(start, found - start));
    addPiece(text.substr(start));
    return pieces;
}

std::string replaceAllCopy(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return text;
    std::string result;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(from, start)) != std::string::npos;
         start = found + from.size())
        result.append(text, start, found - start).append(to);
    return result.append(text, start, std::string::npos);
}

}  // namespace String
}  // namespace Korvanta
