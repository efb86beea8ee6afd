#pragma once

#include <string>

#include "host/core/PluginBase.h"
#include "plugin/Export.h"

namespace Korvanta {

// The plug-in object the host creates through korvantaCreatePlugin.
class IMAGEMATH_EXPORT ImageMathPlugin : public KorvantaLibPlugin {
public:
    ~ImageMathPlugin() override;

    std::string author() const override;
    std::string description() const override;
    // Creates the algorithm and controller factories and hands them to the host; returns 0.
    int init() override;

    // "Korvanta.ImageMath"
    static const char* id();
};

}  // namespace Korvanta
