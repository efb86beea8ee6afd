// The plug-in inside a host that links no OpenMP runtime of its own: this executable links none, so the
// runtime arrives with the plug-in, and its threads must not outlive its code.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/core/Algorithm.h"
#include "host/core/AlgorithmController.h"
#include "host/core/PluginLoader.h"
#include "tests/plugin/ArithmeticReference.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

// Loads the plug-in, adds 1 to an image of 12 slices (so an OpenMP team shares them out) and checks one
// element of the result; the plug-in is unloaded on return.
void loadComputeUnload(SharedImageSet& images) {
    PluginLoader loader(IMAGEMATH_PLUGIN_PATH);
    PluginObject<Algorithm> algorithm = loader.createAlgorithm("ImageMath.SharedImageArithmetic", {&images});
    ASSERT_TRUE(algorithm);
    const Properties parameters = test::record(test::Settings{0, false, 1.0f});
    algorithm->configure(&parameters);
    algorithm->compute();
    ASSERT_EQ(algorithm->status(), Algorithm::Success);
    OwningDataList output = algorithm->takeOutput();
    auto* result = dynamic_cast<SharedImageSet*>(output.get(0));
    ASSERT_TRUE(result);
    EXPECT_EQ(test::storedAt(*result->get(0), 500), test::storedAt(*images.get(0), 500) + 1.0);
}

TEST(PluginUnload, LoadsComputesAndUnloadsManyTimesInOneProcess) {
    auto images = test::makeSet(test::descriptor(PixelType::UShort, 24, 16, 12, 1), 1);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        loadComputeUnload(*images);
        if (HasFatalFailure())
            return;
    }
}

// The file that holds the OpenMP runtime the loaded plug-in uses.
std::string openMpRuntimeFile() {
    void* plugin = dlopen(IMAGEMATH_PLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
    if (!plugin)
        return "";
    Dl_info info{};
    void* entry = dlsym(plugin, "omp_get_max_threads");
    const std::string file = entry && dladdr(entry, &info) && info.dli_fname ? info.dli_fname : "";
    dlclose(plugin);
    return file;
}

bool mapped(const std::string& file) {
    void* handle = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

TEST(PluginUnload, OpenMpRuntimeStaysLoadedAfterThePluginIsUnloaded) {
    auto images = test::makeSet(test::descriptor(PixelType::Float, 8, 8, 12, 1), 1);
    std::string runtime;
    {
        PluginLoader loader(IMAGEMATH_PLUGIN_PATH);
        runtime = openMpRuntimeFile();
    }
    ASSERT_FALSE(runtime.empty());
    ASSERT_FALSE(mapped(IMAGEMATH_PLUGIN_PATH)) << "the plug-in itself is unloaded";
    EXPECT_TRUE(mapped(runtime)) << runtime;
    loadComputeUnload(*images);
    EXPECT_TRUE(mapped(runtime)) << runtime;
}

TEST(PluginUnload, WhatTheLoaderMadeKeepsThePluginLoadedUntilItIsDestroyed) {
    auto images = test::makeSet(test::descriptor(PixelType::UShort, 24, 16, 12, 1), 1);
    auto loader = std::make_unique<PluginLoader>(IMAGEMATH_PLUGIN_PATH);
    PluginObject<Algorithm> algorithm =
        loader->createAlgorithm("ImageMath.SharedImageArithmetic", {&*images});
    ASSERT_TRUE(algorithm);
    PluginObject<AlgorithmController> controller = loader->createController(algorithm.get());
    ASSERT_TRUE(controller);
    loader.reset();

    algorithm->compute();
    EXPECT_EQ(algorithm->status(), Algorithm::Success);
    EXPECT_EQ(algorithm->takeOutput().size(), 1);
    controller.reset();
    EXPECT_TRUE(mapped(IMAGEMATH_PLUGIN_PATH)) << "the algorithm still needs the plug-in's code";
    algorithm.reset();
    EXPECT_FALSE(mapped(IMAGEMATH_PLUGIN_PATH)) << "the last object made by the plug-in is gone";
}

}  // namespace
}  // namespace Korvanta
