// Every kernel whose destination holds int elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, int)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
