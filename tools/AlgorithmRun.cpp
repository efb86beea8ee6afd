#include "tools/AlgorithmRun.h"

#include <chrono>
#include <stdexcept>

#include "host/core/Algorithm.h"

namespace Korvanta {
namespace tools {

AlgorithmRun runArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const ParameterSetup& setup, Progress* progress) {
    DataList data{&first};
    if (second)
        data.add(second);
    std::unique_ptr<Algorithm> algorithm = plugin.createAlgorithm("ImageMath.SharedImageArithmetic", data);
    if (!algorithm)
        throw std::invalid_argument(
            "The arithmetic algorithm does not accept these image sets (empty, or images that do not match)");
    Properties configuration;
    algorithm->configuration(&configuration);
    Properties record;
    setup(record, configuration);
    algorithm->configure(&record);
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
