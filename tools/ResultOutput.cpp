#include "tools/ResultOutput.h"

#include <string>

#include "tools/ElementAccess.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

void writeImage(JsonOutput& out, SharedImage& image) {
    const ImageDescriptor d = image.descriptor();
    out.raw("{\"pixelType\":");
    out.string(pixelTypeName(d.pixelType));
    const std::pair<const char*, int> extents[] = {{",\"width\":", d.width},
                                                   {",\"height\":", d.height},
                                                   {",\"slices\":", d.slices},
                                                   {",\"channels\":", d.channels}};
    for (const auto& [key, extent] : extents) {
        out.raw(key);
        out.number(extent);
    }
    out.raw(",\"shift\":");
    out.number(d.shift);
    out.raw(",\"scale\":");
    out.number(d.scale);
    if (const MemImage* memory = image.mem()) {
        out.raw(",\"values\":[");
        visitElements(*memory,
                      [&](const auto* elements, std::int64_t count) { out.numbers(elements, count); });
        out.raw("]}");
    } else {
        out.raw(",\"memory\":false}");
    }
}

}  // namespace

void writeResult(JsonOutput& out, const AlgorithmRun& run) {
    out.raw("{\"status\":");
    out.number(run.status);
    out.raw(",\"evalString\":");
    out.string(run.evalString);
    out.raw(",\"images\":[");
    for (int i = 0; i < run.result->size(); ++i) {
        if (i > 0)
            out.raw(",");
        writeImage(out, *run.result->get(i));
    }
    out.raw("]}\n");
}

}  // namespace tools
}  // namespace Korvanta
