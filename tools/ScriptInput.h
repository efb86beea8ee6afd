#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/image/SharedImageSet.h"
#include "tools/JsonReader.h"
#include "tools/MemoryBudget.h"
#include "tools/ParameterInput.h"

namespace Korvanta {
namespace tools {

// What a script asks for: {"parameters": {...}, "first": SET, "second": SET}, where SET is
//   {"images": [IMAGE, ...], "selection": [0, 2], "modality": 0}
// and IMAGE is read as ImageInput describes. "first" is required. "selection" holds indices of images
// of its set ([] or none: every image); "modality" is 0 (none), 1 (X-ray), 2 (ultrasound), 3 (CT) or
// 4 (MRI). The parameters are checked later, against the algorithm.
struct Script {
    std::vector<std::pair<std::string, ParameterValue>> parameters;
    std::unique_ptr<SharedImageSet> first;
    std::unique_ptr<SharedImageSet> second;
};

// A reader of an open file; throws std::runtime_error naming `name` and the system's reason on failure.
ReadFunction fileReader(std::FILE* file, const std::string& name);

// Reads a script as it streams in, the image values straight into the images' memory, counted in the
// budget. Refuses, with std::invalid_argument naming the key or entry and where it is and quoting what
// was written, anything that is not JSON, a key that is unknown or given twice, a value of the wrong
// kind, and a number that is not exactly a value of its type.
Script readScript(const ReadFunction& read, MemoryBudget& budget);

}  // namespace tools
}  // namespace Korvanta
