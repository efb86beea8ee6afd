// Images as a host may hand them over: content held only on the GPU, one image at several indices.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "host/gl/LeafGl.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"
#include "tests/plugin/ArithmeticReference.h"

namespace Korvanta {
namespace {

using test::descriptor;
using test::Settings;
using Values = std::vector<std::vector<double>>;

// Answers every offer to the GPU with `accept` while it lives, counting the offers.
class GpuAnswer {
public:
    explicit GpuAnswer(bool accept)
        : m_previous(ImageMath::internal::setAssignGlHook([this, accept](auto&, const auto&) {
              ++m_offers;
              return accept;
          })) {}
    ~GpuAnswer() { ImageMath::internal::setAssignGlHook(m_previous); }
    int offers() const { return m_offers; }

private:
    std::atomic<int> m_offers{0};
    ImageMath::internal::AssignGlHook m_previous;
};

// The set with image k replaced by `image`.
std::unique_ptr<SharedImageSet> withImage(const SharedImageSet& set, int k,
                                          std::shared_ptr<SharedImage> image) {
    auto result = std::make_unique<SharedImageSet>();
    for (int i = 0; i < set.size(); ++i)
        result->add(i == k ? image : set.getShared(i));
    result->setSelection(set.selection());
    return result;
}

// A copy of the image whose content is held only on the GPU: no CPU memory, a newer GPU copy.
std::shared_ptr<SharedImage> onlyOnGpu(const SharedImage& image) {
    auto moved = std::make_shared<SharedImage>(image.descriptor(), nullptr);
    moved->uploadGl();
    moved->hasGl()->texture = image.clone()->sharedMem();
    return moved;
}

Values storedValues(const SharedImageSet& set) {
    Values values;
    for (int k = 0; k < set.size(); ++k)
        values.push_back(test::storedValues(*set.get(k)));
    return values;
}

// Computes and returns the algorithm's result set (the first set in place).
SharedImageSet& compute(SharedImageSet& first, SharedImageSet* second, const Settings& run,
                        std::unique_ptr<SharedImageSet>& output) {
    SharedImageArithmeticAlgorithm algorithm(first, second);
    const Properties record = test::record(run);
    algorithm.configure(&record);
    algorithm.compute();
    EXPECT_EQ(algorithm.status(), Algorithm::Success);
    OwningDataList list = algorithm.takeOutput();
    if (run.inPlace)
        return first;
    output.reset(dynamic_cast<SharedImageSet*>(list.take(0).release()));
    return *output;
}

std::unique_ptr<SharedImageSet> firstSet(PixelType type = PixelType::UByte) {
    return test::makeSet(descriptor(type, 5, 4, 3, 2), 3);
}

std::unique_ptr<SharedImageSet> secondSet() {
    return test::makeSet(descriptor(PixelType::Float, 5, 4, 3, 2), 3,
                         [](int k, std::int64_t i) { return 0.5 * k - static_cast<double>(i % 5); });
}

TEST(ImagesOnlyOnTheGpu, ComputeAsTheirCpuCopiesWhenTheGpuDeclines) {
    // An int destination never takes the GPU road: in place, its CPU road brings its GPU copy down.
    for (const PixelType type : {PixelType::UByte, PixelType::Int}) {
        for (const bool inPlace : {false, true}) {
            for (const int movedSet : {0, 1}) {
                SCOPED_TRACE(::testing::Message()
                             << Utils::pixelTypeCode(type) << (inPlace ? " in place" : "")
                             << ", image 1 of set " << movedSet << " only on the GPU");
                const Settings run{1, inPlace};
                auto first = firstSet(type), second = secondSet();
                std::unique_ptr<SharedImageSet> output;
                const Values expected = storedValues(compute(*first->clone(), second.get(), run, output));
                if (movedSet == 0)
                    first = withImage(*first, 1, onlyOnGpu(*first->get(1)));
                else
                    second = withImage(*second, 1, onlyOnGpu(*second->get(1)));
                EXPECT_TRUE(
                    SharedImageArithmeticAlgorithm::createCompatible({first.get(), second.get()}, nullptr));
                const GpuAnswer gpu(false);
                EXPECT_EQ(storedValues(compute(*first, second.get(), run, output)), expected);
            }
        }
    }
}

TEST(ImagesOnlyOnTheGpu, AreLeftToTheGpuWhenItAccepts) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "into a clone");
        auto first = firstSet(), second = secondSet();
        const Values before = storedValues(*first);
        first = withImage(*first, 0, onlyOnGpu(*first->get(0)));
        second = withImage(*second, 1, onlyOnGpu(*second->get(1)));
        const GpuAnswer gpu(true);
        std::unique_ptr<SharedImageSet> output;
        SharedImageSet& result = compute(*first, second.get(), Settings{2, inPlace}, output);
        EXPECT_EQ(gpu.offers(), 3);
        EXPECT_EQ(second->get(1)->mem(), nullptr) << "the right operand was never brought to the CPU";
        for (int k = 0; k < result.size(); ++k) {
            EXPECT_EQ(result.get(k)->dirtyCount(), 0) << "image " << k;
            if (result.get(k)->mem()) {
                EXPECT_EQ(test::storedValues(*result.get(k)), before[static_cast<std::size_t>(k)]);
            }
        }
        EXPECT_EQ(first->get(0)->mem(), nullptr) << "the destination was never brought to the CPU";
    }
}

