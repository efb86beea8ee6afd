#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/gl/LeafGl.h"
#include "imagemath/SetAssignment.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace ImageMath {
namespace {

using internal::BinaryOpTpl;
using internal::ChannelSwizzleViewTpl;
using internal::UnaryOpTpl;
using test::descriptor;
using test::makeSet;
using test::storedAt;

using SetLeaf = Array<SharedImageSet, void, false>;
template <class T>
using TypedSetLeaf = Array<SharedImageSet, T, false>;

template <class Leaf, class Storage>
Leaf leafOver(Storage& storage) {
    return Leaf(storage, false, MagFilter::Nearest, Wrap::ClampToEdge, Vector4f::Zero());
}

Scalar<float> scalar(float value) {
    return Scalar<float>(value);
}

template <class Op>
void assignScalar(SharedImageSet& destination, SharedImageSet& left, float value) {
    SetLeaf target = leafOver<SetLeaf>(destination);
    target = BinaryOpTpl<Op, SetLeaf, Scalar<float>>(leafOver<SetLeaf>(left), scalar(value));
}

template <class Op, class T>
void assignImages(SharedImageSet& destination, SharedImageSet& left, SharedImageSet& right) {
    SetLeaf target = leafOver<SetLeaf>(destination);
    target =
        BinaryOpTpl<Op, SetLeaf, TypedSetLeaf<T>>(leafOver<SetLeaf>(left), leafOver<TypedSetLeaf<T>>(right));
}

std::vector<double> storedValues(SharedImage& image) {
    std::vector<double> values(static_cast<std::size_t>(image.descriptor().elementCount()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = storedAt(image, static_cast<std::int64_t>(i));
    }
    return values;
}

// Replaces the GPU evaluation for one test and records who was offered what.
class GpuHook {
public:
    explicit GpuHook(bool acceptOnCallingThread) : m_caller(std::this_thread::get_id()) {
        m_previous =
            internal::setAssignGlHook([this, acceptOnCallingThread](internal::GlExprInterface& target,
                                                                    const internal::GlExprInterface&) {
                const bool onCaller = std::this_thread::get_id() == m_caller;
                std::lock_guard<std::mutex> lock(m_mutex);
                auto& leaf = dynamic_cast<Array<SharedImage, void, false>&>(target);
                (onCaller ? m_offeredOnCaller : m_offeredElsewhere).push_back(leaf.storage());
                return onCaller && acceptOnCallingThread;
            });
    }
    ~GpuHook() { internal::setAssignGlHook(m_previous); }

    std::vector<SharedImage*> offeredOnCaller() const { return m_offeredOnCaller; }
    std::vector<SharedImage*> offeredElsewhere() const { return m_offeredElsewhere; }

private:
    std::thread::id m_caller;
    internal::AssignGlHook m_previous;
    mutable std::mutex m_mutex;
    std::vector<SharedImage*> m_offeredOnCaller;
    std::vector<SharedImage*> m_offeredElsewhere;
};

TEST(SetAssignment, ComputesOnlySelectedImages) {
    auto set = makeSet(descriptor(PixelType::Float, 4, 3, 2, 1), 3);
    set->setSelection(Selection({0, 2}));
    const std::vector<double> before = storedValues(*set->get(1));

    assignScalar<ImgOps::add>(*set, *set, 10.0f);

    EXPECT_EQ(storedAt(*set->get(0), 5), 5.0 + 10.0);  // image k element i holds (7k + i) % 50
    EXPECT_EQ(storedValues(*set->get(1)), before);
    EXPECT_EQ(set->get(1)->dirtyCount(), 0);
    EXPECT_EQ(set->get(2)->dirtyCount(), 1);
}

TEST(SetAssignment, EmptySetIsLeftAlone) {
    SharedImageSet empty;
    EXPECT_NO_THROW(assignScalar<ImgOps::mult>(empty, empty, 2.0f));
}

TEST(SetAssignment, OneImageRightHandSetServesEveryIndex) {
    auto left = makeSet(descriptor(PixelType::Short, 5, 4, 3, 2), 5);
    auto right =
        makeSet(descriptor(PixelType::UByte, 5, 4, 3, 2), 1, [](int, std::int64_t i) { return i % 7; });
    auto destination = left->clone();

    assignImages<ImgOps::minus, unsigned char>(*destination, *left, *right);

    for (int k = 0; k < 5; ++k) {
        for (std::int64_t i = 0; i < 120; ++i) {
            ASSERT_EQ(storedAt(*destination->get(k), i),
                      storedAt(*left->get(k), i) - static_cast<double>(i % 7));
        }
    }
}

TEST(SetAssignment, PairsImagesOfEqualSets) {
    auto left = makeSet(descriptor(PixelType::Int, 3, 3, 1, 1), 4);
    auto right =
        makeSet(descriptor(PixelType::Int, 3, 3, 1, 1), 4, [](int k, std::int64_t) { return 100 * k; });

    assignImages<ImgOps::add, int>(*left, *left, *right);

    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(storedAt(*left->get(k), 0), (k * 7) % 50 + 100.0 * k);
    }
}

TEST(SetAssignment, EveryImageIsWrittenWhenTheCallReturns) {
    // Many volumes of more than 8 slices: pool tasks each running a parallel kernel.
    auto set = makeSet(descriptor(PixelType::UShort, 32, 16, 12, 1), 24,
                       [](int k, std::int64_t i) { return (k + i) % 1000; });
    auto destination = set->clone();

    assignScalar<ImgOps::mult>(*destination, *set, 3.0f);

    for (int k = 0; k < 24; ++k) {
        const SharedImage& image = *destination->get(k);
        ASSERT_EQ(image.dirtyCount(), 1) << "image " << k;
        for (std::int64_t i = 0; i < 32 * 16 * 12; i += 97) {
            ASSERT_EQ(storedAt(*destination->get(k), i), 3.0 * ((k + i) % 1000));
        }
    }
}

TEST(SetAssignment, TaskFailureReachesTheCallerAfterEveryOtherImageIsDone) {
    auto left = makeSet(descriptor(PixelType::Float, 6, 5, 1, 1), 6);
    auto right = std::make_unique<SharedImageSet>();
    for (int k = 0; k < 6; ++k) {
        const int width = k == 3 ? 7 : 6;  // image 3 does not fit the destination
        right->add(std::make_shared<SharedImage>(descriptor(PixelType::Float, width, 5, 1, 1)));
        test::fillStored(*right->get(k), [](std::int64_t) { return 1.0; });
    }
    auto destination = left->clone();
    const std::vector<double> untouched = storedValues(*destination->get(3));

    EXPECT_THROW((assignImages<ImgOps::add, float>(*destination, *left, *right)), std::invalid_argument);

    for (int k = 0; k < 6; ++k) {
        if (k == 3) {
            EXPECT_EQ(storedValues(*destination->get(k)), untouched);
            EXPECT_EQ(destination->get(k)->dirtyCount(), 0);
        } else {
            EXPECT_EQ(storedAt(*destination->get(k), 0), storedAt(*left->get(k), 0) + 1.0);
        }
    }
}

TEST(SetAssignment, GpuResidentImageIsOfferedOnTheCallingThreadAndLeftToTheHost) {
    auto set = makeSet(descriptor(PixelType::Float, 4, 4, 1, 2), 2);
    set->get(1)->uploadGl();
    const std::vector<double> before = storedValues(*set->get(1));
    GpuHook gpu(true);

    assignScalar<ImgOps::add>(*set, *set, 1.0f);

    EXPECT_EQ(gpu.offeredOnCaller(), std::vector<SharedImage*>{set->get(1)});
    EXPECT_EQ(storedValues(*set->get(1)), before);
    EXPECT_EQ(set->get(1)->dirtyCount(), 0);
    EXPECT_EQ(storedAt(*set->get(0), 3), 3.0 + 1.0);
}

TEST(SetAssignment, DeclinedGpuImageIsComputedOnTheCallingThread) {
    auto set = makeSet(descriptor(PixelType::UByte, 4, 4, 1, 3), 1);
    set->get(0)->uploadGl();
    GpuHook gpu(false);

    assignScalar<ImgOps::add>(*set, *set, 2.0f);

    EXPECT_EQ(gpu.offeredOnCaller(), std::vector<SharedImage*>{set->get(0)});
    EXPECT_TRUE(gpu.offeredElsewhere().empty());
    EXPECT_EQ(storedAt(*set->get(0), 4), 4.0 + 2.0);
    EXPECT_EQ(set->get(0)->dirtyCount(), 1);
}

TEST(SetAssignment, CpuOnlyDestinationNeverTakesTheGpuPath) {
    // int images and images of more than 4 channels cannot be sampled on the GPU, GPU copy or not.
    for (const ImageDescriptor& d :
         {descriptor(PixelType::Int, 3, 3, 1, 1), descriptor(PixelType::UByte, 3, 3, 1, 5)}) {
        auto set = makeSet(d, 2);
        set->get(0)->uploadGl();
        GpuHook gpu(true);

        assignScalar<ImgOps::add>(*set, *set, 1.0f);

        EXPECT_TRUE(gpu.offeredOnCaller().empty());
        EXPECT_EQ(storedAt(*set->get(0), 1), 1.0 + 1.0);
    }
}

TEST(SetAssignment, ImageWithoutGpuCopyGoesToThePool) {
    auto set = makeSet(descriptor(PixelType::Float, 4, 4, 1, 1), 3);
    GpuHook gpu(true);

    assignScalar<ImgOps::minus>(*set, *set, 1.0f);

    EXPECT_TRUE(gpu.offeredOnCaller().empty());
    EXPECT_EQ(gpu.offeredElsewhere().size(), 3u);
    EXPECT_EQ(storedAt(*set->get(2), 0), 14.0 - 1.0);
}

TEST(SetAssignment, InPlaceEqualsOutOfPlace) {
    const ImageDescriptor d = descriptor(PixelType::UShort, 7, 5, 10, 3, 12.5, 0.75);
    auto source = makeSet(d, 3, [](int k, std::int64_t i) { return (k * 311 + i * 17) % 65536; });
    auto right = makeSet(descriptor(PixelType::Float, 7, 5, 10, 3, -1.0, 2.0), 1,
                         [](int, std::int64_t i) { return 0.25 * (i % 13) - 1.0; });

    auto outOfPlace = source->clone();
    assignImages<ImgOps::divideIfNotZero, float>(*outOfPlace, *source, *right);
    assignImages<ImgOps::divideIfNotZero, float>(*source, *source, *right);

    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(storedValues(*source->get(k)), storedValues(*outOfPlace->get(k)));
    }
}

