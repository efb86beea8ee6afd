#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "host/image/PixelTypeUtils.h"
#include "host/image/SharedImage.h"

// The images a Set-level assignment writes, and the memory they occupy.
namespace Korvanta {
namespace ImageMath {
namespace internal {

// One image that the assignment writes, and the index that writes it.
struct WrittenImage {
    int index;
    SharedImage* image;
};

// The bytes of an image's elements in its CPU memory; empty without memory or elements.
struct ElementBytes {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;

    bool empty() const { return begin == end; }
    bool overlaps(const ElementBytes& other) const { return begin < other.end && other.begin < end; }
    bool operator!=(const ElementBytes& other) const { return begin != other.begin || end != other.end; }
};

inline ElementBytes elementBytesOf(SharedImage& image) {
    ElementBytes bytes;
    MemImage* memory = image.mem();
    if (!memory) {
        return bytes;
    }
    Utils::visitElementType(memory->descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (auto* typed = dynamic_cast<TypedImage<T>*>(memory)) {
            const auto* first = static_cast<const T*>(typed->data());
            bytes.begin = reinterpret_cast<std::uintptr_t>(first);
            bytes.end = reinterpret_cast<std::uintptr_t>(first + typed->size());
        }
    });
    return bytes;
}

// A set may hold one image at several indices, or several images over one CPU memory. Assigned in place,
// those indices would write the same elements at once, each from its own operands. The result is defined
// as that of computing the indices in index order with every operand read before anything is written: the
// last selected index that writes an image decides it. So only that index is kept; the earlier ones would
// compute what nobody can see. Without such images this is one look-up per image.
inline void keepLastWriterOfEachImage(std::vector<WrittenImage>& written) {
    std::unordered_set<const void*> writtenLater;
    std::vector<WrittenImage> kept;
    for (auto target = written.rbegin(); target != written.rend(); ++target) {
        const bool newImage = writtenLater.insert(target->image).second;
        const MemImage* memory = target->image ? target->image->mem() : nullptr;
        const bool newMemory = !memory || writtenLater.insert(memory).second;
        if (newImage && newMemory) {
            kept.push_back(*target);
        }
    }
    if (kept.size() != written.size()) {
        written.assign(kept.rbegin(), kept.rend());
    }
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
