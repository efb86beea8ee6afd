#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/core/PluginLoader.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"
#include "tests/plugin/ArithmeticReference.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

using test::descriptor;

const char* const algorithmId = "ImageMath.SharedImageArithmetic";

const std::vector<PixelType> allPixelTypes = {PixelType::Byte,   PixelType::UByte,  PixelType::Short,
                                              PixelType::UShort, PixelType::Int,    PixelType::UInt,
                                              PixelType::Float,  PixelType::Double, PixelType::HFloat};

// Small stored values that every element type holds, with zeros, negatives (for signed types) and
// fractions (for floating types) among them.
double sampleValue(PixelType type, int image, std::int64_t i) {
    const bool isSigned = type == PixelType::Byte || type == PixelType::Short || type == PixelType::Int ||
                          type == PixelType::Float || type == PixelType::Double || type == PixelType::HFloat;
    const bool isFloating =
        type == PixelType::Float || type == PixelType::Double || type == PixelType::HFloat;
    double v = static_cast<double>((i * 5 + image * 3) % 9);
    if (isSigned)
        v -= 3;
    return isFloating ? v * 0.75 : v;
}

std::unique_ptr<SharedImageSet> sampleSet(PixelType type, int count, int channels = 2, double shift = 0.0,
                                          double scale = 1.0) {
    return test::makeSet(descriptor(type, 3, 2, 2, channels, shift, scale), count,
                         [type](int k, std::int64_t i) { return sampleValue(type, k, i); });
}

using test::record;
using test::Settings;

std::vector<double> storedImage(SharedImage& image) {
    return test::storedValues(image);
}

// The stored values that compute must leave in image k of the destination.
std::vector<double> expectedImage(const SharedImageSet& first, const SharedImageSet* second,
                                  const Settings& run, int k) {
    return test::expectedStoredValues(first, second, run, k);
}

void expectSameValues(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_TRUE(test::sameValue(actual[i], expected[i]))
            << "element " << i << ": " << actual[i] << " != " << expected[i];
}

class LoadedPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { plugin = std::make_unique<PluginLoader>(IMAGEMATH_PLUGIN_PATH); }
    static void TearDownTestSuite() { plugin.reset(); }

    // Creates the algorithm through the loaded plug-in, computes and checks every selected image of
    // the result against the reference; unselected images must keep the first set's values.
    static void computeAndCheck(SharedImageSet& first, SharedImageSet* second, const Settings& run) {
        std::unique_ptr<SharedImageSet> original = first.clone();
        DataList data{&first};
        if (second)
            data.add(second);
        PluginObject<Algorithm> algorithm = plugin->createAlgorithm(algorithmId, data);
        ASSERT_TRUE(algorithm);
        Properties p = record(run);
        algorithm->configure(&p);
        algorithm->compute();
        EXPECT_EQ(algorithm->status(), 0);
        OwningDataList output = algorithm->takeOutput();
        ASSERT_EQ(output.size(), run.inPlace ? 0 : 1);
        auto* result = run.inPlace ? &first : dynamic_cast<SharedImageSet*>(output.get(0));
        ASSERT_TRUE(result);
        ASSERT_EQ(result->size(), first.size());
        const Selection selection = first.selection();
        for (int k = 0; k < first.size(); ++k) {
            SCOPED_TRACE("image " + std::to_string(k));
            if (!run.inPlace)
                expectSameValues(storedImage(*first.get(k)), storedImage(*original->get(k)));
            expectSameValues(storedImage(*result->get(k)), selection.isSelected(k, Selection::EmptyMeansAll)
                                                               ? expectedImage(*original, second, run, k)
                                                               : storedImage(*original->get(k)));
        }
    }

    static inline std::unique_ptr<PluginLoader> plugin;
};

const std::vector<PixelType> destinationSample = {PixelType::UByte, PixelType::Short, PixelType::UInt,
                                                  PixelType::Float, PixelType::Double};

TEST_F(LoadedPlugin, EveryBinaryModeWithASecondSetOfEachPixelType) {
    for (PixelType destinationType : destinationSample)
        for (PixelType rightType : allPixelTypes)
            for (int mode = 0; mode <= 4; ++mode)
                for (bool inPlace : {false, true}) {
                    SCOPED_TRACE(::testing::Message() << std::hex << "destination 0x" << int(destinationType)
                                                      << " right 0x" << int(rightType) << std::dec << " mode "
                                                      << mode << (inPlace ? " in place" : " into a clone"));
                    auto first = sampleSet(destinationType, 2, 2, 1.0, 2.0);
                    auto second = sampleSet(rightType, 2, 2, -0.5, 4.0);
                    computeAndCheck(*first, second.get(), Settings{mode, inPlace});
                }
}

