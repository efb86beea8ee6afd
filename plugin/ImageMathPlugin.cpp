#include "plugin/ImageMathPlugin.h"

#include <memory>

#include "host/core/DataAnnotationFactory.h"
#include "plugin/ImageMathAlgorithmControllerFactory.h"
#include "plugin/ImageMathAlgorithmFactory.h"
#include "plugin/OpenMpRuntimePin.h"

namespace Korvanta {

ImageMathPlugin::~ImageMathPlugin() = default;

std::string ImageMathPlugin::author() const {
    return "ImageMath developers";
}

std::string ImageMathPlugin::description() const {
    return "Plugin for performing arithmetic operations on images";
}

int ImageMathPlugin::init() {
    // Before any algorithm exists, so before any kernel can start the runtime's threads.
    keepOpenMpRuntimeLoaded();
    auto algorithmFactory = std::make_unique<ImageMathAlgorithmFactory>();
    auto controllerFactory = std::make_unique<ImageMathAlgorithmControllerFactory>();
    registerFactories(std::move(algorithmFactory), std::move(controllerFactory), nullptr);
    return 0;
}

const char* ImageMathPlugin::id() {
    return "Korvanta.ImageMath";
}

}  // namespace Korvanta
