#include "plugin/ImageMathAlgorithmControllerFactory.h"

#include "host/core/AlgorithmController.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

ImageMathAlgorithmControllerFactory::ImageMathAlgorithmControllerFactory()
    : AlgorithmControllerFactory("ImageMath") {}

ImageMathAlgorithmControllerFactory::~ImageMathAlgorithmControllerFactory() = default;

AlgorithmController* ImageMathAlgorithmControllerFactory::create(Algorithm* algorithm) const {
    if (!dynamic_cast<SharedImageArithmeticAlgorithm*>(algorithm))
        return nullptr;
    return new DefaultAlgorithmController(algorithm, QString::fromLatin1(""), true, false);
}

}  // namespace Korvanta
