#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/core/AlgorithmController.h"
#include "host/core/PluginLoader.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

using ::testing::HasSubstr;

std::string loadError(const std::string& path) {
    try {
        PluginLoader loader(path);
    } catch (const PluginLoadError& e) {
        return e.what();
    }
    return "";
}

TEST(PluginLoader, RejectsMissingLibraryWrongMagicAndMissingEntryPoints) {
    EXPECT_THAT(loadError("/nonexistent/libNothing.so"),
                HasSubstr("Cannot load plug-in library '/nonexistent/libNothing.so'"));
    EXPECT_THAT(loadError(WRONG_MAGIC_PLUGIN_PATH), HasSubstr("__KORVANTA_PLUGIN_V2_MAGIC_STRING__"));
    EXPECT_THAT(loadError(WRONG_MAGIC_PLUGIN_PATH), HasSubstr("no valid plug-in descriptor"));
    EXPECT_THAT(loadError(NO_ENTRY_POINTS_PLUGIN_PATH), HasSubstr("lacks the symbol korvantaPluginId"));
}

TEST(PluginLoader, LoadsTheImageMathPlugin) {
    {
        PluginLoader loader(IMAGEMATH_PLUGIN_PATH);
        EXPECT_EQ(loader.pluginId(), "Korvanta.ImageMath");
        EXPECT_EQ(loader.descriptor(),
                  "__KORVANTA_PLUGIN_V2_MAGIC_STRING__|hostversion=4.5.0|buildflags=|pluginversion=");
        EXPECT_EQ(loader.descriptor().size(), 80u);
        EXPECT_EQ(loader.plugin().description(), "Plugin for performing arithmetic operations on images");
        EXPECT_FALSE(loader.plugin().author().empty());
        EXPECT_TRUE(loader.plugin().dependencies().empty());
        EXPECT_THAT(PluginAutoRegistrationGuard::registeredIds(), ::testing::Contains("Korvanta.ImageMath"));

        const std::vector<PluginLoader::OfferedAlgorithm> offered = loader.algorithms();
        ASSERT_EQ(offered.size(), 1u);
        EXPECT_EQ(offered[0].id, "ImageMath.SharedImageArithmetic");
        EXPECT_EQ(offered[0].name, "Image Operations;Arithmetic Operators");

        auto set = test::makeSet(test::descriptor(PixelType::Float, 2, 2, 1, 1), 2);
        PluginObject<Algorithm> algorithm =
            loader.createAlgorithm("ImageMath.SharedImageArithmetic", {set.get()});
        ASSERT_TRUE(algorithm);
        EXPECT_EQ(algorithm->factoryInfo().name, "Arithmetic Operators");
        auto controller = loader.createController(algorithm.get());
        ASSERT_TRUE(controller);
        EXPECT_EQ(controller->algorithm(), algorithm.get());
        EXPECT_EQ(loader.createAlgorithm("ImageMath.Missing", {set.get()}), nullptr);
    }
    EXPECT_THAT(PluginAutoRegistrationGuard::registeredIds(),
                ::testing::Not(::testing::Contains("Korvanta.ImageMath")));
}

}  // namespace
}  // namespace Korvanta
