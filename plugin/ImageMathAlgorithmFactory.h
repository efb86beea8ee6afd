#pragma once

#include "host/core/AlgorithmFactory.h"
#include "plugin/Export.h"

namespace Korvanta {

// Registers SharedImageArithmeticAlgorithm as "ImageMath.SharedImageArithmetic".
class IMAGEMATH_EXPORT ImageMathAlgorithmFactory : public AlgorithmFactory {
public:
    ImageMathAlgorithmFactory();
    ~ImageMathAlgorithmFactory() override;
};

}  // namespace Korvanta
