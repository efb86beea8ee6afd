#include "host/gl/TaggingIndex.h"

#include <cstdint>

std::size_t std::hash<Korvanta::ImageMath::internal::TaggingIndex>::operator()(
    const Korvanta::ImageMath::internal::TaggingIndex& index) const noexcept {
    constexpr std::uint64_t m = 0xc6a4a7935bd1e995ULL;
    std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(index.address));
    if (!index.type) {
        return static_cast<std::size_t>(h);
    }
    std::uint64_t k = std::hash<std::type_index>()(*index.type);
    k *= m;
    k ^= k >> 47;
    k *= m;
    h ^= k;
    h *= m;
    h += 0xe6546b64ULL;
    return static_cast<std::size_t>(h);
}