std::unique_ptr<SharedImageSet> setOf(const std::vector<std::shared_ptr<SharedImage>>& images) {
    auto set = std::make_unique<SharedImageSet>();
    for (const auto& image : images) {
        set->add(image);
    }
    return set;
}

// A right-hand set made of the images (or the memory) of the given set.
using RightHandOf = std::function<std::unique_ptr<SharedImageSet>(SharedImageSet&)>;

// Every image minus its right-hand image, in place with the right-hand set made of the destination's own
// images, must give what the same assignment into a clone gives. Optionally image 0 is assigned first, on
// the calling thread (a GPU copy whose evaluation the GPU declines), before any task has read it.
template <class T>
void expectInPlaceEqualsOutOfPlace(const ImageDescriptor& d, const RightHandOf& rightHandOf,
                                   bool firstOnGpu) {
    auto set = makeSet(d, 12, [](int k, std::int64_t i) { return (k * 311 + i * 17) % 100; });
    auto expected = set->clone();
    auto original = set->clone();
    assignImages<ImgOps::minus, T>(*expected, *original, *rightHandOf(*original));
    if (firstOnGpu) {
        set->get(0)->uploadGl();
    }
    GpuHook gpu(false);
    assignImages<ImgOps::minus, T>(*set, *set, *rightHandOf(*set));
    for (int k = 0; k < set->size(); ++k) {
        ASSERT_EQ(storedValues(*set->get(k)), storedValues(*expected->get(k))) << "image " << k;
    }
}

