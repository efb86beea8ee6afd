// Every kernel whose destination holds unsigned int elements.
#include "imagemath/kernels/ChannelSwizzleKernel.h"
#include "imagemath/kernels/ElementwiseKernels.h"

namespace Korvanta {
namespace ImageMath {
namespace kernels {
IMAGEMATH_KERNELS_FOR_DESTINATION(, unsigned int)
}  // namespace kernels
}  // namespace ImageMath
}  // namespace Korvanta
