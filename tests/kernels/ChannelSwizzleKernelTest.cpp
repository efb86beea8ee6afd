// The channel swizzle over the eight element types: reordered, repeated and dropped channels through
// real values, in place equal to out of place, and refused lists.
#include <stdexcept>

#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

template <class T>
class ChannelSwizzleKernel : public ::testing::Test {};
TYPED_TEST_SUITE(ChannelSwizzleKernel, ElementTypes);

// Pixels of sourceChannels channels filled with the samples of T, cycled.
template <class T>
std::vector<T> pixels(std::size_t pixelCount, std::int64_t sourceChannels) {
    const std::vector<T> samples = sampleValues<T>();
    std::vector<T> buffer(pixelCount * static_cast<std::size_t>(sourceChannels));
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = samples[(i * 7) % samples.size()];
    }
    return buffer;
}

template <class T>
std::vector<T> referenceSwizzle(const std::vector<T>& source, std::int64_t sourceChannels,
                                const std::vector<unsigned long>& indices, std::int64_t channels,
                                const MappingCase& m) {
    const std::size_t pixelCount = source.size() / static_cast<std::size_t>(sourceChannels);
    std::vector<T> out;
    for (std::size_t p = 0; p < pixelCount; ++p) {
        for (std::int64_t c = 0; c < channels; ++c) {
            const T element = source[p * sourceChannels + indices[c]];
            out.push_back(referenceElement<T>(referenceRead(element, m.left), m.destination));
        }
    }
    return out;
}

struct SwizzleCase {
    std::int64_t sourceChannels;
    std::int64_t channels;
    std::vector<unsigned long> indices;
};

TYPED_TEST(ChannelSwizzleKernel, MatchesReferenceOutOfPlaceAndInPlace) {
    using T = TypeParam;
    const std::vector<SwizzleCase> cases{{3, 3, {2, 1, 0}}, {3, 3, {1, 1, 1}}, {3, 3, {0, 1, 2, 3}},
                                         {4, 2, {3, 0}},    {1, 1, {0}},       {5, 5, {4, 0, 3, 1, 2}}};
    const kernels::Extents base{3, 2, 2, 0};
    for (const SwizzleCase& sc : cases) {
        for (const MappingCase& m : mappingCases()) {
            const std::vector<T> source = pixels<T>(3 * 2 * 2, sc.sourceChannels);
            const std::vector<T> expected =
                referenceSwizzle(source, sc.sourceChannels, sc.indices, sc.channels, m);
            kernels::Extents extents = base;
            extents.channels = sc.channels;
            std::vector<T> separate(expected.size(), T(99));
            kernels::channelSwizzle<T>(targetOf(separate, extents, m.destination), sourceOf(source, m.left),
                                       sc.sourceChannels, sc.indices.data());
            EXPECT_TRUE(sameElements(separate, expected)) << sc.sourceChannels << " to " << sc.channels;
            if (sc.sourceChannels == sc.channels) {
                std::vector<T> inPlace = source;
                kernels::channelSwizzle<T>(targetOf(inPlace, extents, m.destination),
                                           sourceOf(inPlace, m.left), sc.sourceChannels, sc.indices.data());
                EXPECT_TRUE(sameElements(inPlace, expected)) << "in place";
            }
        }
    }
}

// A team shares out 9 slices, or a large plane, in blocks of whole pixels; each thread copies pixels
// aside in its own place.
TYPED_TEST(ChannelSwizzleKernel, TeamInPlaceMatchesReference) {
    using T = TypeParam;
    const std::vector<unsigned long> indices{2, 0, 1};
    const MappingCase m = mappingCases()[1];
    for (const kernels::Extents& extents : {kernels::Extents{4, 3, 9, 3}, kernels::Extents{401, 400, 1, 3}}) {
        std::vector<T> image =
            pixels<T>(static_cast<std::size_t>(extents.width * extents.height * extents.slices), 3);
        const std::vector<T> expected = referenceSwizzle(image, 3, indices, 3, m);
        kernels::channelSwizzle<T>(targetOf(image, extents, m.destination), sourceOf(image, m.left), 3,
                                   indices.data());
        EXPECT_TRUE(sameElements(image, expected)) << extents.slices << " slices";
    }
}

TYPED_TEST(ChannelSwizzleKernel, ReversesAPixelInPlace) {
    using T = TypeParam;
    std::vector<T> pixel{T(10), T(20), T(30)};
    const std::vector<unsigned long> indices{2, 1, 0};
    kernels::channelSwizzle<T>(targetOf(pixel, kernels::Extents{1, 1, 1, 3}, Mapping{}),
                               sourceOf(pixel, Mapping{}), 3, indices.data());
    EXPECT_TRUE(sameElements(pixel, std::vector<T>{T(30), T(20), T(10)}));
}

}  // namespace
}  // namespace kernel_test
