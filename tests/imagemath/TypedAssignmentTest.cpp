#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "imagemath/typed/TypedAssignment.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {
namespace {

template <class T>
void fill(SharedImage& image, const std::vector<T>& values) {
    TypedImage<T>& memory = typedMemory<T>(image);
    ASSERT_EQ(memory.size(), static_cast<std::int64_t>(values.size()));
    std::copy(values.begin(), values.end(), memory.pointer());
}

template <class T>
std::vector<T> elements(SharedImage& image) {
    const TypedImage<T>& memory = typedMemory<T>(image);
    return std::vector<T>(memory.pointer(), memory.pointer() + memory.size());
}

// The operands reach the kernel with their own shift, scale and storage-value flag: an in-place sum
// of an 8-bit image and a float image whose real values are all exact.
TEST(TypedAssignment, EachLeafIsReadWithItsOwnImagesMapping) {
    ImageDescriptor bytes = describe(PixelType::UByte, 1, 4, 1, 1);
    bytes.shift = 10.0;
    bytes.scale = 2.0;
    ImageDescriptor floats = describe(PixelType::Float, 1, 4, 1, 1);
    floats.shift = -1.0;
    floats.scale = 0.5;
    SharedImageSet destination, right;
    destination.add(makeImage(bytes));
    right.add(makeImage(floats));
    const std::vector<unsigned char> stored{40, 20, 0, 60};
    const std::vector<float> rightStored{3.0f, 0.5f, 10.0f, -4.0f};

    for (const bool rightAsStored : {false, true}) {
        SCOPED_TRACE(rightAsStored);
        fill(*destination.get(0), stored);
        fill(*right.get(0), rightStored);
        const SetLeaf lhs = defaultLeaf<SetLeaf>(destination);
        const TypedSetLeaf<float> rhs(
            &right, LeafSettings{rightAsStored, MagFilter::Nearest, Wrap::ClampToEdge, Vector4f::Zero()});
        const BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<float>> sum(lhs, rhs);
        auto target = lhs.convertToSharedImgExpr(0).convertToMemImgExpr<unsigned char>();
        target = sum.convertToSharedImgExpr(0).convertToMemImgExpr<unsigned char>();

        std::vector<unsigned char> expected;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const double left = stored[i] / bytes.scale - bytes.shift;
            const double r = rightAsStored ? rightStored[i] : rightStored[i] / floats.scale - floats.shift;
            expected.push_back(static_cast<unsigned char>((left + r + bytes.shift) * bytes.scale));
        }
        EXPECT_EQ(elements<unsigned char>(*destination.get(0)), expected);
    }
}

TEST(TypedAssignment, SwizzleReadsTheSourceWithTheViewsLayout) {
    SharedImageSet set;
    set.add(makeImage(describe(PixelType::Short, 3, 2, 1, 1)));
    fill<short>(*set.get(0), {10, 20, 30, -1, -2, -3});
    const SetLeaf leaf = defaultLeaf<SetLeaf>(set);
    auto target = leaf.convertToSharedImgExpr(0).convertToMemImgExpr<short>();
    target = ChannelSwizzleViewTpl<SetLeaf>(leaf, {2, 1, 0, 7})
                 .convertToSharedImgExpr(0)
                 .convertToMemImgExpr<short>();
    EXPECT_EQ(elements<short>(*set.get(0)), (std::vector<short>{30, 20, 10, -3, -2, -1}));
}

TEST(TypedAssignment, OperandsThatDoNotFitAreRejectedBeforeAnythingIsWritten) {
    auto destination = makeSet(describe(PixelType::Float, 3, 4, 2, 1));
    auto wider = makeSet(describe(PixelType::Float, 3, 5, 2, 1));
    auto doubles = makeSet(describe(PixelType::Double, 3, 4, 2, 1));
    fill<float>(*destination->get(0), std::vector<float>(24, 7.0f));
    const SetLeaf lhs = defaultLeaf<SetLeaf>(*destination);
    auto target = lhs.convertToSharedImgExpr(0).convertToMemImgExpr<float>();
    SharedImage noMemory(describe(PixelType::Float, 3, 4, 2, 1), nullptr);

    const auto misfit = [&](auto&& expression) {
        EXPECT_THROW(target = expression.convertToSharedImgExpr(0).template convertToMemImgExpr<float>(),
                     std::invalid_argument);
    };
    misfit(BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<float>>(lhs,
                                                                  defaultLeaf<TypedSetLeaf<float>>(*wider)));
    misfit(BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<float>>(
        lhs, defaultLeaf<TypedSetLeaf<float>>(*doubles)));
    misfit(BinaryOpTpl<ImgOps::mult, SetLeaf, SetLeaf>(lhs, defaultLeaf<SetLeaf>(*wider)));
    misfit(ChannelSwizzleViewTpl<SetLeaf>(lhs, {0, 1}));
    misfit(ChannelSwizzleViewTpl<SetLeaf>(lhs, {0, 1, 3}));

    using Magnitude = UnaryOpTpl<ImgOps::abs, ImageLeaf>;
    const Magnitude fromDestination(lhs.convertToSharedImgExpr(0));
    const Magnitude fromNoMemory(defaultLeaf<ImageLeaf>(noMemory));
    auto invalidTarget = defaultLeaf<ImageLeaf>(noMemory).convertToMemImgExpr<float>();
    EXPECT_THROW(invalidTarget = fromDestination.convertToMemImgExpr<float>(), std::invalid_argument);
    EXPECT_THROW(target = fromNoMemory.convertToMemImgExpr<float>(), std::invalid_argument);

    EXPECT_EQ(elements<float>(*destination->get(0)), std::vector<float>(24, 7.0f));
}

}  // namespace
}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
