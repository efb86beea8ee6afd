#pragma once

#include "imagemath/ExpressionLeaves.h"

// Brings the CPU memory of every image an image-level expression reads up to date, before a task
// reads it on another thread.
namespace Korvanta {
namespace ImageMath {
namespace internal {

template <class E>
void syncOperands(const E& expr) {
    auto sync = [](const auto& leaf) {
        if (leaf.storage()) {
            leaf.storage()->syncMem();
        }
    };
    forEachLeaf(expr, sync);
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
