#pragma once

#include "host/core/AlgorithmControllerFactory.h"
#include "plugin/Export.h"

namespace Korvanta {

// Gives SharedImageArithmeticAlgorithm the host's default controller.
class IMAGEMATH_EXPORT ImageMathAlgorithmControllerFactory : public AlgorithmControllerFactory {
public:
    ImageMathAlgorithmControllerFactory();
    ~ImageMathAlgorithmControllerFactory() override;

    // A default controller with an empty title for a SharedImageArithmeticAlgorithm; null for anything
    // else, null included.
    AlgorithmController* create(Algorithm* algorithm) const override;
};

}  // namespace Korvanta
