// Every kernel whose destination holds short elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, short)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
