#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "host/image/MemImage.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {
namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

const LeafSettings kUnusualSettings{true, MagFilter::Linear, Wrap::Repeat, Vector4f(1.0f, 2.0f, 3.0f, 4.0f)};

TEST(CopyRules, CopiedLeavesAreUnnamedAndKeepTheirSettings) {
    auto set = makeSet(describe(PixelType::UShort, 2));
    const SetLeaf setLeaf(set.get(), kUnusualSettings);
    setLeaf.evalString(true);
    ASSERT_EQ(setLeaf.glName(), "image0");

    const SetLeaf setCopy(setLeaf);
    EXPECT_EQ(setCopy.glName(), "uninitialized");
    EXPECT_FALSE(setCopy.isDefiningInstance());
    EXPECT_EQ(setCopy.settings(), kUnusualSettings);
    EXPECT_EQ(setCopy.storage(), set.get());

    const auto imageLeaf = setLeaf.convertToSharedImgExpr(0);
    imageLeaf.evalString(true);
    const auto imageCopy(imageLeaf);
    EXPECT_EQ(imageCopy.glName(), "uninitialized");
    EXPECT_EQ(imageCopy.settings(), kUnusualSettings);
    EXPECT_EQ(imageCopy.convertToMemImgExpr<unsigned short>().settings(), kUnusualSettings);
}

TEST(CopyRules, TypedLeafCopiesTakeTheDataAddressOfTheImagesCurrentMemory) {
    auto set = makeSet(describe(PixelType::Float, 1));
    SharedImage& image = *set->get(0);
    const auto leaf = defaultLeaf<TypedSetLeaf<float>>(*set).convertToSharedImgExpr(0);
    EXPECT_EQ(leaf.data(), image.mem()->data());

    image.setMem(MemImage::create(image.descriptor()));
    const auto copy(leaf);
    EXPECT_EQ(copy.data(), image.mem()->data());
    EXPECT_NE(copy.data(), leaf.data());
    EXPECT_EQ(defaultLeaf<ImageLeaf>(image).data(), nullptr);
}

TEST(CopyRules, ScalarsKeepNamePrefixFlagAndValueBits) {
    for (const float value : {-0.0f, std::numeric_limits<float>::quiet_NaN(),
                              -std::numeric_limits<float>::infinity(), 1.0e-40f}) {
        const Scalar<float> scalar(value);
        internal::tagAndAssignNamesHelper(scalar, "pre");
        const Scalar<float> copy(scalar);
        const Scalar<float> converted = scalar.convertToSharedImgExpr(3).convertToMemImgExpr<short>();
        for (const Scalar<float>* s : {&copy, &converted}) {
            EXPECT_EQ(s->glName(), "prescalarf0");
            EXPECT_EQ(s->namePrefix(), "pre");
            EXPECT_TRUE(s->isDefiningInstance());
            EXPECT_EQ(bitsOf(s->value()), bitsOf(value));
        }
    }
}

TEST(CopyRules, NodeCopiesRebuildLeavesAndKeepScalars) {
    auto set = makeSet(describe(PixelType::Float));
    const BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>> node(defaultLeaf<SetLeaf>(*set),
                                                                Scalar<float>(2.0f));
    node.evalString(true);
    const auto copy(node);
    EXPECT_EQ(copy.leftOperand().glName(), "uninitialized");
    EXPECT_EQ(copy.rightOperand().glName(), "scalarf0");
    EXPECT_EQ(copy.evalString(false), "(uninitialized)+(scalarf0)");

    const auto imageNode = node.convertToSharedImgExpr(0);
    EXPECT_EQ(imageNode.leftOperand().glName(), "uninitialized");
    EXPECT_EQ(imageNode.rightOperand().glName(), "scalarf0");
}

TEST(CopyRules, SamplingSettingsChangeOnlyWhenDifferent) {
    auto set = makeSet(describe(PixelType::Float));
    SetLeaf leaf = defaultLeaf<SetLeaf>(*set);
    EXPECT_FALSE(leaf.setMagFilter(MagFilter::Nearest));
    EXPECT_TRUE(leaf.setMagFilter(MagFilter::Linear));
    EXPECT_EQ(leaf.settings().magFilter, MagFilter::Linear);
    EXPECT_FALSE(leaf.setWrap(Wrap::ClampToEdge));
    EXPECT_TRUE(leaf.setWrap(Wrap::Repeat));
    EXPECT_EQ(leaf.settings().wrap, Wrap::Repeat);

    BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>> node(defaultLeaf<SetLeaf>(*set), Scalar<float>(1.0f));
    EXPECT_TRUE(node.setWrap(Wrap::MirroredRepeat));
    EXPECT_EQ(node.leftOperand().settings().wrap, Wrap::MirroredRepeat);
    EXPECT_FALSE(node.setWrap(Wrap::MirroredRepeat));
    EXPECT_TRUE(node.children().size() == 2u && leaf.children().empty());
}

TEST(NodeDescription, CountsAndDescriptorsFollowTheOperands) {
    auto three = makeSet(describe(PixelType::Float, 4, 5, 6, 7), 3);
    auto five = makeSet(describe(PixelType::UByte, 1), 5);
    const SetLeaf left = defaultLeaf<SetLeaf>(*three);

    EXPECT_EQ(left.numImgs(), 3);
    EXPECT_EQ((BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<unsigned char>>(
                   left, defaultLeaf<TypedSetLeaf<unsigned char>>(*five))
                   .numImgs()),
              5);
    const BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>> withScalar(left, Scalar<float>(1.0f));
    EXPECT_EQ(withScalar.numImgs(), 3);
    EXPECT_EQ(withScalar.convertToSharedImgExpr(2).numImgs(), 1);

    const BinaryOpTpl<ImgOps::add, SetLeaf, SetLeaf> mixed(defaultLeaf<SetLeaf>(*five), left);
    EXPECT_EQ(mixed.resultPixelType(), PixelType::UByte);
    EXPECT_EQ(mixed.imgDesc().pixelType, PixelType::UByte);

    const ImageDescriptor unary = UnaryOpTpl<ImgOps::abs, SetLeaf>(left).imgDesc();
    EXPECT_EQ(unary.pixelType, PixelType::Float);
    EXPECT_EQ(unary.width, 5);
    EXPECT_EQ(unary.channels, 4);

    const ImageDescriptor view = ChannelSwizzleViewTpl<SetLeaf>(left, {2, 1, 0}).imgDesc();
    EXPECT_EQ(view.channels, 3);
    EXPECT_EQ(view.width, 5);
    EXPECT_EQ(view.height, 6);
    EXPECT_EQ(view.slices, 7);
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(left, {}).imgDesc().channels, 0);
}

}  // namespace
}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
