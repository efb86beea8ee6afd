// Every kernel whose destination holds char elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, char)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
