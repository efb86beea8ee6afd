#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/image/SharedImage.h"

namespace Korvanta {
namespace {

const ImageDescriptor kFloatImage{PixelType::Float, 2, 2, 1, 1};

float* elements(MemImage* memory) {
    return static_cast<TypedImage<float>*>(memory)->pointer();
}

TEST(SharedImageTest, SyncMemBringsANewerGpuCopyIntoTheSameBuffer) {
    SharedImage image(kFloatImage);
    float* cpu = elements(image.mem());
    cpu[0] = 1.0f;
    image.uploadGl();
    std::shared_ptr<GlImage> gl = image.hasGl();
    ASSERT_TRUE(gl);
    EXPECT_EQ(elements(gl->texture.get())[0], 1.0f);  // a snapshot of the CPU memory

    image.syncMem();  // nothing newer on the GPU yet
    EXPECT_EQ(image.downloadCount(), 0);

    elements(gl->texture.get())[1] = 7.0f;  // a GPU evaluation writes the copy
    image.setDirtyGl();
    image.syncMem();
    EXPECT_EQ(elements(image.mem()), cpu);  // pointers taken before stay valid
    EXPECT_EQ(cpu[1], 7.0f);
    EXPECT_EQ(image.syncCount(), 2);
    EXPECT_EQ(image.downloadCount(), 1);
}

TEST(SharedImageTest, SetDirtyMemDiscardsTheStaleGpuCopy) {
    SharedImage image(kFloatImage);
    image.uploadGl();
    image.setDirtyGl();
    image.setDirtyMem();
    EXPECT_FALSE(image.hasGl());
    EXPECT_EQ(image.dirtyCount(), 1);
    image.syncMem();  // the CPU write wins over the discarded copy
    EXPECT_EQ(image.downloadCount(), 0);
    EXPECT_THROW(image.setDirtyGl(), std::logic_error);
}

TEST(SharedImageTest, AnImageWithoutCpuMemoryGetsItFromItsGpuCopy) {
    SharedImage image(kFloatImage, nullptr);
    EXPECT_EQ(image.mem(), nullptr);
    EXPECT_FALSE(image.sharedMem());
    image.uploadGl();
    elements(image.hasGl()->texture.get())[3] = 4.0f;
    image.syncMem();
    ASSERT_NE(image.mem(), nullptr);
    EXPECT_EQ(elements(image.mem())[3], 4.0f);
}

TEST(SharedImageTest, CloneCopiesTheNewestContentDeeplyWithoutGpuCopy) {
    SharedImage image(kFloatImage);
    image.uploadGl();
    elements(image.hasGl()->texture.get())[0] = 2.0f;
    image.setDirtyGl();

    std::unique_ptr<SharedImage> copy = image.clone();
    EXPECT_FALSE(copy->hasGl());
    EXPECT_EQ(copy->descriptor(), image.descriptor());
    EXPECT_EQ(elements(copy->mem())[0], 2.0f);
    elements(copy->mem())[1] = 9.0f;
    EXPECT_EQ(elements(image.mem())[1], 0.0f);
    EXPECT_EQ(SharedImage(kFloatImage, nullptr).clone()->mem(), nullptr);
}

TEST(SharedImageTest, ConcurrentUseIsSafe) {
    SharedImage image({PixelType::Float, 16, 16, 1, 1});
    const std::vector<std::function<void()>> roles = {
        [&] { image.uploadGl(); },
        [&] { image.syncMem(); },
        [&] { image.setDirtyMem(); },
        [&] { EXPECT_EQ(image.clone()->descriptor().width, 16); },
        [&] { EXPECT_TRUE(image.sharedMem()); },
    };
    std::vector<std::thread> threads;
    for (const auto& role : roles) {
        threads.emplace_back([&role] {
            for (int i = 0; i < 200; ++i) {
                role();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(image.syncCount(), 200);
    EXPECT_EQ(image.dirtyCount(), 200);
}

}  // namespace
}  // namespace Korvanta
