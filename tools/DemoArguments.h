#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/DemoImages.h"

namespace Korvanta {
namespace tools {

// What the demo's KEY=VALUE arguments ask for.
struct DemoRequest {
    DemoImages first;
    DemoImages second;  // with its count set from the first's when withSecond
    bool withSecond = false;
    // The algorithm's parameters as text, the demo's defaults (mode=BinaryMult rightHandSide=2.5) included.
    std::map<std::string, std::string> parameters;
    std::set<std::string> givenParameters;  // of those, the ones the arguments give
};

// Reads the demo's arguments, as strictly as a script: the images' settings apply to both sets, but for
// "fill", "value" and "seed" (the second set's fill is random with seed 2), and "second.KEY" to the
// second set only; other keys are the algorithm's parameters. Throws std::invalid_argument, quoting the
// argument, for one that is not KEY=VALUE, a key given twice, a value that is not one of its setting,
// and a setting that has no effect (a second set's setting without a second set, "second.count", a
// "value" without the constant fill, a "seed" without the random fill).
DemoRequest readDemoArguments(const std::vector<std::string>& arguments);

// Refuses, as readDemoArguments does, a parameter given that the mode (read by the algorithm) leaves
// unused: "rightHandSide" but for a binary mode on the first set alone, "channelIndices" but for
// UnaryChannelSwizzle on the first set alone.
void requireParameterEffect(const DemoRequest& request, int mode);

}  // namespace tools
}  // namespace Korvanta
