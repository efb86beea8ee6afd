#include "plugin/ImageMathAlgorithmFactory.h"

#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

ImageMathAlgorithmFactory::ImageMathAlgorithmFactory() : AlgorithmFactory("ImageMath") {
    registerAlgorithm<SharedImageArithmeticAlgorithm>("SharedImageArithmetic",
                                                      "Image Operations;Arithmetic Operators",
                                                      Descriptor::NoAttributes, std::nullopt);
}

ImageMathAlgorithmFactory::~ImageMathAlgorithmFactory() = default;

}  // namespace Korvanta