TEST(SetAssignment, InPlaceAgainstItsOwnImagesEqualsOutOfPlace) {
    const std::vector<std::pair<const char*, RightHandOf>> cases = {
        {"image 0 for every image", [](SharedImageSet& set) { return setOf({set.getShared(0)}); }},
        {"the images reversed",
         [](SharedImageSet& set) {
             std::vector<std::shared_ptr<SharedImage>> images;
             for (int k = set.size() - 1; k >= 0; --k) {
                 images.push_back(set.getShared(k));
             }
             return setOf(images);
         }},
        {"another image over the memory of image 0",
         [](SharedImageSet& set) {
             return setOf({std::make_shared<SharedImage>(set.get(0)->descriptor(), set.get(0)->sharedMem())});
         }},
    };
    for (const auto& [name, rightHandOf] : cases) {
        for (bool firstOnGpu : {false, true}) {
            SCOPED_TRACE(::testing::Message() << name << (firstOnGpu ? ", image 0 first" : ""));
            expectInPlaceEqualsOutOfPlace<short>(descriptor(PixelType::Short, 7, 5, 10, 3, 12.5, 0.75),
                                                 rightHandOf, firstOnGpu);
            expectInPlaceEqualsOutOfPlace<float>(descriptor(PixelType::Float, 7, 5, 10, 3, -1.0, 2.0),
                                                 rightHandOf, firstOnGpu);
        }
    }
}

