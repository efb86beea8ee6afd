#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/Data.h"
#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace {

std::shared_ptr<SharedImage> makeImage(unsigned char fill) {
    const ImageDescriptor d{PixelType::UByte, 2, 2, 1, 1};
    return std::make_shared<SharedImage>(
        d, std::make_shared<TypedImage<unsigned char>>(d, std::vector<unsigned char>(4, fill)));
}

unsigned char firstElement(MemImage* memory) {
    return static_cast<TypedImage<unsigned char>*>(memory)->pointer()[0];
}

std::vector<bool> selected(const Selection& selection, Selection::NonePolicy policy) {
    std::vector<bool> result;
    for (int i = -1; i < 4; ++i) {
        result.push_back(selection.isSelected(i, policy));
    }
    return result;
}

TEST(SelectionTest, EmptySelectionFollowsThePolicyAndOtherwiseNamesExactlyItsIndices) {
    const Selection none;
    EXPECT_EQ(selected(none, Selection::EmptyMeansNone),
              (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(selected(none, Selection::EmptyMeansFirst),
              (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(selected(none, static_cast<Selection::NonePolicy>(2)),
              (std::vector<bool>{false, true, true, true, true}));

    const Selection some({3, 1, 3});
    for (auto policy : {Selection::EmptyMeansNone, Selection::EmptyMeansFirst, Selection::EmptyMeansAll}) {
        EXPECT_EQ(selected(some, policy), (std::vector<bool>{false, false, true, false, true}));
    }
}

TEST(SharedImageSetTest, IndexMinusOneIsTheFirstImageAndOutOfRangeIsNull) {
    SharedImageSet set;
    EXPECT_EQ(set.get(-1), nullptr);
    EXPECT_EQ(set.img(), nullptr);
    set.add(makeImage(10));
    set.add(makeImage(20));
    EXPECT_EQ(set.size(), 2);
    EXPECT_EQ(set.get(-1), set.get(0));
    EXPECT_EQ(set.getShared(1).get(), set.get(1));
    EXPECT_EQ(firstElement(set.img(1)), 20);
    for (int index : {-2, 2, 100}) {
        EXPECT_EQ(set.get(index), nullptr) << index;
        EXPECT_EQ(set.getShared(index), nullptr) << index;
        EXPECT_EQ(set.img(index), nullptr) << index;
    }
    EXPECT_THROW(set.add(nullptr), std::invalid_argument);

    SharedImageSet withoutMemory;
    withoutMemory.add(std::make_shared<SharedImage>(makeImage(0)->descriptor(), nullptr));
    EXPECT_NE(withoutMemory.get(0), nullptr);
    EXPECT_EQ(withoutMemory.img(0), nullptr);
}

TEST(SharedImageSetTest, CloneIsDeepAndCarriesSelectionAndModality) {
    SharedImageSet set;
    set.add(makeImage(1));
    set.add(makeImage(2));
    set.setSelection(Selection({1}));
    set.setModality(Data::CT);

    std::unique_ptr<SharedImageSet> copy = set.clone();
    ASSERT_EQ(copy->size(), 2);
    EXPECT_EQ(copy->modality(), Data::CT);
    EXPECT_EQ(copy->selection().indices(), std::vector<int>{1});
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(copy->get(i), set.get(i));
        EXPECT_NE(copy->img(i), set.img(i));
        EXPECT_EQ(copy->get(i)->descriptor(), set.get(i)->descriptor());
    }
    static_cast<TypedImage<unsigned char>*>(copy->img(1))->pointer()[0] = 99;
    EXPECT_EQ(firstElement(set.img(1)), 2);
    EXPECT_EQ(firstElement(copy->img(0)), 1);

    for (int outside : {99, -1, 5}) {
        try {
            set.setModality(static_cast<Data::Modality>(outside));
            ADD_FAILURE() << outside;
        } catch (const std::invalid_argument& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(std::to_string(outside) + " is no modality"))
                << outside;
        }
    }
    EXPECT_EQ(set.modality(), Data::CT);
}

TEST(DataListTest, GetImagesReturnsImageSetsInOrderFilteredByKindAndModality) {
    SharedImageSet ct;
    ct.setModality(Data::CT);
    SharedImageSet plain;
    Data other;
    const DataList list{&other, &ct, nullptr, &plain};

    EXPECT_EQ(list.getImages(), (std::vector<SharedImageSet*>{&ct, &plain}));
    EXPECT_EQ(list.getImages(Data::ImageSet, 0), (std::vector<SharedImageSet*>{&ct, &plain}));
    EXPECT_EQ(list.getImages(0, Data::CT), std::vector<SharedImageSet*>{&ct});
    EXPECT_TRUE(list.getImages(0, Data::MRI).empty());
    EXPECT_TRUE(list.getImages(Data::Unknown + 7, 0).empty());
}

TEST(OwningDataListTest, IgnoresEmptyPointersAndHandsItemsOut) {
    OwningDataList list;
    list.add(nullptr);
    EXPECT_EQ(list.size(), 0);
    auto set = std::make_unique<SharedImageSet>();
    SharedImageSet* raw = set.get();
    list.add(std::move(set));
    EXPECT_EQ(list.take(0).get(), raw);
    EXPECT_EQ(list.size(), 0);
}

}  // namespace
}  // namespace Korvanta
