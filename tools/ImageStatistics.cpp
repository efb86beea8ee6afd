#include "tools/ImageStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/ElementAccess.h"

namespace Korvanta {
namespace tools {

ImageStatistics statisticsOf(SharedImage& image) {
    ImageStatistics s;
    const MemImage* memory = image.mem();
    if (!memory)
        return s;
    s.hasMemory = true;
    double sum = 0;
    visitElements(*memory, [&](const auto* elements, std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i) {
            const double value = static_cast<double>(elements[i]);
            if (std::isnan(value)) {
                ++s.nanElements;
                continue;
            }
            s.min = s.elements == 0 ? value : std::min(s.min, value);
            s.max = s.elements == 0 ? value : std::max(s.max, value);
            sum += value;
            ++s.elements;
        }
    });
    s.mean = s.elements ? sum / static_cast<double>(s.elements) : 0.0;
    return s;
}

std::string describe(const ImageStatistics& s) {
    if (!s.hasMemory)
        return "no CPU memory";
    char text[160];
    std::snprintf(text, sizeof text, "min %.6g  max %.6g  mean %.6g", s.min, s.max, s.mean);
    std::string result = text;
    if (s.nanElements)
        result += "  (" + std::to_string(s.nanElements) + " NaN)";
    return result;
}

}  // namespace tools
}  // namespace Korvanta
