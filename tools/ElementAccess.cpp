#include "tools/ElementAccess.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

namespace {

template <class F>
void visitTyped(const MemImage& memory, F&& f) {
    const bool known = Utils::visitElementType(memory.descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        const auto* typed = dynamic_cast<const TypedImage<T>*>(&memory);
        if (!typed)
            throw std::invalid_argument("Image memory does not hold the element type of its pixel type");
        f(const_cast<TypedImage<T>&>(*typed));
    });
    if (!known)
        throw std::invalid_argument("Image memory has no element type");
}

template <class T>
bool representable(double value) {
    if constexpr (std::is_same_v<T, double>)
        return true;
    else if constexpr (std::is_same_v<T, float>)
        return !std::isfinite(value) ||
               std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max());
    else
        return std::trunc(value) == value && value >= static_cast<double>(std::numeric_limits<T>::min()) &&
               value <= static_cast<double>(std::numeric_limits<T>::max());
}

}  // namespace

double storedValue(const MemImage& memory, std::int64_t i) {
    double value = 0;
    visitTyped(memory, [&](auto& typed) { value = static_cast<double>(typed.pointer()[i]); });
    return value;
}

void setStoredValue(MemImage& memory, std::int64_t i, double value) {
    visitTyped(memory, [&](auto& typed) {
        using T = std::remove_reference_t<decltype(*typed.pointer())>;
        if (!representable<T>(value))
            throw std::invalid_argument("The value " + std::to_string(value) + " of element " +
                                        std::to_string(i) + " does not fit the image's element type");
        typed.pointer()[i] = static_cast<T>(value);
    });
}

}  // namespace tools
}  // namespace Korvanta
