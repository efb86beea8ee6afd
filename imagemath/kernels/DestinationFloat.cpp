// Every kernel whose destination holds float elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, float)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
