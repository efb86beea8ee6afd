#include "host/image/ImageDescriptor.h"

#include <stdexcept>

namespace Korvanta {

std::int64_t ImageDescriptor::elementCount() const {
    const int extents[] = {width, height, slices, channels};
    std::int64_t count = 1;
    for (int extent : extents) {
        if (extent <= 0) {
            return 0;
        }
        // Four 31-bit factors can exceed 64 bits; a wrapped count would size buffers wrongly.
        if (__builtin_mul_overflow(count, static_cast<std::int64_t>(extent), &count)) {
            throw std::invalid_argument("ImageDescriptor: element count does not fit in 64 bits");
        }
    }
    return count;
}

bool operator==(const ImageDescriptor& a, const ImageDescriptor& b) {
    return a.pixelType == b.pixelType && a.width == b.width && a.height == b.height && a.slices == b.slices &&
           a.channels == b.channels && a.spacing == b.spacing && a.isMetric == b.isMetric &&
           a.shift == b.shift && a.scale == b.scale;
}

}  // namespace Korvanta
