#include <memory>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "imagemath/typed/TypedNodes.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {
namespace {

using FloatImageLeaf = Array<SharedImage, float, false>;

TEST(SetToImage, AOneImageSetStandsForEveryIndex) {
    auto left = makeSet(describe(PixelType::Float), 5);
    auto single = makeSet(describe(PixelType::Double));
    auto many = makeSet(describe(PixelType::Double), 5);
    const BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<double>> broadcast(
        defaultLeaf<SetLeaf>(*left), defaultLeaf<TypedSetLeaf<double>>(*single));
    const BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<double>> paired(
        defaultLeaf<SetLeaf>(*left), defaultLeaf<TypedSetLeaf<double>>(*many));
    for (unsigned long i = 0; i < 5; ++i) {
        const auto b = broadcast.convertToSharedImgExpr(i);
        EXPECT_EQ(b.leftOperand().storage(), left->get(static_cast<int>(i)));
        EXPECT_EQ(b.rightOperand().storage(), single->get(0));
        EXPECT_EQ(b.rightOperand().data(), single->get(0)->mem()->data());
        const auto p = paired.convertToSharedImgExpr(i);
        EXPECT_EQ(p.rightOperand().storage(), many->get(static_cast<int>(i)));
    }
}

TEST(SetToImage, AnIndexTheSetDoesNotHaveGivesALeafWithoutImage) {
    auto left = makeSet(describe(PixelType::Float), 2);
    const SetLeaf leaf = defaultLeaf<SetLeaf>(*left);
    for (unsigned long i : {2ul, 0xFFFFFFFFul, ~0ul}) {
        const auto image = leaf.convertToSharedImgExpr(i);
        EXPECT_EQ(image.storage(), nullptr);
        EXPECT_EQ(image.deviceStrategy(), 0);
        EXPECT_EQ(static_cast<int>(image.imgDesc().pixelType), 0);
    }
}

TEST(SetToImage, NodesRecordTheLeftImagesOwnPixelType) {
    SharedImageSet left;
    left.add(makeImage(describe(PixelType::Float)));
    left.add(makeImage(describe(PixelType::Short)));
    const BinaryOpTpl<ImgOps::mult, SetLeaf, Scalar<float>> node(defaultLeaf<SetLeaf>(left),
                                                                 Scalar<float>(2.0f));
    EXPECT_EQ(node.resultPixelType(), PixelType::Float);
    EXPECT_EQ(node.convertToSharedImgExpr(1).resultPixelType(), PixelType::Short);
    EXPECT_EQ(node.convertToSharedImgExpr(1).imgDesc().pixelType, PixelType::Short);
    const UnaryOpTpl<ImgOps::unaryMinus, SetLeaf> negation(defaultLeaf<SetLeaf>(left));
    EXPECT_EQ(negation.convertToSharedImgExpr(1).resultPixelType(), PixelType::Short);
}

TEST(SetToImage, TheImageLevelViewDescribesImageI) {
    SharedImageSet set;
    set.add(makeImage(describe(PixelType::UByte, 4, 3, 2, 1)));
    ImageDescriptor second = describe(PixelType::Float, 3, 7, 5, 2);
    second.shift = 4.0;
    second.scale = 0.5;
    set.add(makeImage(second));
    const ChannelSwizzleViewTpl<SetLeaf> view(defaultLeaf<SetLeaf>(set), {2, 1, 0});
    EXPECT_EQ(view.operandDescriptor(), set.get(0)->descriptor());

    const auto image = view.convertToSharedImgExpr(1);
    EXPECT_EQ(image.operandDescriptor(), second);
    EXPECT_EQ(image.indices(), std::vector<unsigned long>({2, 1, 0}));
    EXPECT_EQ(image.imgDesc().width, 7);
    EXPECT_EQ(image.imgDesc().channels, 3);
    EXPECT_EQ(image.imgDesc().pixelType, PixelType::Float);
    const auto copy(image);
    EXPECT_EQ(copy.operandDescriptor(), second);
}

TEST(ImageToMemory, MemoryThatIsMissingOrOfAnotherTypeGivesAnInvalidLeaf) {
    const ImageDescriptor floats = describe(PixelType::Float);
    SharedImage withoutMemory(floats, nullptr);
    SharedImage wrongType(floats, MemImage::create(describe(PixelType::Short)));
    for (SharedImage* image : {&withoutMemory, &wrongType}) {
        const auto leaf = defaultLeaf<ImageLeaf>(*image).convertToMemImgExpr<float>();
        EXPECT_FALSE(leaf.valid());
        EXPECT_EQ(leaf.storage(), nullptr);
        EXPECT_EQ(leaf.data(), nullptr);
        EXPECT_EQ(static_cast<int>(leaf.imgDesc().pixelType), 0);
        const auto copy(leaf);
        EXPECT_FALSE(copy.valid());
    }
    EXPECT_EQ(defaultLeaf<FloatImageLeaf>(withoutMemory).data(), nullptr);

    auto set = makeSet(floats);
    const BinaryOpTpl<ImgOps::add, ImageLeaf, FloatImageLeaf> node(
        defaultLeaf<ImageLeaf>(*set->get(0)), defaultLeaf<FloatImageLeaf>(withoutMemory));
    const auto bound = node.convertToMemImgExpr<float>();
    EXPECT_TRUE(bound.leftOperand().valid());
    EXPECT_FALSE(bound.rightOperand().valid());
    EXPECT_EQ(bound.imgDesc().pixelType, PixelType::Double);
}

TEST(ImageToMemory, HalfFloatImagesBindAsFloat) {
    auto set = makeSet(describe(PixelType::HFloat, 2));
    const auto leaf = defaultLeaf<SetLeaf>(*set).convertToSharedImgExpr(0).convertToMemImgExpr<float>();
    ASSERT_TRUE(leaf.valid());
    EXPECT_EQ(leaf.data(), typedMemory<float>(*set->get(0)).pointer());
    EXPECT_EQ(leaf.imgDesc().pixelType, PixelType::HFloat);
}

// Every destination element type: the untyped left operand takes it, typed right operands keep
// their own, and every operand points at its image's buffer.
template <class T>
class MemoryLevelNodes : public ::testing::Test {
protected:
    std::unique_ptr<SharedImageSet> left = makeSet(describe(Utils::pixelTypeId<T>(), 3), 2);
    std::unique_ptr<SharedImageSet> right = makeSet(describe(PixelType::UShort, 3));
    SetLeaf lhs = defaultLeaf<SetLeaf>(*left);
};
TYPED_TEST_SUITE(MemoryLevelNodes, ElementTypes);

TYPED_TEST(MemoryLevelNodes, ImageImageNodesBindBothBuffers) {
    using T = TypeParam;
    const BinaryOpTpl<ImgOps::divideIfNotZero, SetLeaf, TypedSetLeaf<unsigned short>> node(
        this->lhs, defaultLeaf<TypedSetLeaf<unsigned short>>(*this->right));
    const auto bound = node.convertToSharedImgExpr(1).template convertToMemImgExpr<T>();
    static_assert(std::is_same_v<std::decay_t<decltype(bound)>,
                                 TypedImageImageOp<ImgOps::divideIfNotZero, T, unsigned short>>);
    EXPECT_EQ(bound.leftOperand().data(), typedMemory<T>(*this->left->get(1)).pointer());
    EXPECT_EQ(bound.rightOperand().data(), typedMemory<unsigned short>(*this->right->get(0)).pointer());
    EXPECT_EQ(bound.leftOperand().glName(), "uninitialized");
    EXPECT_EQ(bound.resultPixelType(), PixelType::Double);
    EXPECT_EQ(bound.imgDesc().pixelType, PixelType::Double);
    EXPECT_EQ(bound.imgDesc().channels, 3);
    EXPECT_EQ(bound.deviceStrategy(), 0);
    EXPECT_EQ(bound.numImgs(), 1);
}

TYPED_TEST(MemoryLevelNodes, ScalarUnaryAndSwizzleNodesBindTheirOperand) {
    using T = TypeParam;
    const T* buffer = typedMemory<T>(*this->left->get(0)).pointer();

    const BinaryOpTpl<ImgOps::divide, SetLeaf, Scalar<float>> scaled(this->lhs, Scalar<float>(0.25f));
    const auto boundScaled = scaled.convertToSharedImgExpr(0).template convertToMemImgExpr<T>();
    static_assert(std::is_same_v<std::decay_t<decltype(boundScaled)>, TypedImageScalarOp<ImgOps::divide, T>>);
    EXPECT_EQ(boundScaled.leftOperand().data(), buffer);
    EXPECT_EQ(boundScaled.rightOperand().value(), 0.25f);
    EXPECT_EQ(boundScaled.imgDesc().pixelType, PixelType::Double);

    const UnaryOpTpl<ImgOps::abs, SetLeaf> magnitude(this->lhs);
    const auto boundUnary = magnitude.convertToSharedImgExpr(0).template convertToMemImgExpr<T>();
    static_assert(std::is_same_v<std::decay_t<decltype(boundUnary)>, TypedUnaryOp<ImgOps::abs, T>>);
    EXPECT_EQ(boundUnary.operandLeaf().data(), buffer);
    EXPECT_EQ(boundUnary.imgDesc().pixelType, PixelType::Double);
    EXPECT_EQ(boundUnary.deviceStrategy(), 0);

    const ChannelSwizzleViewTpl<SetLeaf> view(this->lhs, {1, 1, 0});
    const auto boundView = view.convertToSharedImgExpr(0).template convertToMemImgExpr<T>();
    static_assert(std::is_same_v<std::decay_t<decltype(boundView)>, TypedSwizzleView<T>>);
    EXPECT_EQ(boundView.operandLeaf().data(), buffer);
    EXPECT_EQ(boundView.operandDescriptor(), this->left->get(0)->descriptor());
    EXPECT_EQ(boundView.imgDesc().pixelType, Utils::pixelTypeId<T>());
}

TYPED_TEST(MemoryLevelNodes, ATypedLeafKeepsItsElementTypeForEveryDestination) {
    using T = TypeParam;
    const auto leaf = defaultLeaf<TypedSetLeaf<unsigned short>>(*this->right)
                          .convertToSharedImgExpr(0)
                          .template convertToMemImgExpr<T>();
    static_assert(std::is_same_v<std::decay_t<decltype(leaf)>, TypedLeaf<unsigned short>>);
    EXPECT_TRUE(leaf.valid());
    const auto untyped = defaultLeaf<ImageLeaf>(*this->right->get(0)).template convertToMemImgExpr<T>();
    EXPECT_EQ(untyped.valid(), (std::is_same_v<T, unsigned short>));
}

}  // namespace
}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
