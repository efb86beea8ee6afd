#pragma once

#include "tools/AlgorithmRun.h"
#include "tools/JsonOutput.h"

namespace Korvanta {
namespace tools {

// Writes {"status": 0, "evalString": "...", "images": [IMAGE, ...]} for the result of a run, every image in
// the form a script gives it (ImageInput) with every element value in the shortest text that reads back
// as the same element, so that the result can be read again exactly. Writes as it goes, without
// flushing at the end.
void writeResult(JsonOutput& out, const AlgorithmRun& run);

}  // namespace tools
}  // namespace Korvanta
