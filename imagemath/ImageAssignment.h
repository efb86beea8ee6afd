#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "host/image/PixelTypeUtils.h"
#include "imagemath/Expressions.h"
#include "imagemath/OperandSync.h"
#include "imagemath/PixelTypeCodes.h"
#include "imagemath/typed/TypedAssignment.h"

// The image-level assignment: one image-level expression into one destination image, through the
// host's GPU evaluation when it accepts the expression, otherwise on the CPU through the typed kernel
// of the element type that the destination's CPU memory holds.
namespace Korvanta {
namespace ImageMath {

template <class T>
template <class E>
Array<SharedImage, T, false>& Array<SharedImage, T, false>::operator=(const ExprBaseTpl<E>& base) {
    const E& expr = base.derived();
    if (this->assignGl(expr)) {
        return *this;
    }
    if (!m_storage) {
        throw std::invalid_argument("ImageMath: the destination image does not exist");
    }
    // The CPU reads what the GPU may have changed since the CPU memory was last current.
    m_storage->syncMem();
    internal::syncOperands(expr);
    // Held until the image is marked, so the memory the kernel writes cannot be replaced under it.
    const std::shared_ptr<MemImage> memory = m_storage->sharedMem();
    if (!memory) {
        throw std::invalid_argument("ImageMath: the destination image has no CPU memory");
    }
    const PixelType type = memory->descriptor().pixelType;
    const bool known = Utils::visitElementType(type, [&](auto tag) {
        using U = typename decltype(tag)::type;
        const auto typedExpr = expr.template convertToMemImgExpr<U>();
        auto typedDestination = this->template convertToMemImgExpr<U>();
        typedDestination = typedExpr;
    });
    if (!known) {
        throw std::invalid_argument("ImageMath: the destination's CPU memory has the unknown pixel type " +
                                    pixelTypeCode(type));
    }
    m_storage->setDirtyMem();
    return *this;
}

}  // namespace ImageMath
}  // namespace Korvanta
