#include <vector>

#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {
namespace {

struct LeafCase {
    PixelType type;
    int channels;
    std::int32_t expected;
};

const LeafCase kLeafCases[] = {
    {PixelType::Byte, 1, 2},   {PixelType::UByte, 4, 2},  {PixelType::UByte, 5, 0},
    {PixelType::Short, 3, 2},  {PixelType::UShort, 4, 2}, {PixelType::Int, 1, 0},
    {PixelType::UInt, 4, 0},   {PixelType::Float, 4, 2},  {PixelType::Float, 5, 0},
    {PixelType::Double, 1, 0}, {PixelType::HFloat, 4, 2}, {PixelType::HFloat, 5, 0},
};

TEST(DeviceStrategy, LeavesAtEveryLevelFollowPixelTypeAndChannels) {
    for (const LeafCase& c : kLeafCases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << static_cast<int>(c.type) << std::dec << " x" << c.channels);
        auto set = makeSet(describe(c.type, c.channels));
        const SetLeaf untyped = defaultLeaf<SetLeaf>(*set);
        const TypedSetLeaf<float> typed = defaultLeaf<TypedSetLeaf<float>>(*set);
        EXPECT_EQ(untyped.deviceStrategy(), c.expected);
        EXPECT_EQ(typed.deviceStrategy(), c.expected);
        EXPECT_EQ(untyped.convertToSharedImgExpr(0).deviceStrategy(), c.expected);
        EXPECT_EQ(defaultLeaf<ImageLeaf>(*set->get(0)).deviceStrategy(), c.expected);
        EXPECT_EQ(untyped.convertToSharedImgExpr(0).convertToMemImgExpr<float>().deviceStrategy(), 0);
    }
}

TEST(DeviceStrategy, ImageLeavesDescribeTheirOwnImageNotTheDefaultImage) {
    SharedImageSet set;
    set.add(makeImage(describe(PixelType::Float, 1)));
    set.add(makeImage(describe(PixelType::Double, 1)));
    set.add(makeImage(describe(PixelType::Float, 6)));
    const SetLeaf leaf = defaultLeaf<SetLeaf>(set);
    EXPECT_EQ(leaf.deviceStrategy(), 2);
    EXPECT_EQ(leaf.convertToSharedImgExpr(1).deviceStrategy(), 0);
    EXPECT_EQ(leaf.convertToSharedImgExpr(2).deviceStrategy(), 0);
}

TEST(DeviceStrategy, NodesComposeByMinimum) {
    auto u8 = makeSet(describe(PixelType::UByte, 4));
    auto f32 = makeSet(describe(PixelType::Float, 1));
    auto f64 = makeSet(describe(PixelType::Double, 1));
    auto wide = makeSet(describe(PixelType::Float, 5));
    const SetLeaf left = defaultLeaf<SetLeaf>(*u8);

    EXPECT_EQ(
        (BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<float>>(left, defaultLeaf<TypedSetLeaf<float>>(*f32))
             .deviceStrategy()),
        2);
    EXPECT_EQ((BinaryOpTpl<ImgOps::mult, SetLeaf, TypedSetLeaf<double>>(
                   left, defaultLeaf<TypedSetLeaf<double>>(*f64))
                   .deviceStrategy()),
              0);
    EXPECT_EQ((BinaryOpTpl<ImgOps::pow, SetLeaf, Scalar<float>>(left, Scalar<float>(2.0f)).deviceStrategy()),
              2);
    EXPECT_EQ(
        (BinaryOpTpl<ImgOps::pow, SetLeaf, Scalar<float>>(defaultLeaf<SetLeaf>(*wide), Scalar<float>(2.0f))
             .deviceStrategy()),
        0);
    EXPECT_EQ((UnaryOpTpl<ImgOps::abs, SetLeaf>(left).deviceStrategy()), 2);
    EXPECT_EQ((UnaryOpTpl<ImgOps::abs, SetLeaf>(defaultLeaf<SetLeaf>(*f64)).deviceStrategy()), 0);
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(left, {0, 1, 2, 3}).deviceStrategy(), 2);
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(left, {0, 1, 2, 3, 0}).deviceStrategy(), 0);
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(left, {}).deviceStrategy(), 2);
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(defaultLeaf<SetLeaf>(*f64), {0}).deviceStrategy(), 0);
}

TEST(DeviceStrategy, ASetWithoutImagesIsDescribedAsNoImageAndStaysOnTheCpu) {
    SharedImageSet empty;
    const SetLeaf leaf = defaultLeaf<SetLeaf>(empty);
    const ImageDescriptor described = leaf.imgDesc();
    EXPECT_EQ(static_cast<int>(described.pixelType), 0);
    EXPECT_EQ(described.width, 0);
    EXPECT_EQ(described.height, 0);
    EXPECT_EQ(described.slices, 0);
    EXPECT_EQ(described.channels, 0);
    EXPECT_EQ(leaf.deviceStrategy(), 0);
    EXPECT_EQ(leaf.numImgs(), 0);

    const BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>> sum(leaf, Scalar<float>(1.0f));
    EXPECT_EQ(sum.deviceStrategy(), 0);
    EXPECT_EQ(sum.evalString(true), "(image0)+(scalarf0)");
    const auto image = sum.convertToSharedImgExpr(0);
    EXPECT_EQ(image.leftOperand().storage(), nullptr);
    EXPECT_EQ(image.deviceStrategy(), 0);
    EXPECT_FALSE(image.convertToMemImgExpr<float>().leftOperand().valid());
    EXPECT_EQ((UnaryOpTpl<ImgOps::unaryMinus, SetLeaf>(leaf).evalString(true)), "-(image0)");
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(leaf, {0}).operandDescriptor().channels, 0);
}

}  // namespace
}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
