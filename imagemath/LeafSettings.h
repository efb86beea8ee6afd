#pragma once

#include <Eigen/Core>

#include "host/gl/TextureSettings.h"

namespace Korvanta {
namespace ImageMath {

using Vector4f = Eigen::Matrix<float, 4, 1, 0, 4, 1>;

namespace internal {

// What a leaf carries besides its image, copied unchanged into every copy and conversion of it:
// whether stored values are used as they are (instead of real values), and how the GPU samples it.
struct LeafSettings {
    bool storageValues = false;
    MagFilter magFilter = MagFilter::Nearest;
    Wrap wrap = Wrap::ClampToEdge;
    Vector4f vector = Vector4f::Zero();
};

inline bool operator==(const LeafSettings& a, const LeafSettings& b) {
    return a.storageValues == b.storageValues && a.magFilter == b.magFilter && a.wrap == b.wrap &&
           a.vector == b.vector;
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