TEST_F(LoadedPlugin, EveryModeWithoutASecondSet) {
    const std::vector<Settings> runs = {
        {0, false, 2.5f}, {1, true, -1.25f},        {2, false, 3.0f},           {3, false, 0.5f},
        {3, true, 0.0f},  {4, false, 2.0f},         {4, false, 0.5f},           {5, false},
        {6, true},        {7, false, 1.0f, {1, 0}}, {7, true, 1.0f, {1, 1, 3}},
    };
    for (PixelType type : allPixelTypes)
        for (const Settings& run : runs) {
            SCOPED_TRACE(::testing::Message() << std::hex << "type 0x" << int(type) << std::dec << " mode "
                                              << run.mode << " scalar " << run.rightHandSide);
            auto first = sampleSet(type, 2, 2, 0.5, 3.0);
            computeAndCheck(*first, nullptr, run);
        }
}

TEST_F(LoadedPlugin, OneImageSecondSetAppliesToEveryImageAndSelectionLimitsTheImages) {
    auto first = sampleSet(PixelType::Short, 4);
    auto second = sampleSet(PixelType::Float, 1);
    computeAndCheck(*first, second.get(), Settings{2, false});
    first->setSelection(Selection({1, 3}));
    computeAndCheck(*first, second.get(), Settings{0, true});
    computeAndCheck(*first, nullptr, Settings{5, false});
}

TEST_F(LoadedPlugin, ManySlicesRunTheParallelLoop) {
    auto first = test::makeSet(descriptor(PixelType::UShort, 5, 3, 12, 1, 0.0, 1.0), 3,
                               [](int k, std::int64_t i) { return static_cast<double>((i + k) % 1000); });
    auto second =
        test::makeSet(descriptor(PixelType::Double, 5, 3, 12, 1, 0.0, 1.0), 3,
                      [](int k, std::int64_t i) { return 0.25 * static_cast<double>((i * k) % 7); });
    computeAndCheck(*first, second.get(), Settings{3, false});
}

TEST_F(LoadedPlugin, DestinationMemoryOfAnotherElementTypeChoosesTheKernel) {
    // The images name float; their memory holds short, with its own shift and scale.
    auto first = std::make_unique<SharedImageSet>();
    for (int k = 0; k < 2; ++k) {
        first->add(std::make_shared<SharedImage>(
            descriptor(PixelType::Float, 3, 2, 2, 2),
            MemImage::create(descriptor(PixelType::Short, 3, 2, 2, 2, 0.5, 3.0))));
        test::fillStored(*first->get(k), [k](std::int64_t i) { return sampleValue(PixelType::Short, k, i); });
    }
    auto second = sampleSet(PixelType::Float, 1);
    computeAndCheck(*first, second.get(), Settings{1, false});
    computeAndCheck(*first, nullptr, Settings{2, true, 2.5f});
}

TEST_F(LoadedPlugin, ModesWithoutExpressionLeaveAnUnchangedCloneAndRecomputingReplacesTheOutput) {
    auto first = sampleSet(PixelType::Float, 2);
    auto second = sampleSet(PixelType::Float, 2);
    for (int mode : {5, 6, 7, 8, -1})
        computeAndCheck(*first, second.get(), Settings{mode, false});
    computeAndCheck(*first, nullptr, Settings{8, false});

    PluginObject<Algorithm> algorithm = plugin->createAlgorithm(algorithmId, {first.get()});
    algorithm->compute();
    algorithm->compute();
    EXPECT_EQ(algorithm->takeOutput().size(), 1);
    EXPECT_EQ(algorithm->takeOutput().size(), 0);
}

// Bad input: compute throws std::invalid_argument before anything is cloned or written.
struct FailureCase {
    const char* name;
    std::function<std::unique_ptr<SharedImageSet>()> first;
    std::function<std::unique_ptr<SharedImageSet>()> second;  // null: no second set
    Settings run;
    const char* message;
};

std::unique_ptr<SharedImageSet> setOf(std::vector<std::shared_ptr<SharedImage>> images) {
    auto set = std::make_unique<SharedImageSet>();
    for (auto& image : images)
        set->add(image);
    return set;
}

std::shared_ptr<SharedImage> image(PixelType type, int width = 3, int channels = 2) {
    return std::make_shared<SharedImage>(descriptor(type, width, 2, 2, channels));
}

