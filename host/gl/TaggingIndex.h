#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Key under which a quantity of a GLSL expression is named once per tagging walk: the address of
// what is named and, optionally, the kind of object behind that address.
struct TaggingIndex {
    const void* address = nullptr;
    std::optional<std::type_index> type;
};

inline bool operator==(const TaggingIndex& a, const TaggingIndex& b) {
    return a.address == b.address && a.type == b.type;
}
inline bool operator!=(const TaggingIndex& a, const TaggingIndex& b) {
    return !(a == b);
}

// Tagged key -> address of the GL name (std::string) given to the first node tagged under it.
using TagMap = std::unordered_map<TaggingIndex, const void*>;
// Kind of named quantity -> how many names of that kind the walk has handed out.
using TypeCounterMap = std::unordered_map<std::type_index, int>;

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta

template <>
struct std::hash<Korvanta::ImageMath::internal::TaggingIndex> {
    std::size_t operator()(const Korvanta::ImageMath::internal::TaggingIndex& index) const noexcept;
};
