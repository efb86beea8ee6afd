#pragma once

#include "host/gl/ExprInterface.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Role base of every leaf.
class ArrayBase : public ExprInterface {};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
