#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "plugin/ImageMathAlgorithmFactory.h"
#include "tests/plugin/ArithmeticReference.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

constexpr int kImages = 64;
constexpr int kRounds = 20;
constexpr int kCyclesPerRound = 10;

const std::vector<PixelType> pixelTypes = {PixelType::Byte,   PixelType::UByte,  PixelType::Short,
                                           PixelType::UShort, PixelType::Int,    PixelType::UInt,
                                           PixelType::Float,  PixelType::Double, PixelType::HFloat};

template <class T>
T anyOf(std::mt19937& random, const std::vector<T>& values) {
    return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
}

// 64 images of one random type and shift/scale, with 9 slices so that every image also runs the kernels'
// parallel loop inside its pool task. Stored values fit every element type.
std::unique_ptr<SharedImageSet> randomSet(std::mt19937& random, int count, int channels) {
    const PixelType type = anyOf(random, pixelTypes);
    const ImageDescriptor d =
        test::descriptor(type, 4, 3, 9, channels, anyOf<double>(random, {0.0, 1.5, -2.0}),
                         anyOf<double>(random, {1.0, 0.5, 4.0}));
    const std::uint32_t seed = random();
    return test::makeSet(d, count, [seed](int k, std::int64_t i) {
        return static_cast<double>((seed + static_cast<std::uint32_t>(k * 131 + i * 7)) % 101);
    });
}

test::Settings randomSettings(std::mt19937& random, int channels) {
    test::Settings cycle{std::uniform_int_distribution<int>(0, 8)(random),
                         random() % 2 == 0,
                         anyOf<float>(random, {0.0f, 1.5f, -2.0f, 3.0f, 0.5f}),
                         {}};
    for (int c = 0; c < channels; ++c)
        cycle.channelIndices.push_back(random() % static_cast<unsigned>(channels));
    return cycle;
}

void expectStored(SharedImage& image, const std::vector<double>& expected) {
    const std::vector<double> actual = test::storedValues(image);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_TRUE(test::sameValue(actual[i], expected[i]))
            << "element " << i << ": " << actual[i] << " != " << expected[i];
}

// Checks every image of the result against the reference worked out from the first set as it was.
void expectResult(const SharedImageSet& result, const SharedImageSet& before, const SharedImageSet* second,
                  const test::Settings& cycle) {
    ASSERT_EQ(result.size(), before.size());
    const Selection selection = before.selection();
    for (int k = 0; k < before.size(); ++k) {
        SCOPED_TRACE("image " + std::to_string(k));
        expectStored(*result.get(k), selection.isSelected(k, Selection::EmptyMeansAll)
                                         ? test::expectedStoredValues(before, second, cycle, k)
                                         : test::storedValues(*before.get(k)));
    }
}

TEST(PoolStress, RepeatedComputeAndTakeOutputMatchTheReference) {
    std::mt19937 random(8);
    ImageMathAlgorithmFactory factory;
    const auto* descriptor = factory.algorithmDescriptor("ImageMath.SharedImageArithmetic");
    ASSERT_TRUE(descriptor);
    for (int round = 0; round < kRounds; ++round) {
        const int channels = std::uniform_int_distribution<int>(1, 4)(random);
        auto first = randomSet(random, kImages, channels);
        if (round % 4 == 3)
            first->setSelection(Selection({0, 5, 17, 40, 63}));
        const int secondCount = anyOf<int>(random, {0, 1, kImages});
        auto second = secondCount ? randomSet(random, secondCount, channels) : nullptr;
        DataList data{first.get()};
        if (second)
            data.add(second.get());
        std::unique_ptr<Algorithm> algorithm(descriptor->create(data));
        ASSERT_TRUE(algorithm);
        for (int c = 0; c < kCyclesPerRound; ++c) {
            const test::Settings cycle = randomSettings(random, channels);
            SCOPED_TRACE("round " + std::to_string(round) + " mode " + std::to_string(cycle.mode));
            const std::unique_ptr<SharedImageSet> before = first->clone();
            Properties p = test::record(cycle);
            algorithm->configure(&p);
            algorithm->compute();
            OwningDataList output = algorithm->takeOutput();
            ASSERT_EQ(output.size(), cycle.inPlace ? 0 : 1);
            const auto* result = cycle.inPlace ? first.get() : dynamic_cast<SharedImageSet*>(output.get(0));
            ASSERT_TRUE(result);
            expectResult(*result, *before, second.get(), cycle);
        }
    }
}

}  // namespace
}  // namespace Korvanta
