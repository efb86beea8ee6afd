#pragma once

#include "host/image/SharedImageSet.h"
#include "imagemath/SetArray.h"

namespace Korvanta {

// A Set-level leaf as the algorithm builds every leaf: real values, nearest filter, clamp to edge and a
// zero vector. T is the element type of a typed right-hand leaf, void for the untyped leaves.
template <class T = void>
ImageMath::Array<SharedImageSet, T, false> setLeaf(SharedImageSet& set) {
    return ImageMath::Array<SharedImageSet, T, false>(
        set, false, ImageMath::MagFilter::Nearest, ImageMath::Wrap::ClampToEdge, ImageMath::Vector4f::Zero());
}

using UntypedSetLeaf = ImageMath::Array<SharedImageSet, void, false>;

}  // namespace Korvanta
