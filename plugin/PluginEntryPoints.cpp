// The library's face towards the host's plug-in loader. Only the module defines these: the static
// library that tests link holds the classes alone.
#include "host/core/PluginBase.h"
#include "plugin/Export.h"
#include "plugin/ImageMathPlugin.h"

namespace {
const Korvanta::PluginAutoRegistrationGuard registrationGuard(&Korvanta::ImageMathPlugin::id);
}  // namespace

extern "C" {

IMAGEMATH_EXPORT Korvanta::PluginBase* korvantaCreatePlugin() {
    return new Korvanta::ImageMathPlugin;
}

IMAGEMATH_EXPORT const char* korvantaPluginId() {
    return Korvanta::ImageMathPlugin::id();
}

IMAGEMATH_EXPORT const char* korvantaPluginDescriptor =
    "__KORVANTA_PLUGIN_V2_MAGIC_STRING__|hostversion=4.5.0|buildflags=|pluginversion=";
}
