#pragma once

#include <memory>
#include <vector>

#include "host/core/Properties.h"
#include "host/image/Data.h"
#include "host/image/SharedImageSet.h"
#include "tests/fuzz/FuzzBytes.h"

namespace Korvanta {
namespace fuzz {

// What one fuzz case hands to the algorithm: the image sets, the data list over them (which may name a
// set twice, or hold no set or three) and the parameter records of two computes, one after the other,
// with the first compute's output taken before the second or left to it.
struct FuzzInputs {
    std::vector<std::unique_ptr<SharedImageSet>> sets;
    DataList data;
    Properties parameters;
    bool configureWithNull = false;
    Properties secondParameters;
    bool takeFirstOutput = false;
};

// Image sets of 0 to 4 images of any pixel type code (known or not), extents 0 to 8 (slices up to 10, so
// the parallel loop runs too), 1 to 6 channels, any shift and scale, CPU memory that matches the image,
// is missing, or holds another element type or extent, optional GPU copies, and a selection; parameters
// each present or not, with values from the edges of their types and out of range.
FuzzInputs decodeInputs(FuzzBytes& in);

}  // namespace fuzz
}  // namespace Korvanta
