#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/core/PluginLoader.h"
#include "host/core/Progress.h"
#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace tools {

// The outcome of one compute of the arithmetic algorithm.
struct AlgorithmRun {
    int status = 0;
    std::string evalString;
    double seconds = 0.0;
    // The image set that holds the result: the algorithm's output, or the first set when it computed in
    // place.
    SharedImageSet* result = nullptr;
    std::unique_ptr<SharedImageSet> output;
};

// Fills the parameter record to configure with; `configuration` is the algorithm's current one (types,
// attributes) to parse values against.
using ParameterSetup = std::function<void(Properties& record, const Properties& configuration)>;

// Creates "ImageMath.SharedImageArithmetic" through the loaded plug-in for the sets, configures it, computes
// with the progress sink and takes its output. Throws std::invalid_argument when the plug-in does not
// accept the sets, and passes on what compute throws.
AlgorithmRun runArithmetic(const PluginLoader& plugin, SharedImageSet& first, SharedImageSet* second,
                           const ParameterSetup& setup, Progress* progress);

}  // namespace tools
}  // namespace Korvanta
