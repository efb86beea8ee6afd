#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/core/PluginLoader.h"
#include "host/core/Progress.h"
#include "host/core/Properties.h"
#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace tools {

// The outcome of one compute of the arithmetic algorithm.
struct AlgorithmRun {
    int status = 0;
    std::string evalString;  // empty when the mode has no operation, and nothing was computed
    double seconds = 0.0;
    // The image set that holds the result: the algorithm's output, or the first set when it computed in
    // place.
    SharedImageSet* result = nullptr;
    std::unique_ptr<SharedImageSet> output;
};

// Fills the parameter record to configure with; `configuration` is the algorithm's current one (types,
// attributes) to read values against.
using ParameterSetup = std::function<void(Properties& record, const Properties& configuration)>;

// The parameter record that `setup` makes for "ImageMath.SharedImageArithmetic" on the sets, so that
// parameters can be checked before any image is made or computed (the sets may stand in for larger ones
// of the same pixel types and channels). Throws std::invalid_argument naming the images when the
// algorithm does not take the sets, and passes on what `setup` throws.
Properties parameterRecord(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const ParameterSetup& setup);

// Creates the algorithm for the sets, configures it with the record, computes with the progress sink
// and takes its output. Throws like parameterRecord and passes on what compute throws.
AlgorithmRun runArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const Properties& record, Progress* progress);

}  // namespace tools
}  // namespace Korvanta
