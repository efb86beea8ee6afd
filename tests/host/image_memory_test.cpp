#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "host/image/MemImage.h"
#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace {

TEST(ImageDescriptorTest, ElementCountIsComputedIn64Bits) {
    EXPECT_EQ((ImageDescriptor{PixelType::UByte, 70000, 70000, 1, 1}.elementCount()), 4900000000LL);
    EXPECT_EQ((ImageDescriptor{PixelType::UByte, 4, 0, 3, 1}.elementCount()), 0);
    const int big = std::numeric_limits<int>::max();
    EXPECT_THROW((ImageDescriptor{PixelType::UByte, big, big, big, big}.elementCount()),
                 std::invalid_argument);
}

template <class T>
class TypedImageTest : public ::testing::Test {};
using ElementTypes =
    ::testing::Types<char, unsigned char, short, unsigned short, int, unsigned int, float, double>;
TYPED_TEST_SUITE(TypedImageTest, ElementTypes);

TYPED_TEST(TypedImageTest, CreateGivesAZeroedBufferOfTheElementTypeAndCloneIsDeep) {
    const ImageDescriptor d{Utils::pixelTypeId<TypeParam>(), 3, 2, 2, 3};
    std::unique_ptr<MemImage> image = MemImage::create(d);
    auto* typed = dynamic_cast<TypedImage<TypeParam>*>(image.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->descriptor(), d);
    ASSERT_EQ(typed->size(), 36);
    EXPECT_EQ(std::count(typed->pointer(), typed->pointer() + 36, TypeParam(0)), 36);

    std::unique_ptr<MemImage> copy = typed->clone();
    auto* typedCopy = dynamic_cast<TypedImage<TypeParam>*>(copy.get());
    ASSERT_NE(typedCopy, nullptr);
    typedCopy->pointer()[35] = 9;
    EXPECT_EQ(typed->pointer()[35], TypeParam(0));
}

TEST(MemImageTest, HalfFloatGetsAFloatBufferAndUnknownCodesAreRefusedByName) {
    std::unique_ptr<MemImage> half = MemImage::create({PixelType::HFloat, 2, 2, 1, 1});
    ASSERT_NE(dynamic_cast<TypedImage<float>*>(half.get()), nullptr);
    EXPECT_EQ(half->descriptor().pixelType, PixelType::HFloat);

    for (int code : {0, 0x13FF, 0x1407, 0x1409, 0x140C, -1}) {
        const auto type = static_cast<PixelType>(code);
        EXPECT_FALSE(Utils::isKnownPixelType(type));
        try {
            MemImage::create({type, 1, 1, 1, 1});
            ADD_FAILURE() << "no exception for code " << code;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(Utils::pixelTypeCode(type)), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(MemImage::create({PixelType::Float, -2, 3, 1, 1}), std::invalid_argument);
    EXPECT_THROW(TypedImage<float>({PixelType::Float, 2, 2, 1, 1}, {1.0f, 2.0f}), std::invalid_argument);
}

TEST(MemImageTest, CompatibleComparesExtentsAndChannelsAndOptionallyTypeAndSpacing) {
    const TypedImage<float> a({PixelType::Float, 4, 3, 2, 2});
    const TypedImage<unsigned char> b({PixelType::UByte, 4, 3, 2, 2, {2.0, 2.0, 2.0}});
    EXPECT_TRUE(a.compatible(b, true, false, false));
    EXPECT_FALSE(a.compatible(b, true, true, false));
    EXPECT_FALSE(a.compatible(b, true, false, true));
    for (int ImageDescriptor::*extent : {&ImageDescriptor::width, &ImageDescriptor::height,
                                         &ImageDescriptor::slices, &ImageDescriptor::channels}) {
        ImageDescriptor d = a.descriptor();
        d.*extent += 1;
        EXPECT_FALSE(a.compatible(TypedImage<float>(d), true, false, false));
    }
}

TEST(CombineImageDescriptorsTest, TakesLargestExtentsAndTheFirstImagesMapping) {
    const ImageDescriptor first{PixelType::UShort, 4, 2, 1, 1, {1.0, 1.0, 1.0}, false, 3.0, 2.0};
    const ImageDescriptor second{PixelType::Float, 2, 5, 3, 4};
    const ImageDescriptor combined = combineImageDescriptors({first, second}, false, std::nullopt);
    EXPECT_EQ(combined, (ImageDescriptor{PixelType::UShort, 4, 5, 3, 4, {1.0, 1.0, 1.0}, false, 3.0, 2.0}));

    const ImageDescriptor plain = combineImageDescriptors({first, second}, true, PixelType::Double);
    EXPECT_EQ(plain, (ImageDescriptor{PixelType::Double, 4, 5, 3, 4}));
    EXPECT_THROW(combineImageDescriptors({}, false, std::nullopt), std::invalid_argument);
}

}  // namespace
}  // namespace Korvanta
