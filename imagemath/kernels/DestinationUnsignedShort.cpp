// Every kernel whose destination holds unsigned short elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, unsigned short)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
