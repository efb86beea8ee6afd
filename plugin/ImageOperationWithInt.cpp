#include "plugin/ImageOperationAssignment.h"

IMAGEMATH_INSTANTIATE_IMAGE_OPERATION(int);
