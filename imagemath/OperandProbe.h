#pragma once

#include "host/image/PixelTypeUtils.h"
#include "host/image/SharedImage.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Before a CPU-road image is synchronised and handed to a task, the Set-level driver builds the memory-level
// form of its expression and drops it at once. That computes and writes nothing, but it is where the host
// sees the operands' CPU memory asked for (sharedMem(), the typed cast, pointer(): the left or only
// operand's image, then the right one's) on the thread that called the assignment, in index order, before
// any task can run: a host that creates or refreshes CPU memory lazily, or binds that work to the calling
// thread, relies on this. The element type is the one the destination's descriptor names; a pixel type
// without one gets no probe. The conversion checks nothing and throws nothing: missing memory (an image
// held only on the GPU, before its syncMem()) or memory of another element type gives a leaf without
// memory, which nobody uses. The task converts again for itself.
template <class E>
void probeOperandMemory(const SharedImage& destination, const E& imageExpr) noexcept {
    Utils::visitElementType(destination.descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        [[maybe_unused]] const auto discarded = imageExpr.template convertToMemImgExpr<T>();
    });
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
