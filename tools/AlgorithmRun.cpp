#include "tools/AlgorithmRun.h"

#include <chrono>
#include <stdexcept>

#include "host/core/Algorithm.h"
#include "host/image/PixelTypeUtils.h"
#include "tools/ImageExtents.h"
#include "tools/PixelTypeNames.h"

namespace Korvanta {
namespace tools {

namespace {

// What the algorithm requires of the sets, checked here to name the images that do not meet it (the
// algorithm only declines).
void requireMatchingSets(const SharedImageSet& first, const SharedImageSet* second) {
    if (first.size() == 0 || (second && second->size() == 0))
        throw std::invalid_argument(std::string("The ") + (first.size() == 0 ? "first" : "second") +
                                    " set holds no images");
    if (!second)
        return;
    if (second->size() != 1 && second->size() != first.size())
        throw std::invalid_argument("The second set holds " + std::to_string(second->size()) +
                                    " images: it must hold one, or as many as the first set (" +
                                    std::to_string(first.size()) + ")");
    for (int i = 0; i < first.size(); ++i) {
        const int j = second->size() == 1 ? 0 : i;
        const std::string left = "image " + std::to_string(i) + " of the first set";
        const std::string right = "image " + std::to_string(j) + " of the second set";
        if (!first.img(i) || !second->img(j))
            throw std::invalid_argument("With a second set every image needs CPU memory, and " +
                                        (first.img(i) ? right : left) + " has none");
        const ImageDescriptor a = first.img(i)->descriptor(), b = second->img(j)->descriptor();
        if (!sameExtents(a, b))
            throw std::invalid_argument("The images of the two sets must match in size and channels, but " +
                                        left + " is " + extentsText(a) + " and " + right + " " +
                                        extentsText(b));
    }
}

// The algorithm computes the second set's images in the element type of its image 0 (half images hold
// floats), so the images the selected ones take must share it; checked here to name their types.
void requireOneRightHandType(const SharedImageSet& first, const SharedImageSet& second) {
    const auto typeOf = [&](int index) { return second.get(index)->descriptor().pixelType; };
    const auto elementType = [&](int index) {
        PixelType type = typeOf(index);
        Utils::visitElementType(type,
                                [&](auto tag) { type = Utils::pixelTypeId<typename decltype(tag)::type>(); });
        return type;
    };
    const Selection selection = first.selection();
    for (int i = 0; i < first.size(); ++i) {
        const int j = second.size() == 1 ? 0 : i;
        if (selection.isSelected(i, Selection::EmptyMeansAll) && elementType(j) != elementType(0))
            throw std::invalid_argument(
                "The images of the second set must share one pixel type (half and float count as one), but "
                "its "
                "image 0 is " +
                pixelTypeName(typeOf(0)) + " and its image " + std::to_string(j) + " " +
                pixelTypeName(typeOf(j)));
    }
}

PluginObject<Algorithm> createArithmetic(const PluginLoader& plugin, SharedImageSet& first,
                                         SharedImageSet* second, Properties& configuration) {
    requireMatchingSets(first, second);
    DataList data{&first};
    if (second)
        data.add(second);
    PluginObject<Algorithm> algorithm = plugin.createAlgorithm("ImageMath.SharedImageArithmetic", data);
    if (!algorithm)
        throw std::invalid_argument("The arithmetic algorithm does not accept these image sets");
    algorithm->configuration(&configuration);
    return algorithm;
}

}  // namespace

Properties parameterRecord(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const ParameterSetup& setup) {
    Properties configuration;
    const PluginObject<Algorithm> algorithm = createArithmetic(plugin, first, second, configuration);
    Properties record;
    setup(record, configuration);
    return record;
}

AlgorithmRun runArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const Properties& record, Progress* progress) {
    Properties configuration;
    PluginObject<Algorithm> algorithm = createArithmetic(plugin, first, second, configuration);
    algorithm->configure(&record);
    int mode = -1;
    Properties configured;
    algorithm->configuration(&configured);
    configured.param("mode", mode);
    if (second && mode >= 0 && mode <= 4)  // the modes that compute with a second set
        requireOneRightHandType(first, *second);
    algorithm->setProgress(progress);

    const auto start = std::chrono::steady_clock::now();
    algorithm->compute();
    AlgorithmRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = algorithm->status();
    Properties after;
    algorithm->configuration(&after);
    after.param("evalString", run.evalString);
    OwningDataList taken = algorithm->takeOutput();
    if (taken.size() > 0) {
        std::unique_ptr<Data> data = taken.take(0);
        if (auto* set = dynamic_cast<SharedImageSet*>(data.get())) {
            data.release();
            run.output.reset(set);
        }
    }
    run.result = run.output ? run.output.get() : &first;
    return run;
}

}  // namespace tools
}  // namespace Korvanta