// A swizzle list with an entry that the kernel never uses (beyond the image's two channels) keeps the GPU
// road open: the GPU evaluation is offered a text that is no GLSL, and the CPU computes when it declines.
TEST(ImagesWithAGpuCopy, ASwizzleWithASpareEntryIsOfferedToTheGpuAsText) {
    auto first = test::makeSet(descriptor(PixelType::UByte, 3, 2, 1, 2), 1);
    first->get(0)->uploadGl();
    const Settings run{SharedImageArithmeticAlgorithm::UnaryChannelSwizzle, true, 1.0f, {1, 0, 7}};
    const std::vector<double> expected = test::expectedStoredValues(*first, nullptr, run, 0);
    std::string offered;
    const ImageMath::internal::AssignGlHook previous =
        ImageMath::internal::setAssignGlHook([&](auto&, const ImageMath::internal::GlExprInterface& expr) {
            offered = expr.evalString(true);
            return false;
        });
    std::unique_ptr<SharedImageSet> unused;
    compute(*first, nullptr, run, unused);
    ImageMath::internal::setAssignGlHook(previous);
    EXPECT_EQ(offered, "swizzle(image0, 1, 0, 7)");
    EXPECT_EQ(test::storedValues(*first->get(0)), expected);
}

// Index 1 of the first set is image 0 again, or another image over its memory. In place, the last
// selected index that writes it decides it, whatever the threads do.
TEST(OneImageAtSeveralIndices, InPlaceTheLastSelectedIndexDecides) {
    const auto sameImage = [](SharedImageSet& set) { return set.getShared(0); };
    const auto sameMemory = [](SharedImageSet& set) {
        return std::make_shared<SharedImage>(set.get(0)->descriptor(), set.get(0)->sharedMem());
    };
    for (const auto& repeat : {+sameImage, +sameMemory}) {
        for (const std::vector<int>& selection : {std::vector<int>{}, std::vector<int>{0, 2}}) {
            for (int round = 0; round < 10; ++round) {
                SCOPED_TRACE(::testing::Message()
                             << (repeat == +sameImage ? "same image" : "same memory") << ", "
                             << selection.size() << " selected, round " << round);
                auto volumes = test::makeSet(descriptor(PixelType::Short, 6, 5, 12, 1), 3);
                auto first = withImage(*volumes, 1, repeat(*volumes));
                first->setSelection(Selection(selection));
                auto second = test::makeSet(descriptor(PixelType::Short, 6, 5, 12, 1), 3,
                                            [](int k, std::int64_t i) { return 100 * k + i % 9; });
                auto original = first->clone();
                const int lastWriter = selection.empty() ? 1 : 0;
                const Settings run{1, true};
                std::unique_ptr<SharedImageSet> unused;
                compute(*first, second.get(), run, unused);
                ASSERT_EQ(test::storedValues(*first->get(0)),
                          test::expectedStoredValues(*original, second.get(), run, lastWriter));
                ASSERT_EQ(test::storedValues(*first->get(2)),
                          test::expectedStoredValues(*original, second.get(), run, 2));
            }
        }
    }
}

}  // namespace
}  // namespace Korvanta
