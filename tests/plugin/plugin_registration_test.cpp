#include <gtest/gtest.h>

#include "host/core/AlgorithmController.h"
#include "host/core/LogCapture.h"
#include "plugin/ImageMathAlgorithmControllerFactory.h"
#include "plugin/ImageMathAlgorithmFactory.h"
#include "plugin/ImageMathPlugin.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

const char* const fullId = "ImageMath.SharedImageArithmetic";

struct OtherAlgorithm : Algorithm {
    void compute() override {}
    OwningDataList takeOutput() override { return {}; }
};

TEST(Registration, FactoryRegistersTheAlgorithmOnceUnderItsFullId) {
    LogCapture log(Log::Trace);
    ImageMathAlgorithmFactory factory;
    ASSERT_EQ(factory.algorithmDescriptors().size(), 1u);
    EXPECT_EQ(factory.algorithmDescriptors()[0].id, fullId);
    EXPECT_EQ(factory.algorithmDescriptors()[0].name, "Image Operations;Arithmetic Operators");
    EXPECT_EQ(factory.algorithmDescriptors()[0].attributes.bits(), 0u);
    EXPECT_EQ(factory.algorithmId(typeid(SharedImageArithmeticAlgorithm)), fullId);
    EXPECT_TRUE(log.records().empty());

    factory.registerAlgorithm<SharedImageArithmeticAlgorithm>("SharedImageArithmetic", "Other;Name", {},
                                                              std::nullopt);
    EXPECT_EQ(factory.algorithmDescriptors().size(), 1u);
    ASSERT_EQ(log.texts(),
              std::vector<std::string>{"Algorithm already registered: ImageMath.SharedImageArithmetic"});
}

TEST(Registration, CreateFunctionMakesAlgorithmWithFactoryInfoOrNullForRejectedData) {
    LogCapture log(Log::Trace);
    ImageMathAlgorithmFactory factory;
    auto first = test::makeSet(test::descriptor(PixelType::UShort, 3, 2, 1, 1), 3);
    auto second = test::makeSet(test::descriptor(PixelType::UShort, 3, 2, 1, 1), 2);
    const auto& descriptor = factory.algorithmDescriptors()[0];
    EXPECT_EQ(descriptor.create({first.get(), second.get()}), nullptr);
    EXPECT_FALSE(descriptor.compatible({first.get(), second.get()}));
    EXPECT_TRUE(log.records().empty());

    std::unique_ptr<Algorithm> algorithm(descriptor.create({first.get()}));
    ASSERT_TRUE(algorithm);
    EXPECT_TRUE(dynamic_cast<SharedImageArithmeticAlgorithm*>(algorithm.get()));
    EXPECT_EQ(algorithm->factoryInfo().id, fullId);
    EXPECT_EQ(algorithm->factoryInfo().name, "Arithmetic Operators");
    EXPECT_EQ(algorithm->factoryInfo().data.items(), std::vector<Data*>{first.get()});
}

TEST(Registration, ControllerFactoryServesOnlyTheArithmeticAlgorithm) {
    ImageMathAlgorithmControllerFactory factory;
    EXPECT_EQ(factory.name(), "ImageMath");
    EXPECT_EQ(factory.create(nullptr), nullptr);
    OtherAlgorithm other;
    EXPECT_EQ(factory.create(&other), nullptr);
    auto set = test::makeSet(test::descriptor(PixelType::Float, 1, 1, 1, 1), 1);
    SharedImageArithmeticAlgorithm algorithm(*set, nullptr);
    std::unique_ptr<AlgorithmController> controller(factory.create(&algorithm));
    auto* defaultController = dynamic_cast<DefaultAlgorithmController*>(controller.get());
    ASSERT_TRUE(defaultController);
    EXPECT_EQ(defaultController->algorithm(), &algorithm);
    EXPECT_TRUE(defaultController->title().isEmpty());
    EXPECT_TRUE(defaultController->showComputeButton());
    EXPECT_FALSE(defaultController->computeOnChange());
}

TEST(Registration, PluginInitHandsOverBothFactories) {
    ImageMathPlugin plugin;
    EXPECT_STREQ(ImageMathPlugin::id(), "Korvanta.ImageMath");
    EXPECT_EQ(plugin.init(), 0);
    KorvantaLibPlugin::Factories factories = plugin.takeRegisteredFactories();
    ASSERT_EQ(factories.algorithmFactories.size(), 1u);
    EXPECT_TRUE(dynamic_cast<ImageMathAlgorithmFactory*>(factories.algorithmFactories[0].get()));
    ASSERT_EQ(factories.controllerFactories.size(), 1u);
    EXPECT_TRUE(factories.annotationFactories.empty());
    EXPECT_TRUE(plugin.takeRegisteredFactories().algorithmFactories.empty());
}

struct CompatibilityCase {
    const char* name;
    std::vector<int> firstShapes;   // width of each image of the first set (height etc. fixed)
    std::vector<int> secondShapes;  // empty vector with hasSecond: an empty second set
    bool hasSecond;
    bool compatible;
};

TEST(Registration, CreateCompatible) {
    const std::vector<CompatibilityCase> cases = {
        {"one set", {4, 4}, {}, false, true},
        {"one set of differing images", {4, 5}, {}, false, true},
        {"empty first set", {}, {}, false, false},
        {"empty second set", {4}, {}, true, false},
        {"pairwise", {4, 5, 6}, {4, 5, 6}, true, true},
        {"pairwise mismatch", {4, 5, 6}, {4, 5, 7}, true, false},
        {"3 and 2", {4, 4, 4}, {4, 4}, true, false},
        {"broadcast", {4, 4, 4}, {4}, true, true},
        {"broadcast mismatch", {4, 5, 4}, {4}, true, false},
        {"one and one", {4}, {4}, true, true},
        {"1 and 3", {4}, {4, 4, 4}, true, false},
    };
    auto makeSet = [](const std::vector<int>& widths) {
        auto set = std::make_unique<SharedImageSet>();
        for (int w : widths)
            set->add(std::make_shared<SharedImage>(test::descriptor(PixelType::UByte, w, 3, 1, 2)));
        return set;
    };
    for (const CompatibilityCase& c : cases) {
        auto first = makeSet(c.firstShapes);
        auto second = makeSet(c.secondShapes);
        DataList data{first.get()};
        if (c.hasSecond)
            data.add(second.get());
        Algorithm* created = nullptr;
        EXPECT_EQ(SharedImageArithmeticAlgorithm::createCompatible(data, nullptr), c.compatible) << c.name;
        EXPECT_EQ(SharedImageArithmeticAlgorithm::createCompatible(data, &created), c.compatible) << c.name;
        EXPECT_EQ(created != nullptr, c.compatible) << c.name;
        delete created;
    }
    auto a = makeSet({4}), b = makeSet({4}), c = makeSet({4});
    EXPECT_FALSE(SharedImageArithmeticAlgorithm::createCompatible({}, nullptr));
    EXPECT_FALSE(SharedImageArithmeticAlgorithm::createCompatible({a.get(), b.get(), c.get()}, nullptr));
}

}  // namespace
}  // namespace Korvanta
