#pragma once

#include <cstdint>
#include <string>

#include "host/image/SharedImage.h"

namespace Korvanta {
namespace tools {

// Minimum, maximum and mean of the stored element values of an image, NaN elements left out.
struct ImageStatistics {
    double min = 0;
    double max = 0;
    double mean = 0;
    std::int64_t elements = 0;
    std::int64_t nanElements = 0;
    bool hasMemory = false;
};

ImageStatistics statisticsOf(SharedImage& image);
std::string describe(const ImageStatistics& statistics);

}  // namespace tools
}  // namespace Korvanta
