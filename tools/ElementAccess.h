#pragma once

#include <cstdint>
#include <stdexcept>

#include "host/image/MemImage.h"
#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

// Calls f(elements, count) once with the typed element buffer of CPU memory, elements being a T* (or
// const T*) of the element type its pixel type names. Throws std::invalid_argument for memory of an
// unknown pixel type or memory that does not hold that element type.
template <class Memory, class F>
void visitElements(Memory& memory, F&& f) {
    const bool known = Utils::visitElementType(memory.descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        using Typed = std::conditional_t<std::is_const_v<Memory>, const TypedImage<T>, TypedImage<T>>;
        auto* typed = dynamic_cast<Typed*>(&memory);
        if (!typed)
            throw std::invalid_argument("Image memory does not hold the element type of its pixel type");
        f(typed->pointer(), typed->size());
    });
    if (!known)
        throw std::invalid_argument("Image memory has no element type");
}

}  // namespace tools
}  // namespace Korvanta