TEST(SetAssignment, HalfFloatImagesComputeThroughTheFloatKernel) {
    auto set = makeSet(descriptor(PixelType::HFloat, 3, 2, 1, 1), 2,
                       [](int k, std::int64_t i) { return k + 0.5 * i; });

    assignScalar<ImgOps::mult>(*set, *set, 4.0f);

    auto* memory = dynamic_cast<TypedImage<float>*>(set->get(1)->mem());
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->pointer()[3], (1 + 1.5f) * 4.0f);
}

TEST(SetAssignment, UnaryAndSwizzleExpressionsReachTheirKernels) {
    auto set = makeSet(descriptor(PixelType::Short, 2, 1, 1, 3), 2,
                       [](int k, std::int64_t i) { return 10 * (i + 1) + k; });
    auto negated = set->clone();
    SetLeaf negatedLeaf = leafOver<SetLeaf>(*negated);
    negatedLeaf = UnaryOpTpl<ImgOps::unaryMinus, SetLeaf>(leafOver<SetLeaf>(*set));
    EXPECT_EQ(storedValues(*negated->get(1)), (std::vector<double>{-11, -21, -31, -41, -51, -61}));

    SetLeaf swizzled = leafOver<SetLeaf>(*set);
    swizzled = ChannelSwizzleViewTpl<SetLeaf>(leafOver<SetLeaf>(*set), {2, 1, 0});
    EXPECT_EQ(storedValues(*set->get(0)), (std::vector<double>{30, 20, 10, 60, 50, 40}));
}

TEST(SetAssignment, MemoryOfUnknownPixelTypeIsReportedAndNotMarked) {
    ImageDescriptor odd = descriptor(static_cast<PixelType>(0x1407), 2, 2, 1, 1);
    auto set = std::make_unique<SharedImageSet>();
    set->add(std::make_shared<SharedImage>(odd, std::make_shared<TypedImage<float>>(odd)));

    EXPECT_THROW(assignScalar<ImgOps::add>(*set, *set, 1.0f), std::invalid_argument);
    EXPECT_EQ(set->get(0)->dirtyCount(), 0);
}

}  // namespace
}  // namespace ImageMath
}  // namespace Korvanta