TEST(ComputeRejectsBadInput, BeforeAnythingIsClonedOrWritten) {
    const ImageDescriptor odd = descriptor(static_cast<PixelType>(0x1234), 3, 2, 2, 2);
    const std::vector<FailureCase> cases = {
        {"second set of 3 for 2", [] { return sampleSet(PixelType::UByte, 2); },
         [] { return sampleSet(PixelType::UByte, 3); }, Settings{0}, "holds 3 images; expected 1 or 2"},
        {"other extents", [] { return sampleSet(PixelType::UByte, 2); },
         [] {
             return setOf({image(PixelType::UByte), image(PixelType::UByte, 4)});
         },
         Settings{1}, "is 4x2x2 with 2 channels"},
        {"other channel count", [] { return sampleSet(PixelType::UByte, 1); },
         [] { return setOf({image(PixelType::Float, 3, 3)}); }, Settings{2}, "3 channels"},
        {"right-hand element types differ", [] { return sampleSet(PixelType::UByte, 2); },
         [] {
             return setOf({image(PixelType::UByte), image(PixelType::Float)});
         },
         Settings{0}, "has the pixel type 0x1406"},
        {"right-hand pixel type outside the table", [] { return sampleSet(PixelType::UByte, 2); },
         [odd] { return setOf({std::make_shared<SharedImage>(odd, nullptr)}); }, Settings{0},
         "SharedImage does not have a valid MemImage type!"},
        {"same, in a mode that computes nothing", [] { return sampleSet(PixelType::UByte, 2); },
         [odd] { return setOf({std::make_shared<SharedImage>(odd, nullptr)}); }, Settings{5},
         "SharedImage does not have a valid MemImage type!"},
        {"first-set pixel type outside the table",
         [odd] {
             return setOf({image(PixelType::UByte), std::make_shared<SharedImage>(odd, nullptr)});
         },
         nullptr, Settings{0}, "Image 1 of the first set has neither CPU memory nor a GPU copy"},
        {"image without CPU memory", [] { return sampleSet(PixelType::UByte, 1); },
         [] {
             return setOf({std::make_shared<SharedImage>(descriptor(PixelType::UByte, 3, 2, 2, 2), nullptr)});
         },
         Settings{0}, "Image 0 of the second set has neither CPU memory nor a GPU copy"},
        {"right-hand memory of another element type", [] { return sampleSet(PixelType::UByte, 1); },
         [] {
             return setOf(
                 {std::make_shared<SharedImage>(descriptor(PixelType::Float, 3, 2, 2, 2),
                                                MemImage::create(descriptor(PixelType::Int, 3, 2, 2, 2)))});
         },
         Settings{0},
         "Image 0 of the second set has the pixel type 0x1406, which its memory does not hold"},
        {"destination memory that does not hold what it names",
         [] {
             const ImageDescriptor d = descriptor(PixelType::Int, 3, 2, 2, 2);
             return setOf({std::make_shared<SharedImage>(d, std::make_shared<TypedImage<float>>(d))});
         },
         nullptr, Settings{0}, "has memory of the pixel type 0x1404, which that memory does not hold"},
        {"empty set", [] { return std::make_unique<SharedImageSet>(); }, nullptr, Settings{0},
         "holds no images"},
        {"swizzle list too short", [] { return sampleSet(PixelType::UByte, 1, 3); }, nullptr,
         Settings{7, false, 1.0f, {2, 1}}, "holds 2 entries but image 0 has 3 channels"},
        {"swizzle entry out of range", [] { return sampleSet(PixelType::UByte, 1, 3); }, nullptr,
         Settings{7, true, 1.0f, {0, 3, 1}}, "entry 1 is 3"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto first = c.first();
        auto second = c.second ? c.second() : nullptr;
        std::unique_ptr<SharedImageSet> original = first->clone();
        SharedImageArithmeticAlgorithm algorithm(*first, second.get());
        Properties p = record(c.run);
        algorithm.configure(&p);
        try {
            algorithm.compute();
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(c.message));
        }
        EXPECT_EQ(algorithm.status(), 1);
        EXPECT_EQ(algorithm.takeOutput().size(), 0);
        for (int k = 0; k < first->size(); ++k)
            if (first->get(k)->mem())
                expectSameValues(storedImage(*first->get(k)), storedImage(*original->get(k)));
    }
}

TEST(ComputeRejectsBadInput, NoOutputOfAnEarlierComputeIsLeftToTake) {
    auto first = sampleSet(PixelType::UByte, 1, 3);
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    algorithm.compute();
    const Properties badSwizzle = record(Settings{7, false, 1.0f, {2, 1}});
    algorithm.configure(&badSwizzle);
    EXPECT_THROW(algorithm.compute(), std::invalid_argument);
    EXPECT_EQ(algorithm.takeOutput().size(), 0);

    const Properties intoClone = record(Settings{0, false});
    algorithm.configure(&intoClone);
    algorithm.compute();
    const Properties inPlace = record(Settings{0, true});
    algorithm.configure(&inPlace);
    algorithm.compute();
    EXPECT_EQ(algorithm.takeOutput().size(), 0);
}

TEST(ComputeRejectsBadInput, UnselectedImagesAreNotExamined) {
    auto first = setOf({image(PixelType::UByte),
                        std::make_shared<SharedImage>(descriptor(PixelType::UByte, 3, 2, 2, 2), nullptr)});
    first->setSelection(Selection({0}));
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    EXPECT_NO_THROW(algorithm.compute());
    EXPECT_EQ(algorithm.status(), 0);
}

}  // namespace
}  // namespace Korvanta
